#pragma once
// The fitting method dialog ("Method"): the user of the image list chooses the fitting
// method of a batch (SVD least squares, gradient or maximum descent), whether the fit is
// constrained, and, for the two iterative methods, the initial thresholds from which their
// start values come: automatic (halfway between the means of the pattern's phases), by hand
// in the thresholds window on a chosen image, or from a threshold file (".als"). The dialog
// only collects the choices; the caller reads them through the accessors after a run that
// left `Cancelado` false, and keeps them for the next opening.
#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>

#include "app/thresholds/model/ThresholdRecord.h"
#include "platform/qt/Dialogs.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QRadioButton;
class QTableWidget;
class QToolButton;

class TFrmMetodoDialog : public QDialog {
  Q_OBJECT
 public:
  // A fresh dialog for the pattern `arquivoPadrao` (".pat"): SVD chosen, the initial values
  // disabled and holding the automatic thresholds. A pattern or name file that cannot be
  // read raises its input/output error, and no dialog is made.
  static std::unique_ptr<TFrmMetodoDialog> CreateComPadrao(const std::string& arquivoPadrao,
                                                           QWidget* owner);
  // The dialog as the caller last left it: the method `metodo`, the threshold record
  // `limiares` and the image `arquivoImagem`.
  static std::unique_ptr<TFrmMetodoDialog> CreateComLimiares(
      const std::string& arquivoPadrao, const std::string& arquivoImagem, uint8_t metodo,
      const vandrel::RegistroLimiares& limiares, QWidget* owner);
  ~TFrmMetodoDialog() override;

  // ---- Components ----
  QGroupBox* rgAnalisys;
  QButtonGroup* rgAnalisysItens;  // items 0 "SVD ", 1 "Gradient", 2 "Max. desc."
  QGroupBox* GroupBox1;
  QRadioButton* comvinculo;
  QRadioButton* semvinculo;
  QGroupBox* gbInitial;
  QToolButton* sbAuto;
  QToolButton* sbManual;
  QToolButton* sbFile;
  QToolButton* sbImage;
  QLabel* stFileName;
  QLabel* Label1;
  QTableWidget* sgValues;
  QToolButton* sbOK;
  QToolButton* sbCancel;
  vandrel::FileDialogSpec OpenPictureDialog;
  vandrel::FileDialogSpec OpenDialog;

  // ---- Fields ----
  bool Cancelado = true;
  std::string ArquivoImagem;
  std::string ArquivoPadrao;
  uint8_t NumFases = 0;
  vandrel::RegistroLimiares Limiares;
  uint8_t Metodo = 2;

  // ---- Accessors ----
  uint8_t GetMetodo() const { return Metodo; }
  vandrel::RegistroLimiares GetLimiares() const { return Limiares; }
  std::string GetArquivoImagem() const { return ArquivoImagem; }
  bool GetComVinculo() const;

  // The selected item of `rgAnalisys` (-1: none); selecting another item runs
  // rgAnalisysClick.
  int ItemIndex() const;
  void SetItemIndex(int index);
  // The 17 cells of `sgValues`.
  QString Celula(int coluna) const;

  // ---- Operations and handlers ----
  void HabilitarValoresIniciais(bool flag);
  vandrel::RegistroLimiares LimiaresAutomaticos();
  vandrel::RegistroLimiares LimiaresDeImagem();
  vandrel::RegistroLimiares LimiaresDeArquivo();
  void rgAnalisysClick();
  void sbAutoClick();
  void sbManualClick();
  void sbFileClick();
  void sbImageClick();
  void sbOKClick();
  void sbCancelClick();

 private:
  explicit TFrmMetodoDialog(QWidget* owner);
  void Iniciar(const std::string& arquivoPadrao);
  void PreencherGrade(const vandrel::RegistroLimiares& r);
  void MostrarArquivoImagem();
  // Shows `sbAuto` pressed without running its click.
  void MostrarAuto();
  // Asks for the image of the manual thresholds; false when the dialog was cancelled.
  bool EscolherImagem();

  int32_t fasesNoArquivo_ = 0;  // the count as the name file gives it
};
