#pragma once
// The pattern-phase window ("Excluir Fases"): the phase histograms of the analysis pattern
// as curves of a histogram control with a colour legend, from which the user of the image
// list marks which phases are shown for the selected images. Phases are deleted from a
// check list (right or middle button on the histogram) or curve by curve with the line
// options dialog (left button on a curve, any button on a legend swatch), which also
// renames and recolours curves and changes their pen width; "Padrão" brings the whole
// pattern back. The window reports whether it was confirmed (`Aceito`) and one shown flag
// per phase (`FasesVisiveis`); the flags serve this view only.
//
// Each curve of the list remembers the phase it belongs to, so a phase keeps its identity
// when its curve is recoloured: a click on the new colour still finds it, and the phase
// list never takes a recoloured phase for a hidden one.
#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QFrame;
class QLabel;
class QToolButton;
class TDSHistograma;
class TShape;

// One shown flag per phase of a pattern, phase 1 first.
using TFasesVisiveis = std::array<bool, 16>;

class TFormHistoVis : public QDialog {
  Q_OBJECT
 public:
  // The window for the pattern `arquivoPadrao` (".pat") with the phases of `fases` shown.
  // A pattern or name file that cannot be read raises its input/output error.
  static std::unique_ptr<TFormHistoVis> CreateComPadrao(const std::string& arquivoPadrao,
                                                        const TFasesVisiveis& fases,
                                                        QWidget* owner);
  ~TFormHistoVis() override;

  // ---- Components ----
  TDSHistograma* Histograma;
  QFrame* PainelDaLegenda;
  QFrame* PainelBotoes;
  QToolButton* BtOK;
  QToolButton* BtCancelar;
  QToolButton* BtPadrao;
  QToolButton* BtAjuda;

  // ---- Fields ----
  bool Aceito = false;
  TFasesVisiveis FasesVisiveis{};
  // The colour of each phase's curve when the window opened, phase 1 first.
  std::vector<int32_t> CoresDasFases;
  std::string ArquivoPadrao;

  // The legend's swatches and labels, in list order.
  const std::vector<TShape*>& Quadrados() const { return quadrados_; }
  const std::vector<QLabel*>& Rotulos() const { return rotulos_; }
  // The phase (0-based) of each curve of the list.
  const std::vector<int>& FasesDasCurvas() const { return fasesDasCurvas_; }

  // ---- Operations and handlers ----
  // A curve of the list other than position k (-1: none excluded) has the colour `cor`.
  bool CorEmUso(int k, int32_t cor) const;
  void LimparLegenda();
  void MontarLegenda(int porLinha = 4);
  void HistogramaMouseDown(Qt::MouseButton button, int x, int y);
  void LegendaMouseDown(TShape* quadrado);
  void BtOKClick();
  void BtCancelarClick();
  void BtPadraoClick();

 private:
  explicit TFormHistoVis(QWidget* owner);
  // Loads the pattern's curves and names them; every phase gets its curve.
  void CarregarPadrao();
  // The line options dialog for the phases whose curves have the colour `cor`.
  void EditarFases(int32_t cor);
  // The position of phase `fase`'s curve in the list, -1 when the phase is hidden.
  int PosicaoDaFase(int fase) const;
  void RemoverCurva(int posicao);
  void AtualizarFlags();

  std::vector<int> fasesDasCurvas_;
  std::vector<TShape*> quadrados_;
  std::vector<QLabel*> rotulos_;
};
