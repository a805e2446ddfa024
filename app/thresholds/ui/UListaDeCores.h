#pragma once
// The phase colour list ("Cores"): a modal dialog with one colour swatch and one grey-range
// label per phase of the thresholds window. A click on a swatch opens the colour dialog
// and stores the colour chosen for that phase in the dialog's working palette, which the
// caller takes back only when the dialog was closed with OK.
#include <QDialog>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "app/thresholds/model/PhasePalette.h"
#include "app/thresholds/model/ThresholdRecord.h"

class QFrame;
class QLabel;
class QPushButton;

// A shape filled with one colour and outlined in black; it reports mouse presses.
class TShapeCor : public QWidget {
  Q_OBJECT
 public:
  explicit TShapeCor(QWidget* parent);
  QColor Cor() const { return cor_; }
  void SetCor(const QColor& cor);

 signals:
  void OnMouseDown();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QColor cor_ = Qt::white;
};

class TFormListaDeCores : public QDialog {
  Q_OBJECT
 public:
  // One swatch and label per phase 0..n; `paleta` and `lim` are copied.
  static TFormListaDeCores* CreateComLimiares(QWidget* owner, int n, const vandrel::Limiares& lim,
                                              const vandrel::PaletaFases& paleta);
  TFormListaDeCores(QWidget* owner, int n, const vandrel::Limiares& lim,
                    const vandrel::PaletaFases& paleta);

  // ---- Components ----
  QFrame* CaixaDeCores;
  QPushButton* BtOK;
  QPushButton* BtCancel;
  // Created at run time, phase 0 first: swatch "s" + (k+1) and its range label.
  std::vector<TShapeCor*> Cores;
  std::vector<QLabel*> Faixas;

  // ---- Fields ----
  uint8_t NumNiveis = 0;
  vandrel::PaletaFases Paleta{};
  bool Aceito = false;

  // ---- Event handlers ----
  // Opens the colour dialog with the colour it last returned here (black at first); a
  // confirmed colour becomes the swatch's phase colour.
  void ShapeCorMouseDown(TShapeCor* swatch);
  void BtOKClick();
  void BtCancelClick();

 private:
  QColor ultimaCor_ = Qt::black;
};
