#include "app/imaging/ui/UnitBrilho.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/imaging/model/Brightness.h"
#include "app/imaging/ui/UnitImagem.h"
#include "platform/qt/ErrorReport.h"

TFormBrilho* TFormBrilho::CreateComImagem(QWidget* owner, TFormImagem* imagem) {
  return new TFormBrilho(owner, imagem);
}

TFormBrilho::TFormBrilho(QWidget* owner, TFormImagem* imagem) : QDialog(owner), Imagem(imagem) {
  setObjectName("FormBrilho");
  setWindowTitle("Controle de Brilho");
  // Only the system menu and its close box: no minimise, maximise or help buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  Label1 = new QLabel("&Percentual de Brilho:", this);
  Label1->setObjectName("Label1");
  LPercBrilho = new QLabel("0%", this);
  LPercBrilho->setObjectName("LPercBrilho");
  QFont bold = LPercBrilho->font();
  bold.setBold(true);
  LPercBrilho->setFont(bold);
  LPercBrilho->setAutoFillBackground(true);
  QPalette red = LPercBrilho->palette();
  red.setColor(QPalette::Window, Qt::red);
  LPercBrilho->setPalette(red);
  LPercBrilho->setAlignment(Qt::AlignCenter);
  LPercBrilho->setMinimumWidth(LPercBrilho->fontMetrics().horizontalAdvance("100%") + 8);

  BarraBrilho = new QSlider(Qt::Horizontal, this);
  BarraBrilho->setObjectName("BarraBrilho");
  BarraBrilho->setRange(0, 100);
  BarraBrilho->setSingleStep(1);
  BarraBrilho->setValue(0);
  BarraBrilho->setTickPosition(QSlider::TicksBelow);
  BarraBrilho->setTickInterval(10);
  BarraBrilho->setMinimumWidth(260);
  Label1->setBuddy(BarraBrilho);

  ButtonOK = new QPushButton("&OK", this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonOK->setDefault(true);
  BtCancelar = new QPushButton("&Cancelar", this);
  BtCancelar->setObjectName("BtCancelar");
  BtHelp = new QPushButton("&Ajuda", this);
  BtHelp->setObjectName("BtHelp");

  auto* outer = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(Label1);
  top->addWidget(LPercBrilho);
  top->addStretch();
  outer->addLayout(top);
  outer->addWidget(BarraBrilho);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ButtonOK);
  buttons->addWidget(BtCancelar);
  buttons->addWidget(BtHelp);
  outer->addLayout(buttons);

  connect(BarraBrilho, &QSlider::valueChanged, this, [this] { BarraBrilhoChange(); });
  vandrel::OnClicked(ButtonOK, [this] { ButtonOKClick(); });
  vandrel::OnClicked(BtCancelar, [this] { BtCancelarClick(); });
}

void TFormBrilho::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  adjustSize();
  setFixedSize(size());
}

void TFormBrilho::BarraBrilhoChange() {
  LPercBrilho->setText(QString::number(BarraBrilho->value()) + "%");
}

void TFormBrilho::ButtonOKClick() {
  if (!Imagem) return;
  // The output window belongs to the image window and remembers it as its source.
  NewPictureWindow<TFormImagemSaida> saida(TFormImagemSaida::CreateComOrigem(Imagem, Imagem));
  // The brightened copy in one pass over the pixels.
  saida->DefinirBitmap(vandrel::ComBrilho(Imagem->BitmapImagem, BarraBrilho->value()));
  saida->SetCaption(Imagem->Caption() + " - Brilho");
  saida.Keep();
  accept();
}

void TFormBrilho::BtCancelarClick() { reject(); }
