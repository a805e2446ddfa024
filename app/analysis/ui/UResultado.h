#pragma once
// The results window of an analysis run: for every image of the batch the grey-level
// histogram, its fit by the pattern's phase histograms with the chosen method, and a row of
// phase percentages in a table with a "Total" column and a "Média" row. From a row the
// user compares the image's histogram with the one the fit implies; the homogeneity button
// writes "temp.vol" and opens the homogeneity window on the images of the table.
//
// The window is created by the image-list window, which owns it, and the run happens at
// once: Analisar returns after the last image. The images are read and counted on worker
// threads; fits, rows and messages come on this thread in list order, behind a busy cursor
// and a modal window that names the image being analysed.
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/analysis/model/BatchAnalysis.h"
#include "app/analysis/model/ResultTable.h"
#include "app/frame/ui/Form.h"
#include "app/thresholds/model/ThresholdRecord.h"

class QAction;
class QFrame;
class QMenu;
class QTableWidget;
class QToolButton;

class TFormResultado : public TForm {
  Q_OBJECT
 public:
  // Method codes, as the image list and the method dialog use them.
  enum : uint8_t { kGradiente = 0, kMaxDescida = 1, kSVD = 2 };

  // The window for the pattern `arquivoPadrao` (".pat"), owned by `owner`, with the header
  // built from the pattern's ".pac" and shown as a child of the main window. A ".pac" that
  // cannot be read raises its error and no window is left behind.
  static TFormResultado* CreateComPadrao(QObject* owner, const std::string& arquivoPadrao);
  ~TFormResultado() override;

  QString ClassName() const override { return "TFormResultado"; }

  // ---- Components ----
  QFrame* ToolBar1;
  QToolButton* SpeedBtnHomogeneidade;
  QTableWidget* StringGridResultado;
  QMenu* PopupMenu1;
  QAction* Compararhistogramasdaimagemedanalise1;

  // ---- Fields ----
  // The images of the run, in row order (row i shows entry i - 1). The window keeps its own
  // copy: the image list may change while the table stays.
  std::vector<std::string> CaminhosImagens;
  std::string ArquivoPadrao;
  int NumFases = 0;
  int LinhaAtual = 1;
  std::vector<double> ValoresCHI2;  // per image; the SVD fit's chi-square, else 0
  int YMouse = 0;
  int ColunaPopup = -1, LinhaPopup = -1;

  // ---- Operations ----
  // Runs the analysis of `caminhos` with method 0 (conjugate gradient), 1 (fixed-step
  // descent) or 2 (SVD). The two iterative methods start from `limiares`; with
  // `comVinculo` they are not run ("Método não implementado"), nor with a record whose
  // thresholds do not make the pattern's phase count (ThresholdMismatchMessage). SVD
  // ignores both.
  void Analisar(const std::vector<std::string>& caminhos, uint8_t metodo,
                vandrel::RegistroLimiares limiares, bool comVinculo);
  void AnalisarSVD(const std::vector<std::string>& caminhos);
  void AnalisarMaxDescida(const std::vector<std::string>& caminhos,
                          vandrel::RegistroLimiares limiares);
  void AnalisarGradiente(const std::vector<std::string>& caminhos,
                         vandrel::RegistroLimiares limiares);
  // Adds one image row (and the mean row below it) and fits the window to the table.
  void AdicionarResultado(const std::string& rotulo, const vandrel::ResultadoAjuste& f);
  // Builds the header from the ".pac" of `arquivoPadrao`.
  void LerFases(const std::string& arquivoPadrao);

  // The table as the cells show it.
  const vandrel::TabelaResultado& Tabela() const { return *tabela_; }
  // The path of "temp.vol" in the "temp" folder.
  static std::string ArquivoVol();
  // The path of the fitted histogram written for a comparison.
  static std::string ArquivoAjustado();

  // ---- Event handlers ----
  void FormCreate();
  void SpeedBtnHomogeneidadeClick();
  void StringGridResultadoMouseDown(int y);
  void PopupMenu1Popup();
  void Compararhistogramasdaimagemedanalise1Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit TFormResultado(QObject* owner);
  // Copies the table's cells into the grid and sizes grid and window to them.
  void MostrarTabela();
  // Widens the columns whose texts need more than the default width; returns the width of
  // the grid.
  int AjustarColunas();
  // Whether the initial values fit the pattern's phases; tells the user when not.
  bool LimiaresServem(const vandrel::RegistroLimiares& limiares);
  // Runs one method over the images, showing each image as it comes and its row once
  // fitted.
  void Rodar(const std::vector<std::string>& caminhos, vandrel::BatchMethod metodo,
             const vandrel::RegistroLimiares& limiares);

  std::unique_ptr<vandrel::TabelaResultado> tabela_;
  int alturaDaGrade_ = 0;
};
