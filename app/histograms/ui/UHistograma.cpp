#include "app/histograms/ui/UHistograma.h"

#include <algorithm>
#include <tuple>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QToolButton>
#include <algorithm>
#include <memory>

#include "app/frame/ui/Frame.h"
#include "app/frame/ui/ToolIcons.h"
#include "app/histograms/model/HistogramFiles.h"
#include "app/histograms/model/HistogramWindowRules.h"
#include "app/histograms/ui/UDSHistograma.h"
#include "app/histograms/ui/ULegenda.h"
#include "app/histograms/ui/ULinhaDialog.h"
#include "app/histograms/ui/UListaDeFases.h"
#include "app/settings/model/URecursos.h"
#include "platform/qt/ErrorReport.h"

using namespace vandrel;

namespace {

const char* const kFiltroAbrir =
    "Fases de Materiais (*.his)|*.his|Padrões (*.pat)|*.pat|Imagens (*.tif,*.gif,*.bmp)|*.tif;"
    "*.gif;*.bmp|Lista de Imagens (*.lst)|*.lst|Todos os Histogramas (*.his,*.pat,*.lst,*.tif,"
    "*.gif,*.bmp)|*.pat;*.lst;*.his;*.tif;*.gif;*.bmp";
const char* const kSalvarHistograma = "Salvar Histograma";
const char* const kSalvarPadrao = "Salvar Padrão";

// Geometry of the two sizes that show the panels.
struct Paineis {
  int legendaTopo, largura, btMais, opcoes;
};
constexpr Paineis kPaineis256{190, 264, 224, 265};
constexpr Paineis kPaineis512{369, 520, 482, 521};

int32_t DeQColor(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

// The pictures of the overlay and save-picture buttons, in the manner of the tool bar's.
QIcon Glifo(const QString& nome) {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(Qt::white);
  p.drawRect(1, 2, 22, 20);
  if (nome == "sobrepor") {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 40, 200), 1.6));
    p.drawPolyline(QPolygonF(
        {QPointF(3, 19), QPointF(7, 12), QPointF(11, 7), QPointF(15, 14), QPointF(21, 18)}));
    p.setPen(QPen(QColor(200, 30, 30), 1.6));
    p.drawPolyline(QPolygonF(
        {QPointF(3, 18), QPointF(9, 16), QPointF(14, 6), QPointF(18, 10), QPointF(21, 15)}));
  } else {
    p.setBrush(QColor(150, 254, 166));
    p.drawRect(3, 4, 18, 16);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 40, 200), 1.6));
    p.drawPolyline(QPolygonF(
        {QPointF(4, 17), QPointF(8, 10), QPointF(12, 14), QPointF(16, 6), QPointF(20, 12)}));
    p.setPen(QPen(QColor(20, 40, 120), 1));
    p.setBrush(QColor(60, 90, 170));
    p.drawRect(13, 13, 10, 10);
    p.setBrush(Qt::white);
    p.drawRect(15, 13, 6, 4);
  }
  return QIcon(pm);
}

QToolButton* Botao(QWidget* parent, const char* nome, int x, const QString& dica,
                   int largura = 23) {
  auto* b = new QToolButton(parent);
  b->setObjectName(nome);
  b->setGeometry(x, 4, largura, 22);
  b->setAutoRaise(true);
  b->setIconSize(QSize(18, 18));
  if (!dica.isEmpty()) b->setToolTip(dica);
  return b;
}

}  // namespace

TFormHistograma::TFormHistograma(QObject* owner) : TForm(nullptr) {
  setObjectName("FormHistograma");
  QFont fonte = font();
  fonte.setPixelSize(11);
  setFont(fonte);

  Histograma = new TDSHistograma(this);
  Histograma->setObjectName("Histograma");
  Histograma->setGeometry(0, 0, 264, 188);
  Histograma->SetTamanho(hs256);
  Histograma->SetEstilo(eLinha);
  Histograma->SetCorDeFundo(0xA6FE96);
  Histograma->SetCorDeDesenho(Rgb(0, 0, 255));
  Histograma->SetCorDaLinha(Rgb(255, 0, 0));
  Histograma->SetCorDaLinhaGradiente(0);
  Histograma->SetNumLinhasHor(3);
  Histograma->SetNumLinhasVert(qTodas);
  Histograma->SetEspessura(1);
  Histograma->SetFator(1);
  Histograma->SetAtivarTexto(true);
  Histograma->SetGradienteRGB(false);

  PainelDaLegenda = new QFrame(this);
  PainelDaLegenda->setObjectName("PainelDaLegenda");
  PainelDaLegenda->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  PainelDaLegenda->setGeometry(0, 190, 264, 3);

  PainelDosBotoes = new QFrame(this);
  PainelDosBotoes->setObjectName("PainelDosBotoes");
  PainelDosBotoes->setFrameStyle(QFrame::WinPanel | QFrame::Raised);
  PainelDosBotoes->setGeometry(0, 194, 264, 30);
  ShapeTamanho = new TShape(PainelDosBotoes);
  ShapeTamanho->setObjectName("ShapeTamanho");
  ShapeTamanho->setGeometry(6, 4, 43, 22);
  LbTamanho = new QLabel("256", PainelDosBotoes);
  LbTamanho->setObjectName("LbTamanho");
  LbTamanho->move(13, 7);
  LbTamanho->resize(30, 14);
  BtMenosTamanho = Botao(PainelDosBotoes, "BtMenosTamanho", 50, "Menor", 15);
  BtMenosTamanho->setText("<");
  BtMaisTamanho = Botao(PainelDosBotoes, "BtMaisTamanho", 65, "Maior", 15);
  BtMaisTamanho->setText(">");
  BtAbrirHistograma = Botao(PainelDosBotoes, "BtAbrirHistograma", 88, "Abrir Histograma");
  BtAbrirHistograma->setIcon(ToolIcon("abrir"));
  BtSobrepor = Botao(PainelDosBotoes, "BtSobrepor", 112, "");
  BtSobrepor->setIcon(Glifo("sobrepor"));
  BtSobrepor->setEnabled(false);
  BtSalvarHistograma = Botao(PainelDosBotoes, "BtSalvarHistograma", 136, kSalvarHistograma);
  BtSalvarHistograma->setIcon(ToolIcon("salvar"));
  BtSalvarImagem = Botao(PainelDosBotoes, "BtSalvarImagem", 160, "Salvar Como Imagem");
  BtSalvarImagem->setIcon(Glifo("imagem"));
  BtMais = Botao(PainelDosBotoes, "BtMais", 232, "Mais");
  BtMais->setText(">>");
  QFont negrito = BtMais->font();
  negrito.setBold(true);
  BtMais->setFont(negrito);

  PainelDasOpcoes = new QGroupBox("Opções", this);
  PainelDasOpcoes->setObjectName("PainelDasOpcoes");
  PainelDasOpcoes->setGeometry(265, 0, 168, 224);
  PainelDasOpcoes->hide();
  auto combo = [this](const char* nome, int y, const QString& texto, const QStringList& itens,
                      const QString& dica) {
    auto* c = new QComboBox(PainelDasOpcoes);
    c->setObjectName(nome);
    c->addItems(itens);
    // The text names the choice until one is made.
    c->setPlaceholderText(texto);
    c->setCurrentIndex(-1);
    // ... in the colour of ordinary text: a grey hint would make the box look disabled.
    QPalette cores = c->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
      cores.setColor(g, QPalette::PlaceholderText, cores.color(g, QPalette::ButtonText));
    c->setPalette(cores);
    c->setGeometry(16, y, 144, 21);
    if (!dica.isEmpty()) c->setToolTip(dica);
    return c;
  };
  CbEstilo = combo("CbEstilo", 19, "Estilo do Histograma", {"Linhas", "Gradiente", "Uma Cor"},
                   "Estilo do Histograma");
  CbCores = combo("CbCores", 55, "Cores do Histograma",
                  {"Cor do Histograma", "Cor do Fundo", "Cor das Linhas"}, "");
  CbLinhasVerticais = combo("CbLinhasVerticais", 91, "Linhas Verticais",
                            {"Nenhuma", "Principais", "Todas"}, "Quantidade de Linhas Verticais");
  auto rotulo = [this](const char* nome, const QString& texto, int x, int y) {
    auto* l = new QLabel(texto, PainelDasOpcoes);
    l->setObjectName(nome);
    l->move(x, y);
    l->adjustSize();
    return l;
  };
  auto edit = [this](const char* nome, const QString& texto, int x, int y, int largura) {
    auto* e = new QLineEdit(texto, PainelDasOpcoes);
    e->setObjectName(nome);
    e->setReadOnly(true);
    e->setGeometry(x, y, largura, 21);
    return e;
  };
  Label2 = rotulo("Label2", "Linhas Horizontais", 16, 131);
  EditLinhasHorizontais = edit("EditLinhasHorizontais", "3", 114, 128, 23);
  UpDLinhasHor = new TUpDown(PainelDasOpcoes, 0, 7, 3);
  UpDLinhasHor->setObjectName("UpDLinhasHor");
  UpDLinhasHor->setGeometry(137, 128, 15, 21);
  UpDLinhasHor->SetAssociate(EditLinhasHorizontais);
  for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(EditLinhasHorizontais),
                     static_cast<QWidget*>(UpDLinhasHor)})
    w->setToolTip("Número de Linhas Horizontais");
  Label3 = rotulo("Label3", "Espessura da Linha", 16, 164);
  EditEspessura = edit("EditEspessura", "1", 112, 160, 23);
  UpDEspessura = new TUpDown(PainelDasOpcoes, 1, 10, 1);
  UpDEspessura->setObjectName("UpDEspessura");
  UpDEspessura->setGeometry(135, 160, 15, 21);
  UpDEspessura->SetAssociate(EditEspessura);
  for (QWidget* w : {static_cast<QWidget*>(Label3), static_cast<QWidget*>(EditEspessura),
                     static_cast<QWidget*>(UpDEspessura)})
    w->setToolTip("Espessura da Linhas do Histograma");
  // An edit and its arrows keep clear of their label's text, whatever the font's width.
  for (auto [rotulo, e, setas] : {std::tuple{Label2, EditLinhasHorizontais, UpDLinhasHor},
                                  std::tuple{Label3, EditEspessura, UpDEspessura}}) {
    const int x = std::max(e->x(), rotulo->geometry().right() + 5);
    e->move(x, e->y());
    setas->move(x + e->width(), setas->y());
  }
  EditEscala = edit("EditEscala", "1", 16, 197, 33);
  UpDEscala = new TUpDown(PainelDasOpcoes, 0, 100, 1);  // not tied to the edit
  UpDEscala->setObjectName("UpDEscala");
  UpDEscala->setGeometry(49, 197, 15, 21);
  Label1 = rotulo("Label1", "Escala", 67, 202);
  for (QWidget* w : {static_cast<QWidget*>(EditEscala), static_cast<QWidget*>(UpDEscala),
                     static_cast<QWidget*>(Label1)})
    w->setToolTip("Alterar Escala");
  ChbTexto = new QCheckBox("Texto", PainelDasOpcoes);
  ChbTexto->setObjectName("ChbTexto");
  ChbTexto->setChecked(true);
  ChbTexto->setToolTip("Ativar Texto");
  ChbTexto->move(112, 200);
  ChbTexto->adjustSize();

  OpenDialog.multiSelect = true;
  OpenDialog.filter = kFiltroAbrir;

  // Events.
  vandrel::OnClicked(BtAbrirHistograma, [this] { BtAbrirHistogramaClick(); });
  vandrel::OnClicked(BtSobrepor, [this] { BtSobreporClick(); });
  vandrel::OnClicked(BtSalvarHistograma, [this] { BtSalvarHistogramaClick(); });
  vandrel::OnClicked(BtSalvarImagem, [this] { BtSalvarImagemClick(); });
  vandrel::OnClicked(BtMaisTamanho, [this] { BtMaisTamanhoClick(); });
  vandrel::OnClicked(BtMenosTamanho, [this] { BtMenosTamanhoClick(); });
  vandrel::OnClicked(BtMais, [this] { BtMaisClick(); });
  vandrel::OnClicked(ChbTexto, [this] { ChbTextoClick(); });
  const std::pair<QComboBox*, void (TFormHistograma::*)()> combos[] = {
      {CbEstilo, &TFormHistograma::CbEstiloChange},
      {CbCores, &TFormHistograma::CbCoresChange},
      {CbLinhasVerticais, &TFormHistograma::CbLinhasVerticaisChange}};
  for (const auto& [c, handler] : combos)
    connect(c, &QComboBox::activated, this,
            [this, h = handler] { vandrel::Guarded([this, h] { (this->*h)(); }); });
  UpDLinhasHor->OnChangingEx = [this](bool& allow, int v, TUpDown::Direcao d) {
    UpDLinhasHorChangingEx(allow, v, d);
  };
  UpDEspessura->OnChangingEx = [this](bool& allow, int v, TUpDown::Direcao d) {
    UpDEspessuraChangingEx(allow, v, d);
  };
  UpDEscala->OnChangingEx = [this](bool& allow, int v, TUpDown::Direcao d) {
    UpDEscalaChangingEx(allow, v, d);
  };
  connect(Histograma, &TDSHistograma::OnClick, this,
          [this] { vandrel::Guarded([this] { HistogramaClick(); }); });
  connect(Histograma, &TDSHistograma::OnMouseDown, this,
          [this](Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) {
            vandrel::Guarded([&] { HistogramaMouseDown(b, s, x, y); });
          });
  connect(Histograma, &TDSHistograma::OnMouseMove, this,
          [this](Qt::KeyboardModifiers s, int x, int y) {
            vandrel::Guarded([&] { HistogramaMouseMove(s, x, y); });
          });
  connect(Histograma, &TDSHistograma::OnMouseUp, this,
          [this](Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) {
            vandrel::Guarded([&] { HistogramaMouseUp(b, s, x, y); });
          });

  SetOwner(owner);
  FormCreate();
  SetCaption("Histograma");
  AjustarAoConteudo();

  if (Frame* frame = CurrentFrame()) {
    frame->AdicionarFilha(this);
    if (QMdiSubWindow* sub = SubWindow()) {
      // A single border with the system menu only: the window keeps the size of its
      // content and has no scroll bars.
      sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
      FitFrameTo(size());
    }
    Show();
  }
}

TFormHistograma::~TFormHistograma() = default;

std::string TFormHistograma::Caminho(const QString& fileName) {
  return QFile::encodeName(fileName).toStdString();
}

void TFormHistograma::FormCreate() {
  Arrastando = false;
  LegendaCriada = false;
  PontoInicial = QPoint(0, 0);
  NomeArquivo.clear();
  Salvo = false;
}

void TFormHistograma::showEvent(QShowEvent* event) {
  TForm::showEvent(event);
  vandrel::Guarded([this] { FormShow(); });
}

void TFormHistograma::FormShow() {
  if (Frame* frame = CurrentFrame()) frame->NotificarJanelaAtiva();
}

bool TFormHistograma::FormClose() { return true; }

// ---- size and layout ----

QSize TFormHistograma::sizeHint() const { return size(); }

void TFormHistograma::AjustarAoConteudo() {
  // The control takes its size from `Tamanho`; the window is fitted to that size now, before
  // the drawing.
  const SizeInfo s = SizeOf(Histograma->Tamanho());
  Histograma->resize(s.width, s.height);
  QRect conteudo = Histograma->geometry();
  for (QWidget* painel :
       {static_cast<QWidget*>(PainelDaLegenda), static_cast<QWidget*>(PainelDosBotoes),
        static_cast<QWidget*>(PainelDasOpcoes)})
    if (!painel->isHidden()) conteudo = conteudo.united(painel->geometry());
  const QSize tamanho(conteudo.right() + 1, conteudo.bottom() + 1);
  if (size() == tamanho && minimumSize() == tamanho) return;
  setFixedSize(tamanho);
  FitFrameTo(tamanho);
}

void TFormHistograma::AcompanharOpcoes() {
  PainelDasOpcoes->resize(PainelDasOpcoes->width(), PainelDosBotoes->geometry().bottom() + 1);
}

void TFormHistograma::BtMaisTamanhoClick() {
  LbTamanho->setText(QString::fromStdString(TamanhoMaior(LbTamanho->text().toStdString())));
  AjustarTamanho();
}

void TFormHistograma::BtMenosTamanhoClick() {
  LbTamanho->setText(QString::fromStdString(TamanhoMenor(LbTamanho->text().toStdString())));
  AjustarTamanho();
}

void TFormHistograma::HistogramaClick() {
  const std::optional<std::string> rotulo = RotuloDoClique(Histograma->Tamanho());
  if (!rotulo) return;
  LbTamanho->setText(QString::fromStdString(*rotulo));
  AjustarTamanho();
}

void TFormHistograma::AjustarTamanho() {
  const TTamanho tamanho = TamanhoDoRotulo(LbTamanho->text().toStdString());
  if (tamanho == hs128 || tamanho == hs1024) {
    Histograma->SetTamanho(tamanho);
    PainelDosBotoes->hide();
    PainelDaLegenda->hide();
    PainelDasOpcoes->hide();
  } else {
    const Paineis& p = tamanho == hs512 ? kPaineis512 : kPaineis256;
    PainelDaLegenda->show();
    PainelDosBotoes->show();
    Histograma->SetTamanho(tamanho);
    PainelDaLegenda->setGeometry(0, p.legendaTopo, p.largura, PainelDaLegenda->height());
    BtMais->move(p.btMais, BtMais->y());
    PainelDosBotoes->setGeometry(0, PainelDaLegenda->geometry().bottom() + 2,
                                 PainelDaLegenda->width(), PainelDosBotoes->height());
    PainelDasOpcoes->move(p.opcoes, PainelDasOpcoes->y());
    AcompanharOpcoes();
    // The options panel shows when the button says it is open: coming back from a size
    // that hid it brings it back as the user left it.
    PainelDasOpcoes->setVisible(BtMais->text() == "<<");
    if (LegendaCriada) {
      LimparLegenda();
      CriarLegenda(CurvasPorLinha(tamanho));
    }
  }
  AjustarAoConteudo();
}

void TFormHistograma::BtMaisClick() {
  if (BtMais->text() == ">>") {
    BtMais->setText("<<");
    BtMais->setToolTip("Menos");
    AcompanharOpcoes();
    PainelDasOpcoes->show();
  } else {
    BtMais->setText(">>");
    PainelDasOpcoes->hide();
    BtMais->setToolTip("Mais");
  }
  AjustarAoConteudo();
}

// ---- legend ----

void TFormHistograma::CriarLegenda(int porLinha) {
  const int altura = PreencherLegenda(
      PainelDaLegenda, Histograma->Histogramas(), porLinha,
      [this](TShape* quadrado) { LegendaMouseDown(quadrado); }, quadrados_, rotulos_);
  PainelDaLegenda->resize(PainelDaLegenda->width(), altura);
  PainelDosBotoes->move(PainelDosBotoes->x(), PainelDaLegenda->geometry().bottom() + 2);
  if (!PainelDasOpcoes->isHidden()) AcompanharOpcoes();
  AjustarAoConteudo();
  LegendaCriada = true;
}

void TFormHistograma::LimparLegenda() {
  if (!LegendaCriada) return;
  // A square may be the one whose press is being handled: the controls go once the event
  // is over.
  for (TShape* q : quadrados_) {
    q->hide();
    q->deleteLater();
  }
  for (QLabel* l : rotulos_) {
    l->hide();
    l->deleteLater();
  }
  quadrados_.clear();
  rotulos_.clear();
  PainelDaLegenda->resize(PainelDaLegenda->width(), 3);
  PainelDosBotoes->move(PainelDosBotoes->x(), PainelDaLegenda->y() + 4);
  if (!PainelDasOpcoes->isHidden()) AcompanharOpcoes();
  AjustarAoConteudo();
  LegendaCriada = false;
}

void TFormHistograma::CriarLegendaDoTamanho() {
  CriarLegenda(CurvasPorLinha(Histograma->Tamanho()));
}

void TFormHistograma::LegendaMouseDown(TShape* quadrado) { EditarCurva(quadrado->Cor()); }

// ---- modes ----

void TFormHistograma::ControlesDeModoSimples(bool on) {
  for (QWidget* w : {static_cast<QWidget*>(ChbTexto), static_cast<QWidget*>(UpDEscala),
                     static_cast<QWidget*>(EditEscala), static_cast<QWidget*>(EditEspessura),
                     static_cast<QWidget*>(UpDEspessura)})
    w->setEnabled(on);
}

void TFormHistograma::MostrarSobreposicao() {
  CriarLegendaDoTamanho();
  ControlesDeModoSimples(false);
  BtSalvarHistograma->setToolTip(kSalvarPadrao);
  BtSobrepor->setEnabled(true);
}

void TFormHistograma::VoltarAoModoSimples() {
  LimparLegenda();
  if (Histograma->Histogramas().size() == 1) {
    const GreyHistogram valores = Histograma->Histogramas()[0].Valores;
    Histograma->DefinirSobreposicao(false);
    Histograma->DefinirValores(valores);
  } else {
    Histograma->DefinirSobreposicao(false);
    BtSobrepor->setEnabled(false);
  }
  ControlesDeModoSimples(true);
  BtSalvarHistograma->setToolTip(kSalvarHistograma);
}

void TFormHistograma::AbrirComparacao(const QString& fileName) {
  Histograma->AdicionarArquivo(Caminho(fileName));
  LimparLegenda();
  MostrarSobreposicao();
}

// ---- files ----

void TFormHistograma::BtAbrirHistogramaClick() {
  OpenDialog.title = "Abrir Arquivo de Histograma";
  OpenDialog.filter = kFiltroAbrir;
  OpenDialog.initialDir = QString::fromStdString(CaminhoFases());
  LimparLegenda();
  EditEspessura->setEnabled(false);
  UpDEspessura->setEnabled(false);
  const std::optional<FileDialogResult> escolha = Dialogs().OpenFiles(OpenDialog);
  if (!escolha || escolha->files.isEmpty()) return;
  OpenDialog.filterIndex = escolha->filterIndex;
  Histograma->Limpar();

  if (escolha->files.size() > 1) {
    for (const QString& arquivo : escolha->files) Histograma->AdicionarArquivo(Caminho(arquivo));
    MostrarSobreposicao();
    return;
  }
  const QString arquivo = escolha->files.first();
  SetCaption(QFileInfo(arquivo).fileName());
  // The filter chooses the loader; only under "Todos os Histogramas" does the extension.
  const std::string caminho = Caminho(arquivo);
  const int tipo = TipoDoArquivo(escolha->filterIndex, caminho);
  if (tipo == tHistograma || tipo == tImagem) {
    if (tipo == tHistograma)
      Histograma->CarregarHis(caminho);
    else
      Histograma->CarregarImagem(caminho);
    ChbTexto->setEnabled(true);
    UpDEscala->setEnabled(true);
    EditEscala->setEnabled(true);
    if (Histograma->Estilo() == eLinha) {
      EditEspessura->setEnabled(true);
      UpDEspessura->setEnabled(true);
    }
    BtSalvarHistograma->setToolTip(kSalvarHistograma);
  } else if (tipo == tPadrao || tipo == tLista) {
    if (tipo == tPadrao)
      Histograma->CarregarPadrao(caminho);
    else
      Histograma->CarregarLista(caminho);
    MostrarSobreposicao();
  }
  // Any other extension loads nothing.
  BtSobrepor->setEnabled(true);
}

void TFormHistograma::BtSobreporClick() {
  SetCaption("Histograma");
  OpenDialog.title = "Adicionar Arquivo de Histograma";
  OpenDialog.filter = kFiltroAbrir;
  LimparLegenda();
  EditEspessura->setEnabled(false);
  UpDEspessura->setEnabled(false);
  const std::optional<FileDialogResult> escolha = Dialogs().OpenFiles(OpenDialog);
  if (!escolha || escolha->files.isEmpty()) return;
  OpenDialog.filterIndex = escolha->filterIndex;
  if (!Histograma->Sobreposicao()) {
    Histograma->DefinirSobreposicao(true);
    // The histogram shown so far becomes the first curve, named after the window.
    if (Histograma->Histogramas()[0].Nome.empty())
      Histograma->DefinirNome(0, QFile::encodeName(Caption()).toStdString());
  }
  for (const QString& arquivo : escolha->files) Histograma->AdicionarArquivo(Caminho(arquivo));
  MostrarSobreposicao();
  SetCaption("Histograma");
}

void TFormHistograma::BtSalvarHistogramaClick() {
  const bool sobreposicao = Histograma->Sobreposicao();
  const std::string ext = sobreposicao ? ".pat" : ".his";
  SaveDialog.filterIndex = 1;
  if (sobreposicao) {
    SaveDialog.title = "Salvar como Arquivo de Padrões";
    SaveDialog.filter = "Arquivo de Padrão (*.pat)|*.pat";
    SaveDialog.initialDir = QString::fromStdString(CaminhoFases());
  } else {
    SaveDialog.title = "Salvar Arquivo de Histograma";
    SaveDialog.filter = "Fases de Materiais (*.his)|*.his";
  }
  auto gravar = [&] {
    const std::string nome = NomeDeGravacao(Caminho(NomeArquivo), ext);
    if (sobreposicao)
      Histograma->SalvarPadrao(nome);
    else
      Histograma->SalvarArquivo(nome);
  };
  // Once saved, every later save goes to the same name without asking.
  if (Salvo) {
    gravar();
    return;
  }
  const std::optional<FileDialogResult> escolha = Dialogs().SaveFile(SaveDialog);
  if (!escolha || escolha->files.isEmpty()) return;
  NomeArquivo = escolha->files.first();
  gravar();
  Salvo = true;
}

void TFormHistograma::BtSalvarImagemClick() {
  SaveDialog.title = "Salvar Histograma Como Imagem";
  SaveDialog.filter = "Bitmaps do Windows(*.bmp) |*.bmp";
  SaveDialog.filterIndex = 1;
  SaveDialog.initialDir = QString::fromStdString(CaminhoFases());
  const std::optional<FileDialogResult> escolha = Dialogs().SaveFile(SaveDialog);
  if (!escolha || escolha->files.isEmpty()) return;
  // The picture written is the one the window shows, drawn now if it is not yet.
  Histograma->Desenhar();
  Histograma->SalvarBitmap(NomeDeGravacao(Caminho(escolha->files.first()), ".bmp"));
}

// ---- options ----

void TFormHistograma::CbEstiloChange() {
  const bool sobreposicao = Histograma->Sobreposicao();
  EditEspessura->setEnabled(sobreposicao);
  UpDEspessura->setEnabled(sobreposicao);
  const QString texto = CbEstilo->currentText();
  if (texto == "Gradiente") {
    Histograma->SetEstilo(eGradiente);
  } else if (texto == "Linhas") {
    Histograma->SetEstilo(eLinha);
    EditEspessura->setEnabled(true);
    UpDEspessura->setEnabled(true);
  } else if (texto == "Uma Cor") {
    Histograma->SetEstilo(eUmaCor);
  }
}

void TFormHistograma::CbCoresChange() {
  const QString texto = CbCores->currentText();
  void (TDSHistograma::*definir)(int32_t) = nullptr;
  if (texto == "Cor do Histograma")
    definir = &TDSHistograma::SetCorDeDesenho;
  else if (texto == "Cor do Fundo")
    definir = &TDSHistograma::SetCorDeFundo;
  else if (texto == "Cor das Linhas")
    definir = &TDSHistograma::SetCorDaLinha;
  if (!definir) return;
  const std::optional<QColor> cor = Dialogs().ChooseColor(ColorDialog);
  if (!cor || !cor->isValid()) return;
  ColorDialog = *cor;
  (Histograma->*definir)(DeQColor(*cor));
}

void TFormHistograma::CbLinhasVerticaisChange() {
  const QString texto = CbLinhasVerticais->currentText();
  if (texto == "Nenhuma")
    Histograma->SetNumLinhasVert(qNenhuma);
  else if (texto == "Principais")
    Histograma->SetNumLinhasVert(qPrincipais);
  else if (texto == "Todas")
    Histograma->SetNumLinhasVert(qTodas);
}

namespace {
// The number an edit shows plus or minus one step, kept within the up-down's range.
int Passo(const QLineEdit* edit, const TUpDown* updown, int direction) {
  const int atual = edit->text().toInt();
  const int passo = direction == TUpDown::updUp ? 1 : direction == TUpDown::updDown ? -1 : 0;
  return std::clamp(atual + passo, updown->Min(), updown->Max());
}
}  // namespace

void TFormHistograma::UpDLinhasHorChangingEx(bool&, int, int direction) {
  const int n = Passo(EditLinhasHorizontais, UpDLinhasHor, direction);
  EditLinhasHorizontais->setText(QString::number(n));
  Histograma->SetNumLinhasHor(uint8_t(n));
}

void TFormHistograma::UpDEspessuraChangingEx(bool&, int, int direction) {
  const int n = Passo(EditEspessura, UpDEspessura, direction);
  EditEspessura->setText(QString::number(n));
  Histograma->SetEspessura(uint8_t(n));
}

void TFormHistograma::UpDEscalaChangingEx(bool&, int, int direction) {
  if (direction != TUpDown::updUp && direction != TUpDown::updDown) return;
  const std::optional<std::string> texto =
      PassoDaSeta(EditEscala->text().toStdString(), direction == TUpDown::updUp);
  if (!texto) return;  // at 0.2 or below the arrows change nothing
  EditEscala->setText(QString::fromStdString(*texto));
  Histograma->SetFator(NumeroExibido(*texto));
}

void TFormHistograma::ChbTextoClick() {
  if (ChbTexto->isChecked()) {
    Histograma->SetAtivarTexto(true);
    ChbTexto->setToolTip("Desativar Texto");
  } else {
    Histograma->SetAtivarTexto(false);
    ChbTexto->setToolTip("Ativar Texto");
  }
}

// ---- mouse ----

void TFormHistograma::HistogramaMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                                          int y) {
  if (!Histograma->Sobreposicao()) {
    // The start of a scale drag.
    Arrastando = true;
    PontoInicial = QPoint(x, y);
    Histograma->setCursor(Qt::UpArrowCursor);
    return;
  }
  if (button != Qt::RightButton) {
    EditarCurva(Histograma->CorNoPonto(x, y));
    return;
  }
  // The curves to delete, picked from a list.
  {
    auto lista = std::make_unique<TFormListaDeFases>(this);
    for (const THistoCompleto& h : Histograma->Histogramas())
      lista->Lista->AdicionarItem(NomeDaCurva(h.Nome));
    Dialogs().RunModal(*lista);
    if (lista->Resultado == "OK") {
      // Each removal moves the later curves down one place.
      int removidas = 0;
      for (int i = 0; i < lista->Lista->Count(); ++i)
        if (lista->Lista->Checked(i)) Histograma->RemoverHistograma(i - removidas++);
    }
  }
  LimparLegenda();
  if (Histograma->Histogramas().size() <= 1)
    VoltarAoModoSimples();
  else
    CriarLegendaDoTamanho();
}

void TFormHistograma::HistogramaMouseMove(Qt::KeyboardModifiers, int x, int y) {
  if (!Arrastando) return;
  const PassoDeArraste passo =
      PassoDoArraste(EditEscala->text().toStdString(), y, PontoInicial.y());
  EditEscala->setText(QString::fromStdString(passo.texto));
  PontoInicial = QPoint(x, y);
  if (passo.fator) Histograma->SetFator(*passo.fator);
}

void TFormHistograma::HistogramaMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
  Arrastando = false;
  Histograma->unsetCursor();
}

// ---- curves ----

bool TFormHistograma::CorExiste(int index, int32_t cor) const {
  const TArrayDeHistogramas& curvas = Histograma->Histogramas();
  for (size_t j = 0; j < curvas.size(); ++j)
    if (int(j) != index && curvas[j].Cor == cor) return true;
  return false;
}

void TFormHistograma::EditarCurva(int32_t cor) {
  const TTamanho tamanho = Histograma->Tamanho();
  if ((tamanho != hs256 && tamanho != hs512) || !Histograma->Sobreposicao()) return;
  for (size_t i = 0; i < Histograma->Histogramas().size() && Histograma->Sobreposicao(); ++i) {
    const THistoCompleto& curva = Histograma->Histogramas()[i];
    if (curva.Cor != cor) continue;
    std::unique_ptr<TFormLinhaDialog> dialogo(
        TFormLinhaDialog::CreateLinha(NomeDaCurva(curva.Nome), curva.Cor, curva.Espessura, this));
    Dialogs().RunModal(*dialogo);
    if (dialogo->Resultado != "OK") continue;
    const int indice = int(i);
    if (!dialogo->Excluir->isChecked()) {
      if (CorExiste(indice, dialogo->ShapeCor->Cor())) {
        MessageDlg("A Cor Já Existe", MsgKind::Information, mbOK);
        continue;
      }
      Histograma->DefinirLinha(indice, QFile::encodeName(dialogo->EditNome->text()).toStdString(),
                               dialogo->Espessura(), dialogo->ShapeCor->Cor());
      LimparLegenda();
      CriarLegendaDoTamanho();
    } else if (Histograma->Histogramas().size() > 1) {
      // A sole curve is never removed this way.
      Histograma->RemoverHistograma(indice);
      LimparLegenda();
      CriarLegendaDoTamanho();
      if (Histograma->Histogramas().size() == 1) VoltarAoModoSimples();
    }
  }
}
