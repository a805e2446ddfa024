#include "app/imaging/ui/UGama.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "app/histograms/ui/UDSHistograma.h"
#include "app/imaging/model/UGama.h"
#include "app/imaging/ui/Grafico.h"
#include "app/imaging/ui/Line.h"
#include "app/imaging/ui/UnitImagem.h"
#include "app/settings/model/URecursos.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/FixedLayout.h"

using namespace vandrel;

namespace {

// Left of the curve area: a level window end p stands at x = p + kEsquerdaGrafico.
constexpr int kEsquerdaGrafico = 12;

QLabel* ValueLabel(QWidget* parent, const QString& name, const QString& text, QRect geometry) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setAutoFillBackground(true);
  QPalette pal = label->palette();
  pal.setColor(QPalette::Window, Qt::red);
  label->setPalette(pal);
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(geometry);
  return label;
}

QSlider* TrackBar(QWidget* parent, const QString& name, int min, int max, int position,
                  QRect geometry) {
  auto* bar = new QSlider(Qt::Horizontal, parent);
  bar->setObjectName(name);
  bar->setRange(min, max);
  bar->setValue(position);
  bar->setGeometry(geometry);
  return bar;
}

QFrame* Bevel(QWidget* parent, const QString& name, QRect geometry) {
  auto* bevel = new QFrame(parent);
  bevel->setObjectName(name);
  bevel->setFrameShape(QFrame::Box);
  bevel->setFrameShadow(QFrame::Sunken);
  bevel->setGeometry(geometry);
  bevel->setAttribute(Qt::WA_TransparentForMouseEvents);
  return bevel;
}

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption,
                    const QString& hint, QRect geometry) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setAutoDefault(false);
  button->setGeometry(geometry);
  return button;
}

// Connects a value change to a handler, guarded like every handler of the program.
void OnChange(QSlider* bar, std::function<void()> handler) {
  QObject::connect(bar, &QSlider::valueChanged, bar, [h = std::move(handler)](int) { Guarded(h); });
}

}  // namespace

TFormContraste* TFormContraste::CreateComImagem(QWidget* owner, TFormImagem* imagem) {
  return new TFormContraste(owner, imagem);
}

TFormContraste::TFormContraste(QWidget* owner, TFormImagem* imagem) : QDialog(owner) {
  setObjectName("FormContraste");
  setWindowTitle("Contraste");
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  // The histogram with the curve area over it and the two level-window markers on top.
  Histograma = new TDSHistograma(this);
  Histograma->setObjectName("Histograma");
  Histograma->setGeometry(9, 0, 260, 260);
  Histograma->SetTamanho(hs256x256);
  Histograma->SetEstilo(eLinhaGradiente);
  Histograma->SetCorDeFundo(Rgb(0, 0, 0));
  Histograma->SetCorDeDesenho(Rgb(255, 255, 255));
  Histograma->SetCorDaLinha(Rgb(255, 0, 0));
  Histograma->SetCorDaLinhaGradiente(Rgb(0, 0, 0));
  Histograma->SetGradienteRGB(false);
  Histograma->SetNumLinhasHor(3);
  Histograma->SetNumLinhasVert(qTodas);
  Histograma->SetAtivarTexto(true);
  Histograma->SetEspessura(1);
  Histograma->SetFator(1);

  Grafico = new TGrafico(this);
  Grafico->setObjectName("Grafico");
  Grafico->setGeometry(kEsquerdaGrafico, 1, 256, 256);
  Grafico->SetPen(QPen(Qt::red, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  Grafico->setCursor(Qt::UpArrowCursor);

  const QPen marker(Qt::red, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  Linha1 = new TLine(this);
  Linha1->setObjectName("Linha1");
  Linha2 = new TLine(this);
  Linha2->setObjectName("Linha2");
  for (TLine* line : {Linha1, Linha2}) {
    line->SetDirection(ldVertical);
    line->SetPen(marker);
  }
  Linha1->setGeometry(kEsquerdaGrafico, 0, 8, 260);
  Linha2->setGeometry(255 + kEsquerdaGrafico, 0, 8, 260);

  // The level window: lower end over upper end, each with its three-digit value.
  Bevel1 = Bevel(this, "Bevel1", QRect(0, 262, 313, 54));
  Barra1 = TrackBar(this, "Barra1", 0, 254, 0, QRect(2, 266, 275, 22));
  Barra2 = TrackBar(this, "Barra2", 1, 255, 255, QRect(2, 290, 275, 22));
  LPos1 = ValueLabel(this, "LPos1", "000", QRect(281, 269, 28, 16));
  LPos2 = ValueLabel(this, "LPos2", "255", QRect(281, 293, 28, 16));

  // The type, the gamma and the inversion.
  rgTipo = new QGroupBox("Tipo", this);
  rgTipo->setObjectName("rgTipo");
  rgTipo->setToolTip("Tipo de Contraste");
  rgTipoItens = new QButtonGroup(this);
  auto* itens = new QVBoxLayout(rgTipo);
  itens->setContentsMargins(8, 4, 4, 4);
  itens->setSpacing(0);
  const QString nomes[] = {"Gamma", "Log", "Linear", "Personalizado"};
  for (int k = 0; k < 4; ++k) {
    auto* item = new QRadioButton(nomes[k], rgTipo);
    item->setObjectName(QString("rgTipo%1").arg(k));
    rgTipoItens->addButton(item, k);
    itens->addWidget(item);
  }
  rgTipoItens->button(2)->setChecked(true);
  // The right-hand column is as wide as the type names need in the font in use.
  const int col = 280;
  const int colW = std::max(116, rgTipo->sizeHint().width());
  rgTipo->setGeometry(col, 0, colW, 112);

  Bevel2 = Bevel(this, "Bevel2", QRect(col, 116, colW, 76));
  Label5 = new QLabel("Gama", this);
  Label5->setObjectName("Label5");
  Label5->setGeometry(col + 8, 122, 44, 16);
  lGamaValue = ValueLabel(this, "lGamaValue", "1.00", QRect(col + colW - 56, 122, 48, 16));
  BarraGamma = TrackBar(this, "BarraGamma", kGamaMinimo, kGamaMaximo, kGamaNeutro,
                        QRect(col + 6, 142, colW - 12, 22));
  BarraGamma->setToolTip("Ajuste do Gama");
  BarraGamma->setVisible(false);
  CbInverter = new QCheckBox("Inverse Log", this);
  CbInverter->setObjectName("CbInverter");
  CbInverter->setToolTip("Inverter Curva");
  CbInverter->setGeometry(col + 8, 168, colW - 12, 20);
  CbInverter->setEnabled(false);

  Bevel3 = Bevel(this, "Bevel3", QRect(col + colW - 80, 196, 80, 120));
  BitBtn1 =
      Button(this, "BitBtn1", "Aplicar", "Aplicar contraste", QRect(col + colW - 74, 204, 68, 28));
  BtOK = Button(this, "BtOK", "OK", "Aplicar e Sair", QRect(col + colW - 74, 241, 68, 28));
  BtClose = Button(this, "BtClose", "Fechar", "Sair", QRect(col + colW - 74, 278, 68, 28));

  setFixedSize(vandrel::FittedSize(this, QSize(col + colW + 2, 318)));

  // Creation: the image and its histogram, gamma 1.0, the full level window, linear.
  JanelaImagem = imagem;
  if (imagem) BitmapOriginal = imagem->BitmapImagem;
  Histograma->CalcularDeBitmap(BitmapOriginal);
  BarraGamma->setValue(kGamaNeutro);
  LimiteInferior = 0;
  LimiteSuperior = 255;
  AjustandoFator = false;
  PontoAtual = PontoAnterior = Point{0, 0};
  CurvaFundo.fill(0);
  DefinirTipo(kTipoLinear);

  QObject::connect(rgTipoItens, &QButtonGroup::idClicked, this,
                   [this](int) { Guarded([this] { rgTipoClick(); }); });
  OnChange(BarraGamma, [this] { BarraGammaChange(); });
  OnChange(Barra1, [this] { Barra1Change(); });
  OnChange(Barra2, [this] { Barra2Change(); });
  QObject::connect(CbInverter, &QCheckBox::toggled, this,
                   [this](bool) { Guarded([this] { CbInverterClick(); }); });
  QObject::connect(Grafico, &TGrafico::OnMouseDown, this,
                   [this](Qt::MouseButton b, Qt::MouseButtons held, Qt::KeyboardModifiers, int x,
                          int y) { Guarded([&] { GraficoMouseDown(b, held, x, y); }); });
  QObject::connect(Grafico, &TGrafico::OnMouseMove, this,
                   [this](Qt::MouseButtons held, Qt::KeyboardModifiers, int x, int y) {
                     Guarded([&] { GraficoMouseMove(held, x, y); });
                   });
  QObject::connect(Grafico, &TGrafico::OnMouseUp, this,
                   [this](Qt::MouseButton b, Qt::MouseButtons held, Qt::KeyboardModifiers, int x,
                          int y) { Guarded([&] { GraficoMouseUp(b, held, x, y); }); });
  OnClicked(BitBtn1, [this] { BitBtn1Click(); });
  OnClicked(BtOK, [this] { BtOKClick(); });
  OnClicked(BtClose, [this] { BtCloseClick(); });
}

TFormContraste::~TFormContraste() = default;

int TFormContraste::rgTipoItemIndex() const { return rgTipoItens->checkedId(); }

double TFormContraste::Gama() const { return GamaDaPosicao(BarraGamma->value()); }

void TFormContraste::DefinirTipo(uint8_t tipo) {
  Tipo = tipo;
  BarraGamma->setVisible(false);
  CbInverter->setEnabled(false);
  Barra1->setEnabled(true);
  Barra2->setEnabled(true);
  Grafico->setCursor(Qt::UpArrowCursor);
  Linha1->setVisible(true);
  Linha2->setVisible(true);
  switch (tipo) {
    case kTipoGama:
      BarraGamma->setVisible(true);
      break;
    case kTipoLinear:
      CbInverter->setEnabled(true);
      CbInverter->setText("Inverter");
      break;
    case kTipoLog:
      CbInverter->setEnabled(true);
      CbInverter->setText("Inverter Log");
      break;
    case kTipoPersonalizado:
      Grafico->setCursor(Qt::PointingHandCursor);
      Linha1->setVisible(false);
      Linha2->setVisible(false);
      Barra1->setEnabled(false);
      Barra2->setEnabled(false);
      break;
  }
  NomeTipo = QString::fromStdString(NomeDoTipo(tipo));
  CalcularCurva();
}

void TFormContraste::DefinirCurva(const TransferCurve& curva) {
  Curva = curva;
  Grafico->DefinirCurva(curva);
}

void TFormContraste::CalcularCurva() {
  if (Tipo == kTipoPersonalizado) {
    Grafico->DefinirCurva(Curva);
    return;
  }
  DefinirCurva(CurvaDeContraste(Tipo, CbInverter->isChecked(), LimiteInferior, LimiteSuperior,
                                Gama(), CurvaFundo));
}

void TFormContraste::TracarSegmento() { vandrel::TracarSegmento(Curva, PontoAtual, PontoAnterior); }

void TFormContraste::Aplicar() {
  if (!JanelaImagem) return;
  Bitmap resultado = ApplyCurve(BitmapOriginal, Curva);
  NewPictureWindow<TFormImagemSaida> saida(
      TFormImagemSaida::CreateComOrigem(JanelaImagem, JanelaImagem));
  saida->DefinirBitmap(std::move(resultado));
  saida->SetCaption(JanelaImagem->Caption() + "-Contraste " + NomeTipo);
  saida.Keep();
}

void TFormContraste::rgTipoClick() { DefinirTipo(TipoDoItem(rgTipoItemIndex())); }

void TFormContraste::BarraGammaChange() {
  lGamaValue->setText(QString::fromStdString(TextoDoGama(Gama())));
  CalcularCurva();
}

// Both level bars end here: the labels, the level window and its two marker lines follow
// the bars, then the curve is worked out again.
void TFormContraste::AplicarLimites() {
  LPos1->setText(QString::fromStdString(NumeroTresDigitos(Barra1->value())));
  LPos2->setText(QString::fromStdString(NumeroTresDigitos(Barra2->value())));
  LimiteInferior = Barra1->value();
  LimiteSuperior = Barra2->value();
  Linha1->move(Barra1->value() + kEsquerdaGrafico, Linha1->y());
  Linha2->move(Barra2->value() + kEsquerdaGrafico, Linha2->y());
  CalcularCurva();
}

void TFormContraste::Barra1Change() {
  if (Barra1->value() >= Barra2->value() - 1) Barra2->setValue(Barra1->value() + 1);
  AplicarLimites();
}

void TFormContraste::Barra2Change() {
  if (Barra2->value() <= Barra1->value() + 1) Barra1->setValue(Barra2->value() - 1);
  AplicarLimites();
}

void TFormContraste::GraficoMouseDown(Qt::MouseButton, Qt::MouseButtons, int x, int y) {
  // A press can only land inside the area; the clamp keeps a hand-made entry a level even
  // for a point given from elsewhere.
  const Point p{std::clamp(x, 0, 255), std::clamp(y, 0, 255)};
  PontoAtual = PontoAnterior = p;
  if (Tipo == kTipoPersonalizado) {
    Curva[size_t(p.x)] = uint8_t(255 - p.y);
    CalcularCurva();
  } else {
    AjustandoFator = true;
  }
}

void TFormContraste::GraficoMouseMove(Qt::MouseButtons buttons, int x, int y) {
  if (Tipo == kTipoPersonalizado) {
    const Point p{std::clamp(x, 0, 255), std::clamp(y, 0, 255)};
    if (buttons & Qt::LeftButton) {
      // A chain of short segments behind the pointer.
      PontoAnterior = PontoAtual;
      PontoAtual = p;
      TracarSegmento();
      CalcularCurva();
    }
    if (buttons & Qt::RightButton) {
      // One straight line from where the button went down to the pointer.
      PontoAtual = p;
      TracarSegmento();
      CalcularCurva();
    }
  } else if (AjustandoFator) {
    // Up raises the histogram's scale, down or sideways lowers it.
    Histograma->SetFator(Histograma->Fator() + (PontoAtual.y - y > 0 ? 0.05 : -0.05));
    PontoAtual = Point{x, y};
  }
}

void TFormContraste::GraficoMouseUp(Qt::MouseButton, Qt::MouseButtons, int, int) {
  AjustandoFator = false;
}

void TFormContraste::BtOKClick() {
  Aplicar();
  close();
}
