#include "app/shell/ui/UnitPrincipal.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <exception>

#include "app/frame/ui/Form.h"
#include "app/frame/ui/ToolIcons.h"
#include "app/histograms/ui/UHistoFixo.h"
#include "app/settings/model/URecursos.h"
#include "app/shell/ui/UnitConfiguracoes.h"
#include "app/shell/ui/sobre.h"
#include "platform/Registry.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/HelpWindow.h"
#include "platform/qt/Placement.h"

TFormPrincipal* FormPrincipal = nullptr;

namespace {
const char* kChaveVandrel = "Software\\Vandrel";
const char* kModo = "Modo de Analise";

QAction* NewAction(QObject* parent, const char* name, const QString& caption, const QString& hint,
                   const QKeySequence& shortcut = {}) {
  auto* a = new QAction(caption, parent);
  a->setObjectName(name);
  a->setToolTip(hint.isEmpty() ? caption : hint);
  if (!shortcut.isEmpty()) a->setShortcut(shortcut);
  return a;
}
}  // namespace

TFormPrincipal::TFormPrincipal() : TFormPrincipal(Options{}) {}

TFormPrincipal::TFormPrincipal(const Options& options) {
  FormPrincipal = this;
  setObjectName("FormPrincipal");
  setWindowTitle("Vandrel");
  resize(711, 333);
  MdiArea = new QMdiArea(this);
  MdiArea->setObjectName("MdiArea");
  MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(MdiArea);
  BuildActions();
  BuildMenus();
  BuildToolBar();
  statusBar()->setObjectName("StatusBar1");
  StatusText = new QLabel("Modo de Análise", this);
  StatusText->setObjectName("StatusText");
  statusBar()->addWidget(StatusText, 1);
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, [this] { vandrel::Guarded([this] { Timer1Timer(); }); });
  Timer1->start();
  FormCreate(options);
}

TFormPrincipal::~TFormPrincipal() {
  // Children go first, while the frame they refer to still exists.
  for (QMdiSubWindow* sub : MdiArea->subWindowList()) delete sub;
  if (FormPrincipal == this) FormPrincipal = nullptr;
}

void TFormPrincipal::MostrarAoIniciar() {
  vandrel::PlaceWindow(this);
  vandrel::ShowMaximised(this);
}

void TFormPrincipal::BuildActions() {
  using QK = QKeySequence;
  Fechar = NewAction(this, "Fechar", "Sair", "Fechar", QK(Qt::CTRL | Qt::Key_X));
  Abrir_Imagem =
      NewAction(this, "Abrir_Imagem", "Abrir Imagem", "Abrir Imagem", QK(Qt::CTRL | Qt::Key_A));
  SalvarImagem = NewAction(this, "SalvarImagem", "Salvar Imagem", "Salvar Imagem");
  Desfazer = NewAction(this, "Desfazer", "&Desfazer", "Desfazer", QK(Qt::CTRL | Qt::Key_Z));
  Refazer = NewAction(this, "Refazer", "&Refazer", "Refazer", QK(Qt::CTRL | Qt::Key_R));
  AdicionarSelecao = NewAction(this, "AdicionarSelecao", "&Adicionar Seleção", "Adicionar Seleção",
                               QK(Qt::Key_F5));
  MostrarHistograma = NewAction(this, "MostrarHistograma", "Mostrar Histograma",
                                "Mostrar Histograma da Fase", QK(Qt::Key_F2));
  Histograma = NewAction(this, "Histograma", "&Novo", "Novo Histograma", QK(Qt::Key_F3));
  HistogramaDaImagem = NewAction(this, "HistogramaDaImagem", "Novo da &Imagem",
                                 "Novo Histograma da Imagem", QK(Qt::Key_F4));
  MostrarLista =
      NewAction(this, "MostrarLista", "Mostrar Lista", "Mostrar Lista de Imagens", QK(Qt::Key_F6));
  Limiares = NewAction(this, "Limiares", "&Limiares", "Limiares", QK(Qt::Key_F7));
  Contraste = NewAction(this, "Contraste", "&Contraste", "Contraste", QK(Qt::Key_F8));
  Similares = NewAction(this, "Similares", "&Similares", "Similares", QK(Qt::Key_F9));
  Brilho = NewAction(this, "Brilho", "&Brilho", "Brilho", QK(Qt::Key_F10));
  FiltroMedia =
      NewAction(this, "FiltroMedia", "&Filtro Da Média", "Filtro da Média", QK(Qt::Key_F11));
  Greyscale = NewAction(this, "Greyscale", "GreyScale", "", QK(Qt::CTRL | Qt::ALT | Qt::Key_G));
  NovaFase = NewAction(this, "NovaFase", "&Nova Fase", "Nova Fase");
  SalvarFase = NewAction(this, "SalvarFase", "&Salvar Fase", "Salvar Fase");
  EditarPadrao = NewAction(this, "EditarPadrao", "&Editar Padrão", "Editar Padrão");
  Composicao = NewAction(this, "Composicao", "Composição", "Modo de Composição");
  Analise = NewAction(this, "Analise", "Analise", "Modo de Análise");
  CompoSemImagem = NewAction(this, "CompoSemImagem", "CompoSemImagem", "");
  CompoComImagem = NewAction(this, "CompoComImagem", "CompoComImagem", "");
  Copy = NewAction(this, "Copy", "&Copiar", "Copiar Seleção", QK(Qt::CTRL | Qt::Key_C));
  Cascata = NewAction(this, "Cascata", "&Cascata", "Cascata");
  LadoHorizontal =
      NewAction(this, "LadoHorizontal", "Lado a lado &Horizontal", "Lado a lado Horizontal");
  LadoVertical = NewAction(this, "LadoVertical", "Lado a lado &Vertical", "Lado a lado Vertical");
  Composicao->setCheckable(true);
  Analise->setCheckable(true);
  AdicionarSelecao->setEnabled(false);

  // Shortcuts work from anywhere in the frame, whichever menu shows the action.
  for (QAction* a : {Fechar, Abrir_Imagem, SalvarImagem, Desfazer, Refazer, AdicionarSelecao,
                     MostrarHistograma, Histograma, HistogramaDaImagem, MostrarLista, Limiares,
                     Contraste, Similares, Brilho, FiltroMedia, Greyscale, Copy}) {
    a->setShortcutContext(Qt::ApplicationShortcut);
    addAction(a);
  }

  struct Handler {
    QAction* action;
    void (TFormPrincipal::*run)();
  };
  // Grouped by the unit that holds the handler.
  const Handler handlers[] = {
      // UnitPrincipal.cpp: the modes, the window arrangement, copy and exit.
      {Fechar, &TFormPrincipal::FecharExecute},
      {Composicao, &TFormPrincipal::ComposicaoExecute},
      {Analise, &TFormPrincipal::AnaliseExecute},
      {CompoSemImagem, &TFormPrincipal::CompoSemImagemExecute},
      {CompoComImagem, &TFormPrincipal::CompoComImagemExecute},
      {Copy, &TFormPrincipal::CopyExecute},
      {Cascata, &TFormPrincipal::CascataExecute},
      {LadoHorizontal, &TFormPrincipal::LadoHorizontalExecute},
      {LadoVertical, &TFormPrincipal::LadoVerticalExecute},
      // ImagingCommands.cpp
      {Abrir_Imagem, &TFormPrincipal::Abrir_ImagemExecute},
      {SalvarImagem, &TFormPrincipal::SalvarImagemExecute},
      {Contraste, &TFormPrincipal::ContrasteExecute},
      {Similares, &TFormPrincipal::SimilaresExecute},
      {Brilho, &TFormPrincipal::BrilhoExecute},
      {FiltroMedia, &TFormPrincipal::FiltroMediaExecute},
      {Greyscale, &TFormPrincipal::GreyscaleExecute},
      // HistogramCommands.cpp
      {Desfazer, &TFormPrincipal::DesfazerExecute},
      {Refazer, &TFormPrincipal::RefazerExecute},
      {AdicionarSelecao, &TFormPrincipal::AdicionarSelecaoExecute},
      {MostrarHistograma, &TFormPrincipal::MostrarHistogramaExecute},
      {Histograma, &TFormPrincipal::HistogramaExecute},
      {HistogramaDaImagem, &TFormPrincipal::HistogramaDaImagemExecute},
      {NovaFase, &TFormPrincipal::NovaFaseExecute},
      {SalvarFase, &TFormPrincipal::SalvarFaseExecute},
      // ThresholdCommands.cpp
      {Limiares, &TFormPrincipal::LimiaresExecute},
      // AnalysisCommands.cpp
      {MostrarLista, &TFormPrincipal::MostrarListaExecute},
      {EditarPadrao, &TFormPrincipal::EditarPadraoExecute},
  };
  for (const Handler& h : handlers)
    vandrel::OnTriggered(h.action, [this, run = h.run] { (this->*run)(); });
}

QAction* TFormPrincipal::Item(QMenu* menu, const QString& objectName, const QString& caption) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(objectName);
  return item;
}

QAction* TFormPrincipal::LinkedItem(QMenu* menu, const QString& objectName, const QString& caption,
                                    QAction* action) {
  QAction* item = Item(menu, objectName, caption);
  // The shortcut itself stays with the action; the item only shows it.
  if (!action->shortcut().isEmpty())
    item->setText(caption + "\t" + action->shortcut().toString(QKeySequence::NativeText));
  item->setCheckable(action->isCheckable());
  auto mirror = [item, action] {
    item->setEnabled(action->isEnabled());
    item->setChecked(action->isChecked());
  };
  mirror();
  connect(action, &QAction::changed, item, mirror);
  connect(item, &QAction::triggered, action, [action] { action->trigger(); });
  return item;
}

void TFormPrincipal::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu1");
  auto menu = [&](const char* name, const QString& caption) {
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(name);
    return m;
  };
  Arquivo1 = menu("Arquivo1", "&Arquivo");
  Editar1 = menu("Editar1", "&Editar");
  Padroes1 = menu("Padroes1", "&Padrões");
  Imagem1 = menu("Imagem1", "&Imagem");
  Opes1 = menu("Opes1", "&Opções");
  Janela1 = menu("Janela1", "&Janela");
  Ajuda1 = menu("Ajuda1", "Aju&da");

  MododeAnlise1 = LinkedItem(Arquivo1, "MododeAnlise1", "Modo de &Analise", Analise);
  MododeComposio1 = LinkedItem(Arquivo1, "MododeComposio1", "Modo de &Composição", Composicao);
  Arquivo1->addSeparator();
  AbrirImagem1 = LinkedItem(Arquivo1, "AbrirImagem1", "Abrir &Imagem", Abrir_Imagem);
  SalvarImagem1 = LinkedItem(Arquivo1, "SalvarImagem1", "&Salvar Imagem", SalvarImagem);
  InformaesdaImagem1 = Item(Arquivo1, "InformaesdaImagem1", "Informações da Imagem");
  vandrel::OnTriggered(InformaesdaImagem1, [this] { InformaesdaImagem1Click(); });
  N3 = Arquivo1->addSeparator();
  N3->setObjectName("N3");
  for (int k = 0; k < 5; ++k) {
    ima[size_t(k)] = Item(Arquivo1, QString("ima%1").arg(k), QString("ima%1").arg(k));
    vandrel::OnTriggered(ima[size_t(k)], [this, k] { imaClick(k); });
  }
  Arquivo1->addSeparator();
  Sair1 = LinkedItem(Arquivo1, "Sair1", "Sair", Fechar);
  connect(Arquivo1, &QMenu::aboutToShow, this,
          [this] { vandrel::Guarded([this] { AtualizarImagensRecentes(); }); });

  Desfazer1 = LinkedItem(Editar1, "Desfazer1", "&Desfazer", Desfazer);
  Refazer1 = LinkedItem(Editar1, "Refazer1", "&Refazer", Refazer);

  Nova1 = LinkedItem(Padroes1, "Nova1", "&Nova Fase", NovaFase);
  AdicionarSeleo1 = LinkedItem(Padroes1, "AdicionarSeleo1", "&Adicionar Seleção", AdicionarSelecao);
  SalvarFase1 = LinkedItem(Padroes1, "SalvarFase1", "&Salvar Fase", SalvarFase);
  Padroes1->addSeparator();
  EditarPadro1 = LinkedItem(Padroes1, "EditarPadro1", "&Editar Padrão", EditarPadrao);

  Limiares1 = LinkedItem(Imagem1, "Limiares1", "&Limiares", Limiares);
  Contraste1 = LinkedItem(Imagem1, "Contraste1", "&Contraste", Contraste);
  Similares1 = LinkedItem(Imagem1, "Similares1", "&Similares", Similares);
  Brilho1 = LinkedItem(Imagem1, "Brilho1", "&Brilho", Brilho);
  FiltroDaMdia1 = LinkedItem(Imagem1, "FiltroDaMdia1", "&Filtro Da Média", FiltroMedia);
  Imagem1->addSeparator();
  GreyScale1 = LinkedItem(Imagem1, "GreyScale1", "GreyScale", Greyscale);
  Imagem1->addSeparator();
  Histograma1 = Imagem1->addMenu("&Histograma");
  Histograma1->setObjectName("Histograma1");
  Novo1 = LinkedItem(Histograma1, "Novo1", "&Novo", Histograma);
  NovodaImagem1 = LinkedItem(Histograma1, "NovodaImagem1", "Novo da &Imagem", HistogramaDaImagem);
  Imagem1->addSeparator();
  ZoomOut = Item(Imagem1, "ZoomOut", "Zoom &Out");
  ZoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  ZoomIn = Item(Imagem1, "ZoomIn", "Zoom &In");
  ZoomIn->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  ZoomNormal1 = Item(Imagem1, "ZoomNormal1", "Zoom Normal");
  vandrel::OnTriggered(ZoomOut, [this] { ZoomOutClick(); });
  vandrel::OnTriggered(ZoomIn, [this] { ZoomInClick(); });
  vandrel::OnTriggered(ZoomNormal1, [this] { ZoomNormal1Click(); });

  Configurar1 = Item(Opes1, "Configurar1", "&Configurar");
  vandrel::OnTriggered(Configurar1, [this] { Configurar1Click(); });

  Cascata1 = LinkedItem(Janela1, "Cascata1", "&Cascata", Cascata);
  LadoaLado1 = LinkedItem(Janela1, "LadoaLado1", "Lado a lado &Horizontal", LadoHorizontal);
  LadoaLadoVertical1 =
      LinkedItem(Janela1, "LadoaLadoVertical1", "Lado a lado &Vertical", LadoVertical);
  N7 = Janela1->addSeparator();
  N7->setObjectName("N7");
  connect(Janela1, &QMenu::aboutToShow, this,
          [this] { vandrel::Guarded([this] { Janela1Click(); }); });

  Contedo1 = Item(Ajuda1, "Contedo1", "&Conteúdo");
  Contedo1->setShortcut(QKeySequence(Qt::Key_F1));
  Ajuda1->addSeparator();
  Sobre1 = Item(Ajuda1, "Sobre1", "Sobre...");
  vandrel::OnTriggered(Contedo1, [this] { Contedo1Click(); });
  vandrel::OnTriggered(Sobre1, [this] { Sobre1Click(); });
}

QToolButton* TFormPrincipal::AddButton(QAction* action, const QString& objectName,
                                       const QString& hint) {
  auto* b = new QToolButton(ToolBar1);
  b->setObjectName(objectName);
  if (action && hint.isEmpty()) {
    b->setDefaultAction(action);
  } else if (action) {
    // A button with a hint of its own follows its action's state but keeps that hint.
    b->setToolTip(hint);
    auto mirror = [b, action] {
      b->setEnabled(action->isEnabled());
      b->setIcon(action->icon());
      b->setText(action->text());
    };
    mirror();
    connect(action, &QAction::changed, b, mirror);
    connect(b, &QToolButton::clicked, action, [action] { action->trigger(); });
  }
  b->setAutoRaise(true);
  ToolBar1->addWidget(b);
  return b;
}

void TFormPrincipal::BuildToolBar() {
  ToolBar1 = addToolBar("ToolBar1");
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);
  ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ToolBar1->setIconSize(QSize(24, 24));
  BModoAnalise = AddButton(nullptr, "BModoAnalise");
  BModoAnalise->setText("Analise");
  BModoAnalise->setToolTip("Modo de Análise");
  BModoComposicao = AddButton(nullptr, "BModoComposicao");
  BModoComposicao->setText("Composição");
  BModoComposicao->setToolTip("Modo de Composição");
  for (QToolButton* b : {BModoAnalise, BModoComposicao}) {
    b->setCheckable(true);
    b->setAutoRaise(false);
  }
  BModoAnalise->setChecked(true);  // the design-time look
  vandrel::OnClicked(BModoAnalise, [this] { AnaliseExecute(); });
  vandrel::OnClicked(BModoComposicao, [this] { ComposicaoExecute(); });
  ToolBar1->addSeparator();
  BAbrirImagem = AddButton(Abrir_Imagem, "BAbrirImagem");
  SpeedButton1 = AddButton(SalvarImagem, "SpeedButton1");
  BDesfazer = AddButton(Desfazer, "BDesfazer");
  BRefazer = AddButton(Refazer, "BRefazer");
  BAdicionar = AddButton(AdicionarSelecao, "BAdicionar");
  BMostraLista = AddButton(MostrarLista, "BMostraLista");
  BMostrarHistograma =
      AddButton(MostrarHistograma, "BMostrarHistograma", "Mostrar Histograma da Fase - F2");
  BtNovoHistograma = AddButton(Histograma, "BtNovoHistograma", "Novo Histograma - F3");
  sbHistoDaImagem =
      AddButton(HistogramaDaImagem, "sbHistoDaImagem", "Novo Histograma da Imagem - F4");
  BtLimiares = AddButton(Limiares, "BtLimiares");
  BtContraste = AddButton(Contraste, "BtContraste");
  BtSimilares = AddButton(Similares, "BtSimilares");
  BtBrilho = AddButton(Brilho, "BtBrilho");
  BtMedia = AddButton(FiltroMedia, "BtMedia");
  SpeedButton2 = AddButton(Greyscale, "SpeedButton2");
  btr_g_b = AddButton(nullptr, "btr_g_b");
  btr_g_b->setText("R G B");
  btr_g_b->setToolTip("Separar Canais RGB");
  vandrel::OnClicked(btr_g_b, [this] { btr_g_bClick(); });
  const std::pair<QAction*, const char*> pictures[] = {{Abrir_Imagem, "abrir"},
                                                       {SalvarImagem, "salvar"},
                                                       {Desfazer, "desfazer"},
                                                       {Refazer, "refazer"},
                                                       {AdicionarSelecao, "adicionar"},
                                                       {MostrarLista, "lista"},
                                                       {MostrarHistograma, "fase"},
                                                       {Histograma, "histograma"},
                                                       {HistogramaDaImagem, "histoimagem"},
                                                       {Limiares, "limiares"},
                                                       {Contraste, "contraste"},
                                                       {Similares, "similares"},
                                                       {Brilho, "brilho"},
                                                       {FiltroMedia, "media"},
                                                       {Greyscale, "cinza"}};
  for (const auto& [action, picture] : pictures) action->setIcon(ToolIcon(picture));
  btr_g_b->setIcon(ToolIcon("rgb"));
  // The mode buttons show their captions.
  BModoAnalise->setToolButtonStyle(Qt::ToolButtonTextOnly);
  BModoComposicao->setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void TFormPrincipal::FormCreate(const Options& options) {
  QString folder = options.programFolder;
  if (folder.isEmpty()) folder = QCoreApplication::applicationDirPath();
  if (!folder.endsWith('/')) folder += '/';
  PastaPrograma = folder;
  vandrel::DefinirPastaPrograma(folder.toStdString());
  Contagens.fill(0);
  AtualizarImagensRecentes();
  ArgumentoAberto = false;
  argument_ = options.argument;
  if (argument_.isEmpty() && options.programFolder.isEmpty()) {
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1) argument_ = args[1];
  }
  DefinirFaseAberta(false);
  if (vandrel::LerConfig("caixa_sobre", "mostrar_inicio") == "TRUE") {
    TSobreDialog box(this);
    vandrel::Dialogs().RunModal(box);
  }
}

void TFormPrincipal::AtualizarImagensRecentes() {
  for (int k = 0; k < 5; ++k) {
    const QString value =
        QString::fromStdString(vandrel::LerConfig("imagens_abertas", "ima" + std::to_string(k)));
    QAction* item = ima[size_t(k)];
    item->setVisible(!value.isEmpty());
    item->setData(value);
    if (!value.isEmpty()) item->setText(QFileInfo(value).fileName());
  }
}

void TFormPrincipal::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  vandrel::Guarded([this] { FormShow(); });
}

void TFormPrincipal::FormShow() {
  const QString a = argument_;
  if (a.isEmpty()) {
    // No stored mode, or a store that cannot be read or written, or a value that is not a
    // number: composition, the safe start. The program always ends up in one mode; what went
    // wrong is reported after that.
    bool analise = false;
    std::exception_ptr falha;
    try {
      vandrel::Registry reg(vandrel::RegRoot::HKEY_LOCAL_MACHINE);
      if (reg.OpenKey(kChaveVandrel, true)) {
        if (reg.ValueExists(kModo)) analise = reg.ReadBool(kModo);
        reg.CloseKey();
      }
    } catch (const std::exception&) {
      analise = false;
      falha = std::current_exception();
    }
    if (analise)
      Analise->trigger();
    else
      Composicao->trigger();
    if (falha) std::rethrow_exception(falha);
    return;
  }
  if (ArgumentoAberto) return;
  const QString x = "." + QFileInfo(a).suffix().toUpper();
  if (x == ".LST") {
    Analise->trigger();
    AbrirListaDoArgumento(a);
  } else {
    Composicao->trigger();
    AbrirHistogramaDoArgumento(a, x);
  }
  ArgumentoAberto = true;
}

void TFormPrincipal::closeEvent(QCloseEvent* event) {
  vandrel::Guarded([this] {
    vandrel::Registry reg(vandrel::RegRoot::HKEY_LOCAL_MACHINE);
    if (reg.OpenKey(kChaveVandrel, false)) {
      reg.WriteBool(kModo, MododeAnlise1->isChecked());
      reg.CloseKey();
    }
  });
  // The phase's undo log serves this session only: it goes with the program.
  if (JanelaFase && JanelaFase->Historico) JanelaFase->Historico->Remover();
  event->accept();
  // The program ends with its main window: the help window must not keep it running.
  vandrel::CloseHelp();
}

void TFormPrincipal::FecharExecute() { QCoreApplication::exit(0); }

bool TFormPrincipal::EmModoAnalise() const { return MododeAnlise1->isChecked(); }

void TFormPrincipal::DefinirFaseAberta(bool flag) {
  FaseAberta = flag;
  if (!flag) BAdicionar->setEnabled(false);
}

QString TFormPrincipal::TextoStatus() const { return StatusText->text(); }

std::vector<TForm*> TFormPrincipal::Filhas() const {
  std::vector<TForm*> out;
  for (QMdiSubWindow* sub : MdiArea->subWindowList(QMdiArea::CreationOrder))
    if (auto* f = qobject_cast<TForm*>(sub->widget())) out.push_back(f);
  return out;
}

TForm* TFormPrincipal::FilhaAtiva() const {
  QMdiSubWindow* sub = MdiArea->activeSubWindow();
  if (!sub) sub = MdiArea->currentSubWindow();
  return sub ? qobject_cast<TForm*>(sub->widget()) : nullptr;
}

void TFormPrincipal::AdicionarFilha(TForm* form) {
  QMdiSubWindow* sub = MdiArea->addSubWindow(form);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowTitle(form->Caption());
}

void TFormPrincipal::AnaliseExecute() {
  CriarJanelaLista();
  StatusText->setText("Modo de Análise");
  Analise->setChecked(true);
  Analise->setEnabled(false);
  BModoAnalise->setChecked(true);
  BModoAnalise->setAutoRaise(true);
  Composicao->setEnabled(true);
  Composicao->setChecked(false);
  BModoComposicao->setChecked(false);
  BModoComposicao->setAutoRaise(false);
  Imagem1->menuAction()->setVisible(false);
  Padroes1->menuAction()->setVisible(false);
  MostrarLista->setEnabled(true);
  for (QAction* a : {AdicionarSelecao, MostrarHistograma, Refazer, Desfazer, Copy, Greyscale,
                     Limiares, Contraste, Similares, Brilho, FiltroMedia})
    a->setEnabled(false);
}

void TFormPrincipal::ComposicaoExecute() {
  // An unsaved phase is asked about before anything closes: "Cancelar" (or a save that did
  // not happen) keeps every window and the mode as they are.
  // The click has already checked the action or the button; staying puts them back.
  auto ficar = [this] {
    const bool composicao = !Composicao->isEnabled();
    Composicao->setChecked(composicao);
    BModoComposicao->setChecked(composicao);
  };
  if (!PerguntarSalvarFase(true)) return ficar();
  // Every child goes through its own close handler, last first, so that each leaves things
  // as its close leaves them (a thresholds window gives its image back, a phase closes its
  // log). A window whose handler refuses keeps the mode as it is.
  std::vector<QPointer<TForm>> children;
  for (TForm* f : Filhas()) children.emplace_back(f);
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if (*it && !(*it)->Close()) return ficar();
  for (QMdiSubWindow* sub : MdiArea->subWindowList()) delete sub;  // closed, or not a form
  FaseAberta = false;
  JanelaFase.clear();
  JanelaLista.clear();
  StatusText->setText("Modo de Composição");
  Analise->setEnabled(true);
  Analise->setChecked(false);
  BModoAnalise->setChecked(false);
  BModoAnalise->setAutoRaise(false);
  Composicao->setChecked(true);
  Composicao->setEnabled(false);
  BModoComposicao->setAutoRaise(true);
  BModoComposicao->setChecked(true);
  MostrarLista->setEnabled(false);
  Abrir_Imagem->setEnabled(true);
  Imagem1->menuAction()->setVisible(true);
  Padroes1->menuAction()->setVisible(true);
  CompoSemImagem->trigger();
}

namespace {
void SwitchImageCommands(TFormPrincipal& w, bool on) {
  for (QAction* a : {w.SalvarImagem, w.MostrarHistograma, w.NovaFase, w.SalvarFase, w.Desfazer,
                     w.Refazer, w.Copy, w.HistogramaDaImagem, w.Greyscale, w.Limiares, w.Contraste,
                     w.Similares, w.Brilho, w.FiltroMedia, w.ZoomOut, w.ZoomIn, w.ZoomNormal1})
    a->setEnabled(on);
  w.btr_g_b->setEnabled(on);
}
}  // namespace

void TFormPrincipal::CompoSemImagemExecute() {
  SwitchImageCommands(*this, false);
  AdicionarSelecao->setEnabled(false);
}

void TFormPrincipal::CompoComImagemExecute() { SwitchImageCommands(*this, true); }

void TFormPrincipal::UltimaImagemFechada() { CompoSemImagem->trigger(); }

void TFormPrincipal::Timer1Timer() {
  if (!BModoComposicao->autoRaise()) return;
  for (TForm* f : Filhas()) {
    if (!IsImageWindow(f)) continue;
    SalvarImagem->setEnabled(true);
    CompoComImagem->trigger();
  }
}

void TFormPrincipal::Configurar1Click() { (new TFormConfiguracoes(this))->show(); }

void TFormPrincipal::Contedo1Click() { vandrel::ShowHelp(PastaPrograma + "Ajuda.hlp"); }

void TFormPrincipal::Sobre1Click() {
  TSobreDialog box(this);
  Sobre = &box;
  vandrel::Dialogs().RunModal(box);
  Sobre = nullptr;
}

void TFormPrincipal::CascataExecute() { MdiArea->cascadeSubWindows(); }
void TFormPrincipal::LadoHorizontalExecute() { Tile(false); }
void TFormPrincipal::LadoVerticalExecute() { Tile(true); }

void TFormPrincipal::Tile(bool vertical) {
  std::vector<QMdiSubWindow*> subs;
  for (QMdiSubWindow* s : MdiArea->subWindowList())
    if (s->isVisible() && !s->isMinimized()) subs.push_back(s);
  if (subs.empty()) return;
  const QRect area = MdiArea->viewport()->rect();
  const int n = int(subs.size());
  for (int i = 0; i < n; ++i) {
    subs[size_t(i)]->showNormal();
    if (vertical) {
      const int w = area.width() / n;
      subs[size_t(i)]->setGeometry(i * w, 0, w, area.height());
    } else {
      const int h = area.height() / n;
      subs[size_t(i)]->setGeometry(0, i * h, area.width(), h);
    }
  }
}

void TFormPrincipal::CopyExecute() {
  if (auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget())) edit->copy();
}
