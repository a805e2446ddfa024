#include "app/thresholds/ui/ULimiares.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "app/frame/ui/Frame.h"
#include "app/frame/ui/ToolIcons.h"
#include "app/histograms/ui/UDSHistograma.h"
#include "app/imaging/ui/Line.h"
#include "app/imaging/ui/UnitImagem.h"
#include "app/settings/model/URecursos.h"
#include "app/thresholds/model/PaletteBar.h"
#include "app/thresholds/model/PhaseAreas.h"
#include "app/thresholds/model/PhaseColouring.h"
#include "app/thresholds/model/ThresholdFiles.h"
#include "app/thresholds/ui/ULimPreview.h"
#include "app/thresholds/ui/UListaDeCores.h"
#include "app/thresholds/ui/Univel.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/FixedLayout.h"
#include "platform/qt/Placement.h"

using vandrel::Bitmap;

namespace {

// Geometry of the form: the palette bar over the histogram, the levels' box under it, and
// the buttons under the box. Level k's track bar stands at top 20k + 189, its marker line
// 20k + 165 pixels high, so every line starts at y = 24, just under the histogram's top.
constexpr int kEsquerdaGrafico = 6, kLarguraGrafico = 264;
constexpr int kTopoCaixa = 207, kAlturaCaixa = 5, kLarguraCaixa = 305;
constexpr int kPassoNivel = 20, kTopoNivel = 189, kAlturaLinha = 165;
constexpr int kAlturaBotao = 22;

const char* const kFiltroLimiares = "Arquivo De Limiares do Vandrel(*.als)|*.als";
const char* const kFiltroPaleta = "Paleta de Cores do Vandrel (*.pcs)|*.pcs";

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString Texto(int n) { return QString::number(n); }

QPushButton* Botao(QWidget* parent, const char* name, const QString& caption, const QString& hint) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setToolTip(hint);
  b->setAutoDefault(false);
  return b;
}

// A file button: its picture, with a strip of phase colours on the palette buttons.
QToolButton* BotaoArquivo(QWidget* parent, const char* name, const QString& hint, bool salvar,
                          bool paleta) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setToolTip(hint);
  b->setAutoRaise(true);
  QPixmap figura = ToolIcon(salvar ? "salvar" : "abrir").pixmap(18, 18);
  if (paleta) {
    QPainter p(&figura);
    const QColor cores[4] = {Qt::red, Qt::yellow, Qt::blue, QColor(0, 255, 0)};
    for (int i = 0; i < 4; ++i) p.fillRect(2 + 3 * i, 14, 3, 4, cores[i]);
  }
  b->setIcon(QIcon(figura));
  b->setIconSize(QSize(18, 18));
  return b;
}

void CorDoTexto(QPushButton* b, const char* cor) {
  b->setStyleSheet(
      QString("QPushButton { color: %1; font-weight: bold; font-size: 16px; }").arg(cor));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Palette bar

TImagemPaleta::TImagemPaleta(QWidget* parent) : QWidget(parent) {}

void TImagemPaleta::resizeEvent(QResizeEvent*) {
  QImage novo(size(), QImage::Format_RGB32);
  novo.fill(Qt::white);
  if (!canvas_.isNull()) {
    QPainter p(&novo);
    p.drawImage(0, 0, canvas_);
  }
  canvas_ = std::move(novo);
}

void TImagemPaleta::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, canvas_);
}

void TImagemPaleta::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit OnClick();
}

// ---------------------------------------------------------------------------------------------
// Thresholds window

TFormLimiares* TFormLimiares::CreateComImagem(QObject* owner, TFormImagem* janela) {
  return new TFormLimiares(owner, janela->BitmapImagem, janela);
}

TFormLimiares* TFormLimiares::CreateComBitmap(QObject* owner, const Bitmap& bitmap) {
  return new TFormLimiares(owner, bitmap, nullptr);
}

TFormLimiares::TFormLimiares(QObject* owner, const Bitmap& bitmap, TFormImagem* janela)
    : TForm(nullptr) {
  setObjectName("FormLimiares");

  TabelaDeCores = new TImagemPaleta(this);
  TabelaDeCores->setObjectName("TabelaDeCores");
  TabelaDeCores->setToolTip("Alterar o modo de exibição da paleta");
  TabelaDeCores->setGeometry(kEsquerdaGrafico, 0, kLarguraGrafico, 11);

  Histograma = new TDSHistograma(this);
  Histograma->setObjectName("Histograma");
  Histograma->setGeometry(kEsquerdaGrafico, 15, kLarguraGrafico, 188);
  Histograma->SetEstilo(vandrel::eLinhaGradiente);
  Histograma->SetCorDeFundo(vandrel::Rgb(0, 0, 0));
  Histograma->SetCorDeDesenho(vandrel::Rgb(255, 255, 255));
  Histograma->SetCorDaLinha(vandrel::Rgb(255, 0, 0));
  Histograma->SetCorDaLinhaGradiente(vandrel::Rgb(0, 0, 0));
  Histograma->SetNumLinhasHor(0);
  Histograma->SetNumLinhasVert(vandrel::qTodas);
  Histograma->SetAtivarTexto(false);
  Histograma->SetTamanho(vandrel::hs256);
  Histograma->SetFator(1);
  Histograma->SetEspessura(1);
  Histograma->setCursor(Qt::UpArrowCursor);

  CaixadeNiveis = new QFrame(this);
  CaixadeNiveis->setObjectName("CaixadeNiveis");
  CaixadeNiveis->setFrameStyle(QFrame::Box | QFrame::Sunken);
  CaixadeNiveis->setAttribute(Qt::WA_TransparentForMouseEvents);
  CaixadeNiveis->setGeometry(0, kTopoCaixa, kLarguraCaixa, kAlturaCaixa);

  BtNovo = Botao(this, "BtNovo", "Novo", "Novo Nivel");
  BtExcluir = Botao(this, "BtExcluir", "Excluir", "Excluir Nível");
  BtAlterarCores = Botao(this, "BtAlterarCores", "Cores", "Alterar Cores");
  CheckBoxpreview = new QCheckBox("Preview", this);
  CheckBoxpreview->setObjectName("CheckBoxpreview");
  CheckBoxpreview->setChecked(true);
  BtAreas = Botao(this, "BtAreas", "%", "Ocultar Áreas Estimadas");
  CorDoTexto(BtAreas, "green");
  Bevel1 = new QFrame(this);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Bevel1->setAttribute(Qt::WA_TransparentForMouseEvents);
  BtAbrirLimiares =
      BotaoArquivo(this, "BtAbrirLimiares", "Abrir Arquivo de Limiares", false, false);
  BtSalvarLimiares =
      BotaoArquivo(this, "BtSalvarLimiares", "Salvar Arquivo de Limiares", true, false);
  BAbrirPaleta = BotaoArquivo(this, "BAbrirPaleta", "Abrir Paleta de Cores", false, true);
  BtSalvarPaleta = BotaoArquivo(this, "BtSalvarPaleta", "Salvar Paleta De Cores", true, true);
  BtAplicar = Botao(this, "BtAplicar", "Aplicar", "Aplicar os Limiares");
  BtOK = Botao(this, "BtOK", "OK", "Aplicar e Sair");
  BtCancelar = Botao(this, "BtCancelar", "Fechar", "Sair");

  vandrel::OnClicked(BtAlterarCores, [this] { AlterarCores(); });
  vandrel::OnClicked(BtNovo, [this] { NovoNivel(); });
  vandrel::OnClicked(BtExcluir, [this] { ExcluirNivel(); });
  connect(CheckBoxpreview, &QCheckBox::toggled, this,
          [this] { vandrel::Guarded([this] { NivelChange(this); }); });
  vandrel::OnClicked(BtAbrirLimiares, [this] { AbrirLimiares(); });
  vandrel::OnClicked(BtSalvarLimiares, [this] { SalvarLimiares(); });
  vandrel::OnClicked(BAbrirPaleta, [this] { AbrirPaleta(); });
  vandrel::OnClicked(BtSalvarPaleta, [this] { SalvarPaleta(); });
  vandrel::OnClicked(BtAplicar, [this] { AplicarLimiares(); });
  LigarBtOK([this] { BtOKClick(); });
  vandrel::OnClicked(BtCancelar, [this] { Close(); });
  vandrel::OnClicked(BtAreas, [this] { BtAreasClick(); });
  connect(TabelaDeCores, &TImagemPaleta::OnClick, this,
          [this] { vandrel::Guarded([this] { TabelaDeCoresClick(); }); });
  connect(
      Histograma, &TDSHistograma::OnMouseDown, this,
      [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { HistogramaMouseDown(x, y); });
  connect(Histograma, &TDSHistograma::OnMouseMove, this,
          [this](Qt::KeyboardModifiers, int x, int y) { HistogramaMouseMove(x, y); });
  connect(Histograma, &TDSHistograma::OnMouseUp, this,
          [this](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { HistogramaMouseUp(); });

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(150);
  connect(Timer1, &QTimer::timeout, this, [this] { vandrel::Guarded([this] { Timer1Timer(); }); });

  OpenDialog.filter = kFiltroLimiares;
  SaveDialog.filter = kFiltroLimiares;
  SetOwner(owner);

  JanelaOrigem = janela;
  Imagem = bitmap;
  Histograma->CalcularDeBitmap(Imagem);
  FormCreate();
  SetCaption("Limiares");
  Timer1->start();

  if (Frame* frame = CurrentFrame(); JanelaOrigem && frame) {
    frame->AdicionarFilha(this);
    if (QMdiSubWindow* sub = SubWindow()) {
      // Only the system menu and its close box: the window keeps the size of its content.
      sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
      FitFrameTo(sizeHint());
      sub->hide();
    }
  }
}

TFormLimiares::~TFormLimiares() {
  Timer1->stop();
  for (TNivel*& nivel : Niveis) {
    delete nivel;
    nivel = nullptr;
  }
}

void TFormLimiares::FormCreate() {
  Arrastando = false;
  Aceito = false;
  SetExibirAreas(false);
  NumNiveis = 0;
  AreasVisiveis = true;
  PaletaProporcional = true;
  Limiares = vandrel::LimiaresIniciais();
  Contagens = vandrel::CountGreyLevels(Imagem);
  TotalPixels = int32_t(int64_t(Imagem.width()) * Imagem.height());
  Paleta = vandrel::PaletaPadrao();
  TabelaAreas = TFTabelaDasAreas::CreateComPaleta(this, Paleta);
  NovoNivel();
  Niveis[1]->Barra->setValue(128);
  DesenharPaleta();
}

// ---- size and placing ----

QSize TFormLimiares::sizeHint() const {
  if (tamanho_.isValid()) return tamanho_;
  return QSize(kLarguraCaixa, BtCancelar->geometry().bottom() + 5);
}

void TFormLimiares::Reposicionar() {
  CaixadeNiveis->resize(kLarguraCaixa, kAlturaCaixa + kPassoNivel * NumNiveis);
  const int y1 = CaixadeNiveis->geometry().bottom() + 5;
  const int y2 = y1 + kAlturaBotao + 4;
  BtNovo->setGeometry(2, y1, 52, kAlturaBotao);
  BtExcluir->setGeometry(56, y1, 52, kAlturaBotao);
  BtAlterarCores->setGeometry(110, y1, 52, kAlturaBotao);
  CheckBoxpreview->setGeometry(172, y1, 80, kAlturaBotao);
  BtAreas->setGeometry(kLarguraCaixa - 36, y1, 34, kAlturaBotao);
  Bevel1->setGeometry(0, y2 - 2, 98, kAlturaBotao + 4);
  BtAbrirLimiares->setGeometry(3, y2, 22, kAlturaBotao);
  BtSalvarLimiares->setGeometry(26, y2, 22, kAlturaBotao);
  BAbrirPaleta->setGeometry(50, y2, 22, kAlturaBotao);
  BtSalvarPaleta->setGeometry(73, y2, 22, kAlturaBotao);
  BtAplicar->setGeometry(104, y2, 62, kAlturaBotao);
  BtOK->setGeometry(170, y2, 62, kAlturaBotao);
  BtCancelar->setGeometry(236, y2, 67, kAlturaBotao);

  // With a larger font the controls widen and move to show their whole texts.
  tamanho_ = QSize();
  tamanho_ = vandrel::FittedSize(this, sizeHint());
  const QSize novo = sizeHint();
  setFixedSize(novo);
  updateGeometry();
  // The frame grows and shrinks with the levels.
  FitFrameTo(novo);
}

QWidget* TFormLimiares::Moldura() const {
  // The outer frame of the window: its sub-window, its modal dialog, or itself.
  if (QWidget* sub = SubWindow()) return sub;
  return modal_ ? static_cast<QWidget*>(modal_) : window();
}

QRect TFormLimiares::MolduraNaTela() const {
  const QWidget* moldura = Moldura();
  const QRect g = moldura->frameGeometry();
  // A window's frame geometry is on the screen already; a sub-window's is in its parent.
  if (moldura->isWindow() || !moldura->parentWidget()) return g;
  return QRect(moldura->parentWidget()->mapToGlobal(g.topLeft()), g.size());
}

void TFormLimiares::PosicionarTabelaAoLado() {
  if (!TabelaAreas) return;
  QWidget* moldura = Moldura();
  QRect janela = MolduraNaTela();
  tabelaPosicionada_ = true;
  // At the window's right; else at its left, below or above it: never over it.
  if (vandrel::PlaceWindowBeside(TabelaAreas, janela)) return;
  // No side has room: the window moves left, as far as its own area allows, to make room at
  // its right.
  const QRect tela = vandrel::ScreenArea(TabelaAreas);
  const int falta = janela.right() + vandrel::WindowFrame(TabelaAreas).width() - tela.right();
  const bool filha = !moldura->isWindow();
  const int livre = filha ? moldura->x() : janela.left() - tela.left();
  const int passo = std::clamp(falta, 0, std::max(livre, 0));
  if (passo > 0) {
    moldura->move(moldura->pos() - QPoint(passo, 0));
    janela.translate(-passo, 0);
  }
  if (vandrel::PlaceWindowBeside(TabelaAreas, janela)) return;
  vandrel::PlaceWindowAt(TabelaAreas, QPoint(janela.right() + 1, janela.top()));
}

void TFormLimiares::ManterTabelaLivre() {
  if (!TabelaAreas || !TabelaAreas->isVisible()) return;
  // The window or the table grew onto the other.
  if (vandrel::WindowFrame(TabelaAreas).intersects(MolduraNaTela())) PosicionarTabelaAoLado();
}

void TFormLimiares::SetExibirAreas(bool flag) {
  AreasAoLado = flag;
  if (flag && AreasVisiveis && TabelaAreas) {
    PosicionarTabelaAoLado();
    TabelaAreas->show();
  }
}

// ---- show and close ----

void TFormLimiares::showEvent(QShowEvent* event) {
  TForm::showEvent(event);
  vandrel::Guarded([this] { FormShow(); });
}

void TFormLimiares::FormShow() {
  NivelChange(this);
  if (!TabelaAreas) return;
  // A table not placed yet, or kept docked, goes to the right of the window.
  if (AreasAoLado || !tabelaPosicionada_) PosicionarTabelaAoLado();
  TabelaAreas->show();
}

bool TFormLimiares::FormClose() {
  // The source window gets its image back, which undoes any preview.
  fechada_ = true;
  if (JanelaOrigem) JanelaOrigem->DefinirBitmap(Imagem);
  Timer1->stop();
  if (TabelaAreas) TabelaAreas->hide();
  return true;
}

void TFormLimiares::closeEvent(QCloseEvent* event) {
  if (!modal_) {
    TForm::closeEvent(event);
    return;
  }
  // Picker use: closing ends the modal run; the caller reads the result and frees us.
  if (!FormClose()) {
    event->ignore();
    return;
  }
  event->accept();
  modal_->done(Aceito ? QDialog::Accepted : QDialog::Rejected);
}

void TFormLimiares::LigarBtOK(std::function<void()> handler) {
  disconnect(ok_);
  ok_ = connect(BtOK, &QPushButton::clicked, this,
                [h = std::move(handler)](bool) { vandrel::Guarded(h); });
}

namespace {
// Runs `action` whenever the watched window is shown, moved or resized.
class SeguirMoldura : public QObject {
 public:
  explicit SeguirMoldura(std::function<void()> action) : action_(std::move(action)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type t = event->type();
    if (t == QEvent::Show || t == QEvent::Move || t == QEvent::Resize) action_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> action_;
};
}  // namespace

int TFormLimiares::MostrarModal() {
  // Over the window of whoever owns us (the method dialog), so it opens centred on it.
  auto* dono = qobject_cast<QWidget*>(Owner());
  QDialog dialog(dono ? dono->window() : nullptr,
                 Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                     Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  dialog.setObjectName("FormLimiares");
  dialog.setWindowTitle(Caption());
  auto* layout = new QVBoxLayout(&dialog);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  hide();
  setParent(&dialog);
  layout->addWidget(this);
  show();
  modal_ = &dialog;
  // The area table docks at the dialog's right once the dialog has its place on screen, and
  // follows it when it moves.
  SeguirMoldura seguir([this] {
    if (AreasAoLado && AreasVisiveis && TabelaAreas) PosicionarTabelaAoLado();
  });
  dialog.installEventFilter(&seguir);
  struct Restaurar {
    TFormLimiares* w;
    ~Restaurar() {
      w->modal_ = nullptr;
      w->hide();
      w->setParent(nullptr);
    }
  } restaurar{this};
  return vandrel::Dialogs().RunModal(dialog);
}

void TFormLimiares::Aceitar() {
  Aceito = true;
  Close();
}

void TFormLimiares::BtOKClick() {
  AplicarLimiares();
  Close();
}

vandrel::RegistroLimiares TFormLimiares::GetLimiares() {
  OrdenarLimiares();
  vandrel::RegistroLimiares r;
  r.n = Aceito ? NumNiveis : 0;
  r.lim = Limiares;
  return r;
}

// ---- levels ----

void TFormLimiares::OrdenarLimiares() {
  for (int i = 1; i <= NumNiveis; ++i)
    if (Niveis[size_t(i)] && Niveis[size_t(i)]->Barra)
      Limiares[size_t(i)] = uint8_t(Niveis[size_t(i)]->Barra->value());
  vandrel::OrdenarLimiares(Limiares, NumNiveis);
}

void TFormLimiares::NovoNivel() {
  if (NumNiveis >= vandrel::kMaxNiveis) return;
  const int k = ++NumNiveis;
  TNivel* nivel =
      TNivel::Create(this, 2, kPassoNivel * k + kTopoNivel, kPassoNivel * k + kAlturaLinha, 0);
  Niveis[size_t(k)] = nivel;
  QSlider* barra = nivel->Barra;
  barra->setObjectName("b" + Texto(k));
  // Lines pass behind the track bars of the levels above them, over the histogram.
  if (Niveis[1] && Niveis[1]->Barra) nivel->Linha->stackUnder(Niveis[1]->Barra);
  nivel->DefinirChange([this, barra] { vandrel::Guarded([this, barra] { NivelChange(barra); }); });
  Reposicionar();
  DesenharPaleta();
  if (TabelaAreas) {
    TabelaAreas->SetRowCount(TabelaAreas->RowCount() + 1);
    for (int c = 1; c <= 3; ++c) TabelaAreas->SetCell(c, k, "0");
    ManterTabelaLivre();
  }
  NivelChange(this);
}

void TFormLimiares::ExcluirNivel() {
  if (NumNiveis <= 1) return;
  // The last level created goes, whatever its position.
  delete Niveis[NumNiveis];
  Niveis[NumNiveis] = nullptr;
  --NumNiveis;
  Reposicionar();
  DesenharPaleta();
  if (TabelaAreas) {
    TabelaAreas->SetRowCount(TabelaAreas->RowCount() - 1);
    ManterTabelaLivre();
  }
  NivelChange(this);
}

bool TFormLimiares::PreviewPermitido() const {
  return CheckBoxpreview->isVisibleTo(const_cast<TFormLimiares*>(this)) &&
         CheckBoxpreview->isChecked() && JanelaOrigem;
}

void TFormLimiares::NivelChange(QObject* sender) {
  if (auto* barra = qobject_cast<QSlider*>(sender)) {
    const int k = (barra->y() - kTopoNivel) / kPassoNivel;
    if (k >= 1 && k <= NumNiveis && Niveis[size_t(k)] && Niveis[size_t(k)]->Barra == barra)
      Niveis[size_t(k)]->Atualizar();
  }
  CalcularAreas();
  DesenharPaleta();
  if (!PreviewPermitido()) return;
  if (PreviewLiberado) {
    AtualizarPreview();
    PreviewLiberado = false;
    PreviewPendente = false;
  } else {
    // Held back until the next tick, which shows the state of the last change.
    PreviewPendente = true;
  }
}

void TFormLimiares::Timer1Timer() {
  PreviewLiberado = true;
  if (!PreviewPendente) return;
  PreviewPendente = false;
  if (!PreviewPermitido()) return;
  AtualizarPreview();
  PreviewLiberado = false;
}

void TFormLimiares::CalcularAreas() {
  OrdenarLimiares();
  if (!TabelaAreas) return;
  const std::vector<vandrel::LinhaDeArea> linhas =
      vandrel::CalcularAreas(Contagens, TotalPixels, NumNiveis, Limiares);
  for (size_t i = 0; i < linhas.size(); ++i) {
    const int row = int(i) + 1;
    TabelaAreas->SetCell(1, row, Texto(linhas[i].de));
    TabelaAreas->SetCell(2, row, Texto(linhas[i].ate));
    TabelaAreas->SetCell(3, row,
                         QString::fromStdString(vandrel::TextoDaArea(linhas[i].centesimos)));
  }
}

void TFormLimiares::DesenharPaleta() {
  QImage& canvas = TabelaDeCores->Canvas();
  if (canvas.isNull()) return;
  QPainter p(&canvas);
  p.setPen(Qt::black);
  for (const vandrel::FaixaDaPaleta& f :
       vandrel::FaixasDaPaleta(canvas.width(), PaletaProporcional, NumNiveis, Limiares, Paleta)) {
    if (f.direita <= 0) continue;
    const int32_t v = vandrel::RGBParaInteiro(f.cor);
    p.fillRect(QRect(0, 0, f.direita, canvas.height()),
               QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF));
    p.drawRect(QRect(0, 0, f.direita - 1, canvas.height() - 1));
  }
  p.end();
  TabelaDeCores->update();
}

void TFormLimiares::TabelaDeCoresClick() {
  PaletaProporcional = !PaletaProporcional;
  DesenharPaleta();
}

// ---- colouring ----

Bitmap TFormLimiares::Colorir() {
  OrdenarLimiares();
  Bitmap saida;
  vandrel::ColorirImagem(Imagem, vandrel::CoresDosNiveis(NumNiveis, Limiares, Paleta), saida);
  return saida;
}

void TFormLimiares::AplicarLimiares() {
  if (!JanelaOrigem) return;
  Bitmap colorida = Colorir();
  NewPictureWindow<TFormImagemSaida> saida(
      TFormImagemSaida::CreateComOrigem(JanelaOrigem, JanelaOrigem));
  saida->DefinirBitmap(std::move(colorida));
  saida->SetCaption(JanelaOrigem->Caption() + "-Limiares");
  saida.Keep();
}

void TFormLimiares::AtualizarPreview() {
  if (!JanelaOrigem) return;
  OrdenarLimiares();
  vandrel::ColorirImagem(Imagem, vandrel::CoresDosNiveis(NumNiveis, Limiares, Paleta), colorida_);
  // The coloured bitmap becomes the window's image as it is; the window's image before it
  // comes back to be coloured into at the next preview.
  JanelaOrigem->TrocarBitmap(colorida_);
}

// ---- colours, table, histogram ----

void TFormLimiares::AlterarCores() {
  OrdenarLimiares();
  TFormListaDeCores lista(this, NumNiveis, Limiares, Paleta);
  vandrel::Dialogs().RunModal(lista);
  if (lista.Aceito) {
    Paleta = lista.Paleta;
    DesenharPaleta();
  }
  TabelaAreas->Paleta = Paleta;
  TabelaAreas->Repintar();
  NivelChange(this);
}

void TFormLimiares::BtAreasClick() {
  if (AreasVisiveis) {
    AreasVisiveis = false;
    BtAreas->setToolTip("Exibir Áreas Estimadas");
    TabelaAreas->hide();
    CorDoTexto(BtAreas, "red");
  } else {
    AreasVisiveis = true;
    BtAreas->setToolTip("Ocultar Áreas Estimadas");
    TabelaAreas->show();
    CorDoTexto(BtAreas, "green");
    if (AreasAoLado) SetExibirAreas(true);
  }
}

void TFormLimiares::HistogramaMouseDown(int x, int y) {
  Arrastando = true;
  UltimoPonto = QPoint(x, y);
}

void TFormLimiares::HistogramaMouseMove(int x, int y) {
  if (!Arrastando) return;
  // Up raises the vertical scale, down or sideways lowers it.
  const double fator =
      UltimoPonto.y() - y > 0 ? Histograma->Fator() + 0.05 : Histograma->Fator() - 0.05;
  UltimoPonto = QPoint(x, y);
  Histograma->SetFator(fator);
}

void TFormLimiares::HistogramaMouseUp() { Arrastando = false; }

// ---- files ----

void TFormLimiares::AbrirLimiares() {
  OpenDialog.filter = kFiltroLimiares;
  OpenDialog.initialDir = QString::fromStdString(vandrel::PastaPrograma()) + "saves";
  OpenDialog.fileName.clear();
  const std::optional<vandrel::FileDialogResult> escolha = vandrel::Dialogs().OpenFiles(OpenDialog);
  if (!escolha || escolha->files.isEmpty()) return;
  // The whole record is read and checked before anything changes.
  const vandrel::RegistroLimiares r = vandrel::LerArquivoLimiares(Local(escolha->files.first()));
  while (NumNiveis > 1) ExcluirNivel();
  Niveis[1]->Barra->setValue(r.lim[1]);
  for (int k = 2; k <= r.n; ++k) {
    NovoNivel();
    Niveis[size_t(k)]->Barra->setValue(r.lim[size_t(k)]);
  }
  Limiares = r.lim;
  NivelChange(this);
}

void TFormLimiares::SalvarLimiares() {
  OrdenarLimiares();
  SaveDialog.filter = kFiltroLimiares;
  SaveDialog.initialDir = QString::fromStdString(vandrel::PastaPrograma()) + "saves";
  SaveDialog.fileName = "limiares1";
  const std::optional<vandrel::FileDialogResult> escolha = vandrel::Dialogs().SaveFile(SaveDialog);
  if (!escolha || escolha->files.isEmpty()) return;
  vandrel::RegistroLimiares r;
  r.n = NumNiveis;
  r.lim = Limiares;
  vandrel::GravarArquivoLimiares(vandrel::ComExtensao(Local(escolha->files.first()), ".als"), r);
}

void TFormLimiares::AbrirPaleta() {
  OpenDialog.filter = kFiltroPaleta;
  OpenDialog.initialDir = QString::fromStdString(vandrel::PastaPrograma()) + "saves";
  OpenDialog.fileName.clear();
  const std::optional<vandrel::FileDialogResult> escolha = vandrel::Dialogs().OpenFiles(OpenDialog);
  if (!escolha || escolha->files.isEmpty()) return;
  // All 48 bytes are read before the palette changes.
  Paleta = vandrel::LerArquivoPaleta(Local(escolha->files.first()));
  DesenharPaleta();
  TabelaAreas->Paleta = Paleta;
  TabelaAreas->Repintar();
  NivelChange(this);
}

void TFormLimiares::SalvarPaleta() {
  SaveDialog.filter = kFiltroPaleta;
  SaveDialog.initialDir = QString::fromStdString(vandrel::PastaPrograma()) + "saves";
  SaveDialog.fileName = "paleta1";
  const std::optional<vandrel::FileDialogResult> escolha = vandrel::Dialogs().SaveFile(SaveDialog);
  if (!escolha || escolha->files.isEmpty()) return;
  vandrel::GravarArquivoPaleta(vandrel::ComExtensao(Local(escolha->files.first()), ".pcs"), Paleta);
}
