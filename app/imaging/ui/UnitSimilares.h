#pragma once
// The similar-pixels tool: lists the distinct colours of the image window's selection and
// writes a 24-bit copy of the whole image in which the pixels of the chosen colours keep
// their colour (or take a chosen one) and all others take a background colour.
#include <QColor>
#include <QDialog>
#include <QPointer>
#include <QWidget>

#include "app/imaging/model/SimilarPixels.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TFormImagem;

// A colour swatch (`ShapeCor`): a filled rectangle that reports a click while enabled.
class TAmostraCor : public QWidget {
  Q_OBJECT
 public:
  explicit TAmostraCor(QWidget* parent);
  QColor Cor() const { return cor_; }
  void DefinirCor(const QColor& cor);

 signals:
  void Clicado();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  QSize sizeHint() const override { return {40, 20}; }

 private:
  QColor cor_;
};

class TFormSimilares : public QDialog {
  Q_OBJECT
 public:
  // The dialog owned by `owner`, working on `imagem`.
  static TFormSimilares* CreateComImagem(QWidget* owner, TFormImagem* imagem);
  TFormSimilares(QWidget* owner, TFormImagem* imagem);

  // ---- Controls ----
  QGroupBox* GroupBoxValores;
  QRadioButton* RadioButton1;  // "Os" N "de maior frequência"
  QSpinBox* SpinEditNoSemelhantes;
  QLabel* Label1;
  QRadioButton* RadioButton2;  // the mean value (not for 24-bit images)
  QRadioButton* RadioButton3;  // every value of the selection
  QGroupBox* GroupBoxNovaCor;
  QRadioButton* RadioButton5;  // keep the original colour
  QRadioButton* RadioButton6;  // the colour of ColorBox1
  QComboBox* ColorBox1;
  QGroupBox* GroupBoxFundo;
  QRadioButton* RadioButtonFundoBranco;
  QRadioButton* RadioButtonFundoPreto;
  QRadioButton* RadioButton4;  // "Outra": the colour of ShapeCor
  TAmostraCor* ShapeCor;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button3;

  QPointer<TFormImagem> Imagem;

  // ---- Processing ----
  void Processar8Bits(TFormImagem* imagem);
  void ProcessarRGB(TFormImagem* imagem);
  // The choices of the controls: which colours mark a pixel, its new colour, the background.
  vandrel::OpcoesSimilares Opcoes() const;

  // ---- Handlers ----
  void RadioButton4Click();
  void ShapeCorMouseDown();
  void ColorBox1Change();
  void Button1Click();
  void Button2Click();

 private:
  void Processar(TFormImagem* imagem);
  // Places the controls in the dialog's 330 x 155.
  void Dispor();
  void AlargarCampoOs();
};
