#pragma once
// The image-list window ("Nova Lista"): the analysis-mode window that holds a batch of
// images, the pattern they are analysed against, and the fitting method with its options.
// It saves and opens the batch as an image-list file (".lst"), lets the user choose per
// image which of the pattern's phase histograms are shown, opens the method dialog, and
// starts analyses, each in a results window of its own that it owns.
#include <QListWidget>
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/analysis/ui/UHistoVis.h"
#include "app/frame/ui/Form.h"
#include "app/thresholds/model/ThresholdRecord.h"
#include "platform/qt/Dialogs.h"

class QLabel;
class QToolButton;

// A list box that reports double clicks and key presses the way the window's handlers
// take them.
class TListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit TListBox(QWidget* parent);

 signals:
  void OnDblClick();
  void OnKeyDown(int key);

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

class TFormListaImagens : public TForm {
  Q_OBJECT
 public:
  // Creates the window owned by `owner`, takes it in as a child of the main window when
  // there is one, and shows it.
  explicit TFormListaImagens(QObject* owner);
  ~TFormListaImagens() override;

  QString ClassName() const override { return "TFormListaImagens"; }

  // ---- Components ----
  TListBox* ListaDeImagens;
  QToolButton* BAbrirLista;
  QToolButton* BSalvarLista;
  QToolButton* ExcluirImagens;
  QToolButton* AdicionarImagens;
  QToolButton* BAnalisar;
  QToolButton* BtPadrao;
  QLabel* Label1;
  QToolButton* sbAnalise;
  QLabel* lbMetodo;
  vandrel::FileDialogSpec Abrir;
  vandrel::FileDialogSpec Salvar;

  // ---- Fields ----
  // The full path of every image of the batch, in list order; entry i is line i of
  // `ListaDeImagens`.
  std::vector<std::string> CaminhosImagens;
  // One record of flags per image, parallel to `CaminhosImagens`.
  std::vector<TFasesVisiveis> FasesVisiveis;
  // The pattern file (".pat"); empty: no pattern chosen.
  std::string ArquivoPadrao;
  // 0 conjugate gradient, 1 fixed-step descent, 2 SVD least squares.
  uint8_t Metodo = 2;
  bool ComVinculo = false;
  // The initial values returned by the method dialog (count 0 until it was confirmed).
  vandrel::RegistroLimiares Limiares;
  std::string ArquivoImagem;
  bool MetodoDefinido = false;

  // ---- Operations and handlers ----
  // Loads an image-list file into the window.
  void CarregarLista(const QString& fileName);
  void AdicionarImagensClick();
  void ExcluirImagensClick();
  void ListaDeImagensKeyDown(int key);
  void ListaDeImagensClick();
  void ListaDeImagensDblClick();
  void BSalvarListaClick();
  void BAbrirListaClick();
  void BtPadraoClick();
  void sbAnaliseClick();
  void BAnalisarClick();

 protected:
  QSize sizeHint() const override { return size(); }

 private:
  // Appends one image to the three parallel lists.
  void Acrescentar(std::string caminho);
  // After a change of pattern: thresholds made for another phase count give way to the
  // automatic ones of the new pattern, so that the iterative runs start from the phases
  // they fit.
  void AjustarLimiaresAoPadrao();
  void Limpar();
  void LigarBotoesDaLista();
  // While the window changes the list itself, selection changes are not clicks.
  bool mudandoLista_ = false;
};
