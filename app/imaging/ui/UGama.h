#pragma once
// The contrast window: changes the grey levels of an 8-bit image through a transfer curve
// of one of four types (gamma, logarithmic, linear, drawn by hand) over a window of input
// levels, drawn over the image's grey-level histogram. "Aplicar" puts the transformed image
// into a new output window; the source window is never changed.
#include <QDialog>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>

#include "app/imaging/model/Selection.h"
#include "app/imaging/model/TransferCurve.h"
#include "platform/Bitmap.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class TDSHistograma;
class TFormImagem;
class TGrafico;
class TLine;

class TFormContraste : public QDialog {
  Q_OBJECT
 public:
  // The window for `imagem`, whose image the caller has checked to be 8-bit
  // palette-indexed. It starts linear over the levels 0 to 255 (the identity curve) with
  // gamma 1.0, and shows the image's histogram.
  static TFormContraste* CreateComImagem(QWidget* owner, TFormImagem* imagem);
  TFormContraste(QWidget* owner, TFormImagem* imagem);
  ~TFormContraste() override;

  // ---- Components ----
  TDSHistograma* Histograma;
  TGrafico* Grafico;
  TLine* Linha1;
  TLine* Linha2;
  QGroupBox* rgTipo;
  QButtonGroup* rgTipoItens;  // "Gamma", "Log", "Linear", "Personalizado", ids 0 to 3
  QSlider* BarraGamma;
  QLabel* Label5;
  QLabel* lGamaValue;
  QSlider* Barra1;
  QSlider* Barra2;
  QLabel* LPos1;
  QLabel* LPos2;
  QCheckBox* CbInverter;
  QPushButton* BitBtn1;
  QPushButton* BtOK;
  QPushButton* BtClose;
  QFrame* Bevel1;
  QFrame* Bevel2;
  QFrame* Bevel3;

  // ---- Fields ----
  bool AjustandoFator = false;          // a press on the curve area drags the histogram's scale
  vandrel::Point PontoAtual;            // last pointer position on the curve area
  vandrel::Point PontoAnterior;         // the other end of the segment drawn into a hand-made curve
  vandrel::TransferCurve CurvaFundo{};  // the entries outside the level window
  QString NomeTipo;
  uint8_t Tipo = 1;
  vandrel::TransferCurve Curva{};
  vandrel::Bitmap BitmapOriginal;      // copy of the image window's image, taken at creation
  QPointer<TFormImagem> JanelaImagem;  // not owned
  int32_t LimiteSuperior = 255;
  int32_t LimiteInferior = 0;

  // ---- Operations ----
  double Gama() const;
  void DefinirTipo(uint8_t tipo);
  void DefinirCurva(const vandrel::TransferCurve& curva);
  void CalcularCurva();
  void TracarSegmento();
  void Aplicar();
  void AplicarLimites();

  // The index of the checked type item (-1: none).
  int rgTipoItemIndex() const;

  // ---- Event handlers ----
  void rgTipoClick();
  void BarraGammaChange();
  void Barra1Change();
  void Barra2Change();
  void CbInverterClick() { CalcularCurva(); }
  // Points are in curve-area coordinates; `buttons` are those held after the event.
  void GraficoMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, int x, int y);
  void GraficoMouseMove(Qt::MouseButtons buttons, int x, int y);
  void GraficoMouseUp(Qt::MouseButton button, Qt::MouseButtons buttons, int x, int y);
  void BitBtn1Click() { Aplicar(); }
  void BtOKClick();
  void BtCloseClick() { close(); }
};
