#include "app/imaging/ui/UnitSimilares.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <algorithm>
#include <climits>

#include "app/imaging/ui/UnitImagem.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/FixedLayout.h"
#include "platform/qt/StandardColors.h"

namespace {

// A colour as a colour integer: red + 256 x green + 65536 x blue.
int32_t CorInteira(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Colour swatch

TAmostraCor::TAmostraCor(QWidget* parent) : QWidget(parent) {
  setObjectName("ShapeCor");
  setCursor(Qt::PointingHandCursor);
}

void TAmostraCor::DefinirCor(const QColor& cor) {
  cor_ = cor;
  update();
}

void TAmostraCor::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(isEnabled() ? Qt::black : Qt::gray);
  painter.setBrush(cor_);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TAmostraCor::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit Clicado();
}

// ---------------------------------------------------------------------------------------------
// Dialog

TFormSimilares* TFormSimilares::CreateComImagem(QWidget* owner, TFormImagem* imagem) {
  return new TFormSimilares(owner, imagem);
}

TFormSimilares::TFormSimilares(QWidget* owner, TFormImagem* imagem)
    : QDialog(owner), Imagem(imagem) {
  setObjectName("FormSimilares");
  setWindowTitle("Similares");
  QFont fonte = font();
  fonte.setPixelSize(11);
  setFont(fonte);

  GroupBoxValores = new QGroupBox("Valores de pixels a serem processados ", this);
  GroupBoxValores->setObjectName("GroupBoxValores");
  RadioButton1 = new QRadioButton("Os", GroupBoxValores);
  RadioButton1->setObjectName("RadioButton1");
  RadioButton1->setChecked(true);
  SpinEditNoSemelhantes = new QSpinBox(GroupBoxValores);
  SpinEditNoSemelhantes->setObjectName("SpinEditNoSemelhantes");
  Label1 = new QLabel("de maior frequência", GroupBoxValores);
  Label1->setObjectName("Label1");
  RadioButton2 = new QRadioButton("O valor médio dos valores", GroupBoxValores);
  RadioButton2->setObjectName("RadioButton2");
  RadioButton3 = new QRadioButton("Todos os valores da seleção", GroupBoxValores);
  RadioButton3->setObjectName("RadioButton3");

  GroupBoxNovaCor = new QGroupBox("Escolha a nova cor dos pixels", this);
  GroupBoxNovaCor->setObjectName("GroupBoxNovaCor");
  RadioButton5 = new QRadioButton("Manter a cor original ", GroupBoxNovaCor);
  RadioButton5->setObjectName("RadioButton5");
  RadioButton5->setChecked(true);
  RadioButton6 = new QRadioButton("Selecionar cor ", GroupBoxNovaCor);
  RadioButton6->setObjectName("RadioButton6");
  ColorBox1 = new QComboBox(GroupBoxNovaCor);
  ColorBox1->setObjectName("ColorBox1");
  for (const vandrel::NamedColor& c : vandrel::StandardColors()) {
    QPixmap swatch(16, 12);
    swatch.fill(c.color);
    ColorBox1->addItem(QIcon(swatch), c.name, c.color);
  }
  ColorBox1->setCurrentIndex(0);

  GroupBoxFundo = new QGroupBox("Cor do Fundo:", this);
  GroupBoxFundo->setObjectName("GroupBoxFundo");
  RadioButtonFundoBranco = new QRadioButton("Branco", GroupBoxFundo);
  RadioButtonFundoBranco->setObjectName("RadioButtonFundoBranco");
  RadioButtonFundoBranco->setChecked(true);
  RadioButtonFundoPreto = new QRadioButton("Preto", GroupBoxFundo);
  RadioButtonFundoPreto->setObjectName("RadioButtonFundoPreto");
  RadioButton4 = new QRadioButton("Outra", GroupBoxFundo);
  RadioButton4->setObjectName("RadioButton4");
  ShapeCor = new TAmostraCor(GroupBoxFundo);
  ShapeCor->DefinirCor(Qt::blue);
  ShapeCor->setEnabled(false);

  Button1 = new QPushButton("OK", this);
  Button1->setObjectName("Button1");
  Button1->setDefault(true);
  Button2 = new QPushButton("Cancelar", this);
  Button2->setObjectName("Button2");
  Button3 = new QPushButton("&Ajuda", this);
  Button3->setObjectName("Button3");
  Dispor();
  SpinEditNoSemelhantes->setMinimum(0);
  int64_t pixels = 0;
  bool rgb = false;
  if (Imagem) {
    pixels = int64_t(Imagem->BitmapImagem.width()) * Imagem->BitmapImagem.height();
    rgb = Imagem->BitmapImagem.format() == vandrel::PixelFormat::pf24bit;
  }
  SpinEditNoSemelhantes->setMaximum(int(std::clamp<int64_t>(pixels - 1, 0, INT_MAX)));
  SpinEditNoSemelhantes->setValue(3);
  AlargarCampoOs();
  // With a larger font the controls widen and move to show their whole texts.
  setFixedSize(vandrel::FittedSize(this, size()));
  // The mean value exists only for images that are not 24-bit.
  if (rgb) RadioButton2->setEnabled(false);

  connect(RadioButton4, &QRadioButton::clicked, this, [this] { RadioButton4Click(); });
  connect(ShapeCor, &TAmostraCor::Clicado, this,
          [this] { vandrel::Guarded([this] { ShapeCorMouseDown(); }); });
  connect(ColorBox1, &QComboBox::currentIndexChanged, this, [this] { ColorBox1Change(); });
  vandrel::OnClicked(Button1, [this] { Button1Click(); });
  vandrel::OnClicked(Button2, [this] { Button2Click(); });
}

// The dialog is 330 x 155: the value choice and the new colour at the left, the background
// and the buttons at the right.
void TFormSimilares::Dispor() {
  setFixedSize(330, 155);
  GroupBoxValores->setGeometry(4, 2, 216, 78);
  RadioButton1->setGeometry(8, 16, 38, 18);
  SpinEditNoSemelhantes->setGeometry(46, 15, 50, 20);
  Label1->setGeometry(99, 16, 114, 18);
  RadioButton2->setGeometry(8, 36, 204, 18);
  RadioButton3->setGeometry(8, 56, 204, 18);
  GroupBoxNovaCor->setGeometry(4, 82, 216, 70);
  RadioButton5->setGeometry(8, 16, 204, 18);
  RadioButton6->setGeometry(8, 42, 104, 18);
  ColorBox1->setGeometry(113, 40, 99, 22);
  GroupBoxFundo->setGeometry(224, 2, 102, 78);
  RadioButtonFundoBranco->setGeometry(8, 16, 90, 18);
  RadioButtonFundoPreto->setGeometry(8, 36, 90, 18);
  RadioButton4->setGeometry(8, 56, 56, 18);
  ShapeCor->setGeometry(66, 56, 28, 17);
  Button1->setGeometry(232, 86, 86, 21);
  Button2->setGeometry(232, 109, 86, 21);
  Button3->setGeometry(232, 132, 86, 21);
}

// The "Os" field shows the largest value it accepts whole: when that needs more than its
// 50 pixels, the field widens and what stands right of it moves over by as much.
void TFormSimilares::AlargarCampoOs() {
  const int extra = std::max(0, SpinEditNoSemelhantes->sizeHint().width() - 50);
  if (extra == 0) return;
  setFixedSize(width() + extra, height());
  SpinEditNoSemelhantes->resize(50 + extra, SpinEditNoSemelhantes->height());
  Label1->move(Label1->x() + extra, Label1->y());
  for (QWidget* w :
       {static_cast<QWidget*>(GroupBoxValores), static_cast<QWidget*>(GroupBoxNovaCor)})
    w->resize(w->width() + extra, w->height());
  RadioButton2->resize(RadioButton2->width() + extra, RadioButton2->height());
  RadioButton3->resize(RadioButton3->width() + extra, RadioButton3->height());
  for (QWidget* w : {static_cast<QWidget*>(GroupBoxFundo), static_cast<QWidget*>(Button1),
                     static_cast<QWidget*>(Button2), static_cast<QWidget*>(Button3)})
    w->move(w->x() + extra, w->y());
}

void TFormSimilares::RadioButton4Click() { ShapeCor->setEnabled(true); }

void TFormSimilares::ShapeCorMouseDown() {
  if (!ShapeCor->isEnabled()) return;
  if (const std::optional<QColor> cor = vandrel::Dialogs().ChooseColor(ShapeCor->Cor()))
    ShapeCor->DefinirCor(*cor);
}

void TFormSimilares::ColorBox1Change() { RadioButton6->setChecked(true); }

vandrel::OpcoesSimilares TFormSimilares::Opcoes() const {
  vandrel::OpcoesSimilares o;
  if (RadioButton1->isChecked()) {
    o.escolha = vandrel::EscolhaSimilares::MaisFrequentes;
    o.quantidade = SpinEditNoSemelhantes->value();
  } else if (RadioButton2->isChecked()) {
    o.escolha = vandrel::EscolhaSimilares::ValorMedio;
  } else if (RadioButton3->isChecked()) {
    o.escolha = vandrel::EscolhaSimilares::Todos;
  } else {
    o.escolha = vandrel::EscolhaSimilares::MaisFrequentes;  // nothing chosen marks nothing
    o.quantidade = 0;
  }
  if (RadioButton6->isChecked()) o.novaCor = CorInteira(ColorBox1->currentData().value<QColor>());
  if (RadioButtonFundoBranco->isChecked())
    o.corFundo = 0xFFFFFF;
  else if (RadioButtonFundoPreto->isChecked())
    o.corFundo = 0;
  else if (RadioButton4->isChecked())
    o.corFundo = CorInteira(ShapeCor->Cor());
  return o;
}

void TFormSimilares::Processar(TFormImagem* imagem) {
  // The output window belongs to the image window and remembers it as its source.
  NewPictureWindow<TFormImagemSaida> saida(TFormImagemSaida::CreateComOrigem(imagem, imagem));
  saida->DefinirBitmap(vandrel::RecolorirSimilares(imagem->BitmapImagem, imagem->InicioSelecao(),
                                                   imagem->FimSelecao(), Opcoes()));
  saida->SetCaption(imagem->Caption() + " - Similares");
  saida.Keep();
}

void TFormSimilares::Processar8Bits(TFormImagem* imagem) { Processar(imagem); }

void TFormSimilares::ProcessarRGB(TFormImagem* imagem) {
  if (imagem->BitmapImagem.height() == 0) {
    // Nothing to recolour: the output window gets the empty image and no caption.
    NewPictureWindow<TFormImagemSaida> saida(TFormImagemSaida::CreateComOrigem(imagem, imagem));
    saida->DefinirBitmap(imagem->BitmapImagem);
    saida.Keep();
    return;
  }
  Processar(imagem);
}

void TFormSimilares::Button1Click() {
  if (Imagem) {
    if (Imagem->BitmapImagem.format() != vandrel::PixelFormat::pf24bit)
      Processar8Bits(Imagem);
    else
      ProcessarRGB(Imagem);
  }
  accept();
}

void TFormSimilares::Button2Click() { reject(); }
