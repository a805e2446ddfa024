#pragma once
// The thresholds window ("Limiares"): splits the 256 grey levels of an 8-bit image into
// phases by 1 to 15 thresholds, set with stacked track bars under the image's histogram.
// Phase k is painted with colour k of a 16-colour palette. The window shows the palette as
// a bar, keeps a table of every phase's area fraction, previews the colouring in the
// source image window at most once per 150 ms tick, applies it to a new output window,
// lets the user recolour the phases, and reads and writes threshold (".als") and palette
// (".pcs") files.
//
// Two uses:
// - a tool on an image window (CreateComImagem): an MDI child of the main window, which
//   gives the source window its image back when it closes;
// - a modal picker of thresholds (CreateComBitmap): a free-standing window without a
//   source, which the caller trims (hides the file, colour, level and apply controls,
//   binds OK to Aceitar with LigarBtOK), runs with MostrarModal, reads with GetLimiares
//   and then deletes.
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "app/frame/ui/Form.h"
#include "app/histograms/model/GreyLevels.h"
#include "app/thresholds/model/PhasePalette.h"
#include "app/thresholds/model/ThresholdRecord.h"
#include "platform/Bitmap.h"
#include "platform/qt/Dialogs.h"

class QCheckBox;
class QDialog;
class QFrame;
class QPushButton;
class QTimer;
class QToolButton;
class TDSHistograma;
class TFTabelaDasAreas;
class TFormImagem;
class TNivel;

// The palette bar: a picture the window draws on, which reports clicks.
class TImagemPaleta : public QWidget {
  Q_OBJECT
 public:
  explicit TImagemPaleta(QWidget* parent);
  QImage& Canvas() { return canvas_; }
  const QImage& Canvas() const { return canvas_; }

 signals:
  void OnClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage canvas_;
};

class TFormLimiares : public TForm {
  Q_OBJECT
 public:
  // Tool use: works on a copy of `janela`'s bitmap and previews into `janela`; an MDI
  // child of the main window (hidden until shown).
  static TFormLimiares* CreateComImagem(QObject* owner, TFormImagem* janela);
  // Picker use: works on a copy of `bitmap`, without a source window (no preview, no
  // apply); a free-standing hidden window.
  static TFormLimiares* CreateComBitmap(QObject* owner, const vandrel::Bitmap& bitmap);
  ~TFormLimiares() override;

  QString ClassName() const override { return "TFormLimiares"; }

  // ---- Components ----
  TDSHistograma* Histograma;
  vandrel::FileDialogSpec OpenDialog;
  vandrel::FileDialogSpec SaveDialog;
  QFrame* CaixadeNiveis;
  TImagemPaleta* TabelaDeCores;
  QPushButton* BtAlterarCores;
  QPushButton* BtNovo;
  QPushButton* BtExcluir;
  QCheckBox* CheckBoxpreview;
  QToolButton* BtAbrirLimiares;
  QToolButton* BtSalvarLimiares;
  QToolButton* BAbrirPaleta;
  QToolButton* BtSalvarPaleta;
  QPushButton* BtAplicar;
  QPushButton* BtOK;
  QPushButton* BtCancelar;
  QPushButton* BtAreas;
  QFrame* Bevel1;
  QTimer* Timer1;

  // ---- Fields ----
  bool PreviewLiberado = false;
  bool Aceito = false;
  vandrel::Limiares Limiares = vandrel::LimiaresIniciais();
  vandrel::PaletaFases Paleta{};
  std::array<TNivel*, vandrel::kMaxNiveis + 1> Niveis{};  // level 1 first; [0] unused
  uint8_t NumNiveis = 0;
  vandrel::Bitmap Imagem;
  QPointer<TFormImagem> JanelaOrigem;
  QPoint UltimoPonto;
  bool Arrastando = false;
  bool PaletaProporcional = true;
  bool AreasVisiveis = true;
  TFTabelaDasAreas* TabelaAreas = nullptr;
  vandrel::GreyCounts Contagens{};
  int32_t TotalPixels = 0;
  bool AreasAoLado = false;
  // A change came while the preview was held back; the next tick shows it.
  bool PreviewPendente = false;

  // ---- Operations ----
  // The thresholds as a record: count NumNiveis once accepted with OK, otherwise 0.
  vandrel::RegistroLimiares GetLimiares();
  // Keeps the area table docked to the right of the window when `flag` is set.
  void SetExibirAreas(bool flag);
  void Aceitar();
  void BtNovoClick() { NovoNivel(); }
  void Timer1Timer();
  void TabelaDeCoresClick();
  // The central refresh: the sending level's label and line, the area table, the palette
  // bar and, when allowed, the preview.
  void NivelChange(QObject* sender);
  void NovoNivel();
  void ExcluirNivel();
  void AlterarCores();
  void AbrirLimiares();
  void SalvarLimiares();
  void AbrirPaleta();
  void SalvarPaleta();
  void AplicarLimiares();
  void AtualizarPreview();
  void CalcularAreas();
  void DesenharPaleta();
  void OrdenarLimiares();
  void BtAreasClick();
  void BtOKClick();
  void FormShow();

  // Picker use: what BtOK runs from now on (Aceitar, for instance).
  void LigarBtOK(std::function<void()> handler);
  // Picker use: shows the window modally through the dialog service until it closes;
  // returns the dialog's result code. The window stays alive afterwards.
  int MostrarModal();

  // The close handler has run: the window is on its way out.
  bool Fechada() const { return fechada_; }

  // The colouring of `Imagem` by the current thresholds and palette (a 24-bit bitmap).
  vandrel::Bitmap Colorir();

 protected:
  TFormLimiares(QObject* owner, const vandrel::Bitmap& bitmap, TFormImagem* janela);
  bool FormClose() override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  QSize sizeHint() const override;

 private:
  void FormCreate();
  // Places the controls under the levels' box and fits the window to its content.
  void Reposicionar();
  void PosicionarTabelaAoLado();
  // Puts the area table beside the window again when one has grown onto the other.
  void ManterTabelaLivre();
  // The window's outer frame (its sub-window, its modal dialog, or itself) and where that
  // frame is on the screen.
  QWidget* Moldura() const;
  QRect MolduraNaTela() const;
  bool PreviewPermitido() const;
  void HistogramaMouseDown(int x, int y);
  void HistogramaMouseMove(int x, int y);
  void HistogramaMouseUp();

  QMetaObject::Connection ok_;
  QDialog* modal_ = nullptr;
  bool tabelaPosicionada_ = false;
  // The size the controls need, as the last placing found it.
  QSize tamanho_;
  bool fechada_ = false;
  vandrel::Bitmap colorida_;  // the preview's buffer, reused from one preview to the next
};
