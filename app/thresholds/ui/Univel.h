#pragma once
// One threshold level of the thresholds window: a horizontal track bar 0..255, a red
// vertical marker line over the histogram at the level's grey value, and a three-digit
// label beside the track bar.
#include <QMetaObject>
#include <QPointer>
#include <functional>

class QLabel;
class QSlider;
class QWidget;
class TLine;

class TNivel {
 public:
  // The track bar's size.
  static constexpr int kLarguraBarra = 275, kAlturaBarra = 17;

  // Creates the three components as children of `owner`, which shows and frees them with
  // itself: the track bar at (left, top) with `position`, the marker line of
  // `lineHeight` pixels ending at the track bar's top, and the label "000" right of the
  // track bar. Until its owner rebinds it, the track bar's change runs BarraChange.
  TNivel(QWidget* owner, int left, int top, int lineHeight, int position);
  static TNivel* Create(QWidget* owner, int left, int top, int lineHeight, int position) {
    return new TNivel(owner, left, top, lineHeight, position);
  }
  // Frees the track bar, the line and the label.
  ~TNivel();
  TNivel(const TNivel&) = delete;
  TNivel& operator=(const TNivel&) = delete;

  // ---- Fields ----
  QPointer<QLabel> Rotulo;
  QPointer<TLine> Linha;
  QPointer<QSlider> Barra;
  int Esquerda = 0;
  int Topo = 0;

  void SetEsquerda(int left) { Esquerda = left; }
  void SetTopo(int top) { Topo = top; }

  // Label text and colour and the marker line's place from the track bar's position p:
  // NumeroTresDigitos(p) in grey p on red, the line at x = p + Esquerda + 8.
  void Atualizar();
  void BarraChange() { Atualizar(); }

  // Replaces what the track bar's change event runs.
  void DefinirChange(std::function<void()> handler);

 private:
  QMetaObject::Connection change_;
};
