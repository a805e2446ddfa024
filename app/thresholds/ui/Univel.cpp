#include "app/thresholds/ui/Univel.h"

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPen>
#include <QSlider>

#include "app/imaging/ui/Line.h"
#include "app/settings/model/URecursos.h"

TNivel::TNivel(QWidget* owner, int left, int top, int lineHeight, int position) {
  SetEsquerda(left);
  SetTopo(top);

  Barra = new QSlider(Qt::Horizontal, owner);
  Barra->setRange(0, 255);
  Barra->setValue(position);
  Barra->setTickPosition(QSlider::NoTicks);
  Barra->setGeometry(Esquerda, Topo, kLarguraBarra, kAlturaBarra);

  Linha = new TLine(owner);
  Linha->SetDirection(vandrel::ldVertical);
  Linha->SetPen(QPen(QColor(255, 0, 0), 3, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  Linha->setGeometry(Esquerda + position + 8, Topo - lineHeight, Linha->width(), lineHeight);

  Rotulo = new QLabel("000", owner);
  QFont fonte = Rotulo->font();
  fonte.setBold(true);
  fonte.setPixelSize(10);
  Rotulo->setFont(fonte);
  Rotulo->setAutoFillBackground(true);
  QPalette cores = Rotulo->palette();
  cores.setColor(QPalette::Window, QColor(255, 0, 0));
  cores.setColor(QPalette::WindowText, QColor(0, 0, 0));
  Rotulo->setPalette(cores);
  Rotulo->setGeometry(Esquerda + kLarguraBarra + 3, Topo + 3, 21, Rotulo->sizeHint().height());

  DefinirChange([this] { BarraChange(); });
  for (QWidget* w :
       {static_cast<QWidget*>(Barra), static_cast<QWidget*>(Linha), static_cast<QWidget*>(Rotulo)})
    w->show();
}

void TNivel::DefinirChange(std::function<void()> handler) {
  QObject::disconnect(change_);
  if (Barra) change_ = QObject::connect(Barra, &QSlider::valueChanged, Barra, std::move(handler));
}

TNivel::~TNivel() {
  delete Barra;
  delete Linha;
  delete Rotulo;
}

void TNivel::Atualizar() {
  if (!Barra) return;
  const int p = Barra->value();
  if (Rotulo) {
    Rotulo->setText(QString::fromStdString(vandrel::NumeroTresDigitos(p)));
    QPalette cores = Rotulo->palette();
    cores.setColor(QPalette::WindowText, QColor(p, p, p));
    Rotulo->setPalette(cores);
  }
  if (Linha) Linha->move(p + Esquerda + 8, Linha->y());
}
