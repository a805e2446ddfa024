#pragma once
// The histogram window: one histogram control with the buttons to open histogram files,
// patterns, image lists and images, to overlay several of them as coloured curves with a
// legend, to save the histogram, the overlay (as a pattern) or the picture, to change the
// size and the drawing options, and to change the vertical scale by dragging the mouse.
//
// The window follows the control's mode: in single mode the scale, text and width controls
// work; every road into overlay mode switches them off (each curve has its own width) and
// makes the save button write a pattern; removing curves down to one or none comes back.
#include <QColor>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <vector>

#include "app/frame/ui/Form.h"
#include "platform/qt/Dialogs.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;
class TDSHistograma;
class TShape;
class TUpDown;

class TFormHistograma : public TForm {
  Q_OBJECT
 public:
  // Creates the window owned by `owner`, takes it in as a child of the main window when
  // there is one, and shows it.
  explicit TFormHistograma(QObject* owner);
  ~TFormHistograma() override;

  QString ClassName() const override { return "TFormHistograma"; }

  // ---- Components ----
  TDSHistograma* Histograma;
  QFrame* PainelDaLegenda;
  QFrame* PainelDosBotoes;
  TShape* ShapeTamanho;
  QLabel* LbTamanho;
  QToolButton* BtMenosTamanho;
  QToolButton* BtMaisTamanho;
  QToolButton* BtAbrirHistograma;
  QToolButton* BtSobrepor;
  QToolButton* BtSalvarHistograma;
  QToolButton* BtSalvarImagem;
  QToolButton* BtMais;
  QGroupBox* PainelDasOpcoes;
  QComboBox* CbEstilo;
  QComboBox* CbCores;
  QComboBox* CbLinhasVerticais;
  QLabel* Label2;
  QLineEdit* EditLinhasHorizontais;
  TUpDown* UpDLinhasHor;
  QLabel* Label3;
  QLineEdit* EditEspessura;
  TUpDown* UpDEspessura;
  QLineEdit* EditEscala;
  TUpDown* UpDEscala;
  QLabel* Label1;
  QCheckBox* ChbTexto;
  vandrel::FileDialogSpec OpenDialog;
  vandrel::FileDialogSpec SaveDialog;
  // The colour dialog opens with the colour it last returned (black at first).
  QColor ColorDialog{Qt::black};

  // ---- Fields ----
  bool Arrastando = false;
  QPoint PontoInicial;
  bool LegendaCriada = false;
  QString NomeArquivo;
  bool Salvo = false;

  // ---- Operations ----
  // Adds a file to the overlay (the first call makes it the first curve) and shows the
  // overlay with its legend.
  void AbrirComparacao(const QString& fileName);
  // Puts the control at the size the size label names and fits the window to what shows.
  void AjustarTamanho();
  // The legend of the curves, `porLinha` to a row.
  void CriarLegenda(int porLinha);
  void LimparLegenda();
  // Edits, through the line dialog, every curve drawn in `cor`.
  void EditarCurva(int32_t cor);
  // A curve other than the one at `index` has exactly the colour `cor`.
  bool CorExiste(int index, int32_t cor) const;

  // The legend's squares and labels, in curve order (empty while there is no legend).
  const std::vector<TShape*>& QuadradosDaLegenda() const { return quadrados_; }
  const std::vector<QLabel*>& RotulosDaLegenda() const { return rotulos_; }

  // ---- Event handlers ----
  void FormCreate();
  void FormShow();
  void BtAbrirHistogramaClick();
  void BtSobreporClick();
  void BtSalvarHistogramaClick();
  void BtSalvarImagemClick();
  void BtMaisTamanhoClick();
  void BtMenosTamanhoClick();
  void BtMaisClick();
  void CbEstiloChange();
  void CbCoresChange();
  void CbLinhasVerticaisChange();
  void UpDLinhasHorChangingEx(bool& allowChange, int newValue, int direction);
  void UpDEspessuraChangingEx(bool& allowChange, int newValue, int direction);
  void UpDEscalaChangingEx(bool& allowChange, int newValue, int direction);
  void ChbTextoClick();
  void HistogramaClick();
  void HistogramaMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void HistogramaMouseMove(Qt::KeyboardModifiers shift, int x, int y);
  void HistogramaMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void LegendaMouseDown(TShape* quadrado);

 protected:
  bool FormClose() override;
  void showEvent(QShowEvent* event) override;
  QSize sizeHint() const override;

 private:
  // Switches the controls that only act on a single histogram (scale, text, width).
  void ControlesDeModoSimples(bool on);
  // What every road into overlay mode ends with: the legend, the single-mode controls off,
  // the save button writing a pattern, the overlay button on.
  void MostrarSobreposicao();
  // Back to a single histogram after curves were removed: the one left, or none.
  void VoltarAoModoSimples();
  // The legend at the number of curves per row of the current size.
  void CriarLegendaDoTamanho();
  // The options panel reaches down to the bottom of the button panel.
  void AcompanharOpcoes();
  // Fits the window to its visible panels.
  void AjustarAoConteudo();
  // The file name as the file functions take it.
  static std::string Caminho(const QString& fileName);

  std::vector<TShape*> quadrados_;
  std::vector<QLabel*> rotulos_;
};
