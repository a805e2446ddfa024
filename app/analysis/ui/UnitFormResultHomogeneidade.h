#pragma once
// The homogeneity window ("Homogeneidade"): the images of an analysis laid out as a square
// mosaic, a preview of the selected image, and the homogeneity of the mosaic computed level
// by level from the volume fractions of "temp.vol", each level's numbers written to a
// ".MED" file in the "temp" folder and reported in the memo.
//
// The results window creates it (owned by the main window) and fills it with MontarMosaico;
// the calculation starts from the window's own button. Closing the window deletes
// "temp.vol" and the ".MED" files of its last calculation, except those that another open
// homogeneity window still names.
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "app/analysis/model/Homogeneity.h"
#include "app/analysis/model/SharedFiles.h"
#include "app/frame/ui/Form.h"
#include "platform/qt/Dialogs.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

class TFormresultHomogeneidade : public TForm {
  Q_OBJECT
 public:
  // Creates the window owned by `owner`, as a child of the main window when there is one.
  explicit TFormresultHomogeneidade(QObject* owner);
  ~TFormresultHomogeneidade() override;

  QString ClassName() const override { return "TFormresultHomogeneidade"; }

  // ---- Components ----
  QLabel* Label1;
  QTableWidget* StringGrid1;
  QLabel* Label2;
  QListWidget* ListBox1;
  QLabel* Image1;
  QPushButton* Button1;
  QPushButton* BtnSalvar;
  QLabel* LabelNomeArqSaida;
  QPlainTextEdit* MemoResultados;
  vandrel::FileDialogSpec SaveDialog1;

  // ---- Fields ----
  int NumFases = 0;
  std::vector<std::string> CaminhosImagens;
  int NumImagens = 0;
  std::string ArquivoVol;
  std::string PastaTemp;
  // The ".MED" files written by the last calculation.
  std::vector<std::string> NomeDosArquivosMED;

  // ---- Operations ----
  // True for 4, 16, 64, 256, ... images.
  static bool PotenciaParDe2(int n);
  // Fills the window: the mosaic, the list of images, the first image's preview. The volume
  // fractions are read here, so that a calculation uses the numbers of this analysis even
  // when another analysis has written "temp.vol" since.
  void MontarMosaico(int numFases, const std::vector<std::string>& caminhos,
                     const std::string& arquivoVol);
  // Computes every level of the mosaic of `n` images with `numFases` phases, writing the
  // ".MED" files into `pasta` and the report into the memo.
  void CalcularHomogeneidade(int n, int numFases, const std::string& arquivoVol,
                             const std::string& pasta);

  // The image whose preview shows (0-based; -1 before the first).
  int ImagemMostrada() const { return imagemMostrada_; }
  // The levels of the last calculation.
  const std::vector<vandrel::NivelHomogeneidade>& Niveis() const { return niveis_; }

  // The working files of every homogeneity window, for the whole run of the program. Each
  // window is registered there from its creation to its destruction, naming `ArquivoVol` and
  // `NomeDosArquivosMED`.
  static vandrel::ArquivosCompartilhados& ArquivosDeTrabalho();

  // ---- Event handlers ----
  void FormCreate();
  void FormDestroy();
  void Button1Click();
  void BtnSalvarClick();
  void StringGrid1SelectCell(int coluna, int linha);
  void ListBox1MouseDown();

 protected:
  QSize sizeHint() const override { return size(); }

 private:
  void Relatar(const std::vector<std::string>& linhas);
  // Places the controls below a grid of the mosaic's size.
  void Dispor(int lado);
  // Writes the report and the levels under the prefix the user chose.
  void SalvarResultados(const std::string& prefixo) const;

  int lado_ = 0;
  int imagemMostrada_ = -1;
  std::optional<vandrel::ValoresVol> valores_;
  std::vector<vandrel::NivelHomogeneidade> niveis_;
  // Last, so that the registration ends before any field it reads goes.
  std::optional<vandrel::ArquivosCompartilhados::Uso> uso_;
};
