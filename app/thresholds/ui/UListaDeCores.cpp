#include "app/thresholds/ui/UListaDeCores.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

#include "app/settings/model/URecursos.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/FixedLayout.h"

namespace {

QColor Cor(int32_t v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }
int32_t Valor(const QColor& c) { return c.red() | c.green() << 8 | c.blue() << 16; }
QString TresDigitos(int n) { return QString::fromStdString(vandrel::NumeroTresDigitos(n)); }

constexpr int kLargura = 142, kAlturaCaixa = 28, kPasso = 24;

}  // namespace

TShapeCor::TShapeCor(QWidget* parent) : QWidget(parent) {}

void TShapeCor::SetCor(const QColor& cor) {
  cor_ = cor;
  update();
}

void TShapeCor::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), cor_);
  p.setPen(Qt::black);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TShapeCor::mousePressEvent(QMouseEvent*) { emit OnMouseDown(); }

TFormListaDeCores* TFormListaDeCores::CreateComLimiares(QWidget* owner, int n,
                                                        const vandrel::Limiares& lim,
                                                        const vandrel::PaletaFases& paleta) {
  return new TFormListaDeCores(owner, n, lim, paleta);
}

TFormListaDeCores::TFormListaDeCores(QWidget* owner, int n, const vandrel::Limiares& lim,
                                     const vandrel::PaletaFases& paleta)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName("FormListaDeCores");
  setWindowTitle("Cores");
  CaixaDeCores = new QFrame(this);
  CaixaDeCores->setObjectName("CaixaDeCores");
  CaixaDeCores->setFrameStyle(QFrame::Box | QFrame::Sunken);
  CaixaDeCores->setGeometry(0, 0, kLargura, kAlturaCaixa);
  BtOK = new QPushButton("OK", this);
  BtOK->setObjectName("BtOK");
  BtOK->setFlat(true);
  BtOK->setGeometry(8, 33, 60, 22);
  BtCancel = new QPushButton("Cancelar", this);
  BtCancel->setObjectName("BtCancel");
  BtCancel->setFlat(true);
  BtCancel->setGeometry(75, 33, 60, 22);
  vandrel::OnClicked(BtOK, [this] { BtOKClick(); });
  vandrel::OnClicked(BtCancel, [this] { BtCancelClick(); });

  Aceito = false;
  Paleta = paleta;
  n = std::clamp(n, 0, vandrel::kMaxNiveis);
  NumNiveis = uint8_t(n);
  QFont fonte = font();
  fonte.setPointSize(10);
  fonte.setBold(true);
  for (int k = 1; k <= n + 1; ++k) {
    auto* s = new TShapeCor(this);
    s->setObjectName("s" + QString::number(k));
    s->setGeometry(4, (k - 1) * kPasso + 4, 20, 20);
    s->SetCor(Cor(vandrel::RGBParaInteiro(Paleta[size_t(k - 1)])));
    connect(s, &TShapeCor::OnMouseDown, this,
            [this, s] { vandrel::Guarded([this, s] { ShapeCorMouseDown(s); }); });
    Cores.push_back(s);

    auto* l = new QLabel(this);
    l->setFont(fonte);
    l->setGeometry(43, (k - 1) * kPasso + 6, 54, 16);
    l->setText(k <= n ? TresDigitos(lim[size_t(k - 1)]) + " - " + TresDigitos(lim[size_t(k)])
                      : TresDigitos(lim[size_t(n)]) + " - " + "255");
    // Labels size themselves to their text, as wide as the font needs.
    l->adjustSize();
    Faixas.push_back(l);
  }
  // The box grows by one row per level and the buttons sit under it.
  CaixaDeCores->resize(kLargura, CaixaDeCores->height() + kPasso * n);
  BtCancel->move(BtCancel->x(), CaixaDeCores->height() + 5);
  BtOK->move(BtOK->x(), CaixaDeCores->height() + 5);
  // As wide as the ranges reach with a larger font, and the buttons fitted to their texts.
  const int largura = std::max(kLargura, childrenRect().right() + 5);
  setFixedSize(vandrel::FittedSize(this, QSize(largura, BtOK->y() + BtOK->height() + 4)));
}

void TFormListaDeCores::ShapeCorMouseDown(TShapeCor* swatch) {
  const std::optional<QColor> escolha = vandrel::Dialogs().ChooseColor(ultimaCor_);
  if (!escolha || !escolha->isValid()) return;
  ultimaCor_ = *escolha;
  // The swatch's name carries its phase: "s" + (phase + 1).
  bool ok = false;
  const int k = swatch->objectName().mid(1).toInt(&ok);
  if (!ok || k < 1 || k > int(Paleta.size())) return;
  Paleta[size_t(k - 1)] = vandrel::InteiroParaRGB(Valor(*escolha));
  swatch->SetCor(*escolha);
}

void TFormListaDeCores::BtOKClick() {
  Aceito = true;
  close();
}

void TFormListaDeCores::BtCancelClick() { close(); }
