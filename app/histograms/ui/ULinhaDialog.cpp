#include "app/histograms/ui/ULinhaDialog.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <algorithm>

#include "platform/qt/Dialogs.h"
#include "platform/qt/ErrorReport.h"

namespace {

QColor ParaQColor(int32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
int32_t DeQColor(const QColor& c) { return c.red() | c.green() << 8 | c.blue() << 16; }

constexpr int kMinEspessura = 1, kMaxEspessura = 10;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Shape

TShape::TShape(QWidget* parent) : QWidget(parent) {}

void TShape::SetCor(int32_t cor) {
  cor_ = cor;
  update();
}

void TShape::SetPen(const QColor& color, int width) {
  pen_ = color;
  penWidth_ = width;
  update();
}

void TShape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (cor_ >= 0) p.fillRect(rect(), ParaQColor(cor_));
  // The frame lies inside the shape, `penWidth_` pixels wide.
  for (int i = 0; i < penWidth_; ++i) {
    p.setPen(pen_);
    p.drawRect(rect().adjusted(i, i, -1 - i, -1 - i));
  }
}

void TShape::mousePressEvent(QMouseEvent* event) {
  const QPoint pt = event->position().toPoint();
  if (OnMouseDown) vandrel::Guarded([&] { OnMouseDown(event->button(), pt.x(), pt.y()); });
  event->accept();
}

void TShape::contextMenuEvent(QContextMenuEvent* event) {
  // A right click has already gone to OnMouseDown; only the keyboard's menu request is
  // told apart, so that one click never opens two dialogs.
  if (event->reason() != QContextMenuEvent::Mouse && OnContextPopup)
    vandrel::Guarded([&] { OnContextPopup(); });
  event->accept();
}

// ---------------------------------------------------------------------------------------------
// Up-down control

TUpDown::TUpDown(QWidget* parent, int min, int max, int position)
    : QWidget(parent), min_(min), max_(std::max(min, max)), position_(min) {
  BotaoAcima = new QToolButton(this);
  BotaoAcima->setObjectName("BotaoAcima");
  BotaoAcima->setArrowType(Qt::UpArrow);
  BotaoAbaixo = new QToolButton(this);
  BotaoAbaixo->setObjectName("BotaoAbaixo");
  BotaoAbaixo->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {BotaoAcima, BotaoAbaixo}) {
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
  }
  vandrel::OnClicked(BotaoAcima, [this] { Passo(updUp); });
  vandrel::OnClicked(BotaoAbaixo, [this] { Passo(updDown); });
  SetPosition(position);
  resize(15, 22);
}

void TUpDown::SetPosition(int position) {
  position_ = std::clamp(position, min_, max_);
  Mostrar();
}

void TUpDown::SetAssociate(QLineEdit* edit) {
  associate_ = edit;
  Mostrar();
}

void TUpDown::Mostrar() {
  if (associate_) associate_->setText(QString::number(position_));
}

void TUpDown::Passo(Direcao direction) {
  if (!isEnabled()) return;
  // A tied edit may have been typed into: its number is where the step starts from.
  if (associate_) {
    bool ok = false;
    const int typed = associate_->text().toInt(&ok);
    if (ok) position_ = std::clamp(typed, min_, max_);
  }
  const int novo = std::clamp(position_ + (direction == updUp ? 1 : -1), min_, max_);
  bool allow = true;
  if (OnChangingEx) OnChangingEx(allow, novo, direction);
  if (!allow) return;
  position_ = novo;
  Mostrar();
}

void TUpDown::resizeEvent(QResizeEvent*) {
  const int h = height() / 2;
  BotaoAcima->setGeometry(0, 0, width(), h);
  BotaoAbaixo->setGeometry(0, h, width(), height() - h);
}

void TUpDown::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // The arrows grey out with the control.
  if (event->type() == QEvent::EnabledChange) {
    BotaoAcima->setEnabled(isEnabled());
    BotaoAbaixo->setEnabled(isEnabled());
  }
}

// ---------------------------------------------------------------------------------------------
// Line options dialog

TFormLinhaDialog* TFormLinhaDialog::CreateLinha(const QString& nome, int32_t cor, int espessura,
                                                QWidget* owner) {
  auto* d = new TFormLinhaDialog(owner);
  d->ShapeCor->SetCor(cor);
  d->EditNome->setText(nome);
  d->UDEspessura->SetPosition(espessura);
  return d;
}

TFormLinhaDialog::TFormLinhaDialog(QWidget* owner) : QDialog(owner) {
  setObjectName("FormLinhaDialog");
  setWindowTitle("Opções de Linha");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  QFont f = font();
  f.setPixelSize(11);
  setFont(f);
  setFixedSize(179, 92);

  Bevel1 = new QFrame(this);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Bevel1->setGeometry(0, 0, 179, 65);
  ShapeCor = new TShape(this);
  ShapeCor->setObjectName("ShapeCor");
  ShapeCor->setGeometry(9, 8, 30, 30);
  ShapeCor->setToolTip("Cor da Linha");
  EditNome = new QLineEdit(this);
  EditNome->setObjectName("EditNome");
  EditNome->setGeometry(46, 12, 125, 19);
  Excluir = new QCheckBox("Excluir Sequência", this);
  Excluir->setObjectName("Excluir");
  Excluir->move(11, 43);
  Excluir->adjustSize();
  EditEspessura = new QLineEdit("1", this);
  EditEspessura->setObjectName("EditEspessura");
  EditEspessura->setGeometry(126, 42, 25, 18);
  // Only widths the control can keep may be typed.
  EditEspessura->setValidator(new QIntValidator(kMinEspessura, kMaxEspessura, EditEspessura));
  UDEspessura = new TUpDown(this, kMinEspessura, kMaxEspessura, 1);
  UDEspessura->setObjectName("UDEspessura");
  UDEspessura->setGeometry(151, 42, 15, 18);
  UDEspessura->SetAssociate(EditEspessura);
  // The width edit and its arrows keep clear of the check box's text, whatever the font's
  // width; the dialog widens when they need more room.
  QStyleOptionButton opcao;
  opcao.initFrom(Excluir);
  opcao.text = Excluir->text();
  const int fimDoTexto =
      Excluir->x() + style()->subElementRect(QStyle::SE_CheckBoxContents, &opcao, Excluir).left() +
      QFontMetrics(Excluir->font()).horizontalAdvance(Excluir->text());
  const int x = std::max(126, fimDoTexto + 4);
  EditEspessura->move(x, 42);
  UDEspessura->move(x + 25, 42);
  const int largura = std::max(179, UDEspessura->geometry().right() + 1 + 7);
  setFixedSize(largura, 92);
  Bevel1->resize(largura, 65);
  SpeedButton1 = new QToolButton(this);
  SpeedButton1->setObjectName("SpeedButton1");
  SpeedButton1->setText("OK");
  SpeedButton1->setGeometry(9, 70, 75, 20);
  SpeedButton2 = new QToolButton(this);
  SpeedButton2->setObjectName("SpeedButton2");
  SpeedButton2->setText("Cancelar");
  SpeedButton2->setGeometry(96, 70, 75, 20);
  for (QToolButton* b : {SpeedButton1, SpeedButton2}) b->setAutoRaise(true);

  vandrel::OnClicked(SpeedButton1, [this] { SpeedButton1Click(); });
  vandrel::OnClicked(SpeedButton2, [this] { SpeedButton2Click(); });
  connect(Excluir, &QCheckBox::toggled, this,
          [this] { vandrel::Guarded([this] { ExcluirClick(); }); });
  ShapeCor->OnMouseDown = [this](Qt::MouseButton, int, int) { ShapeCorMouseDown(); };
  ShapeCor->OnContextPopup = [this] { ShapeCorContextPopup(); };

  FormCreate();
}

TFormLinhaDialog::~TFormLinhaDialog() = default;

void TFormLinhaDialog::FormCreate() { Resultado = "Cancelar"; }

void TFormLinhaDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred on the desktop, not on its owner.
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

int TFormLinhaDialog::Espessura() const {
  bool ok = false;
  const int n = EditEspessura->text().toInt(&ok);
  return ok ? std::clamp(n, kMinEspessura, kMaxEspessura) : UDEspessura->Position();
}

void TFormLinhaDialog::SpeedButton1Click() {
  Resultado = "OK";
  accept();
}

void TFormLinhaDialog::SpeedButton2Click() {
  Resultado = "Cancelar";
  reject();
}

void TFormLinhaDialog::EscolherCor() {
  const std::optional<QColor> cor = vandrel::Dialogs().ChooseColor(CorDoDialogo);
  if (!cor || !cor->isValid()) return;
  CorDoDialogo = *cor;
  ShapeCor->SetCor(DeQColor(*cor));
}

void TFormLinhaDialog::ShapeCorMouseDown() { EscolherCor(); }

void TFormLinhaDialog::ShapeCorContextPopup() { EscolherCor(); }

void TFormLinhaDialog::ExcluirClick() {
  const bool c = Excluir->isChecked();
  EditNome->setVisible(!c);
  ShapeCor->setVisible(!c);
  EditEspessura->setEnabled(!c);
  UDEspessura->setEnabled(!c);
}
