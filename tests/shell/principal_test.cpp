// The main window driven headless through its real actions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <memory>

#include "app/imaging/ui/UnitImagem.h"
#include "app/settings/model/URecursos.h"
#include "app/shell/ui/UnitConfiguracoes.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "app/shell/ui/sobre.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/ErrorReport.h"
#include "tests/support/GuiTest.h"

using namespace vandrel;
using vandrel::testing::ProgramFolder;

namespace {

const char* kNoImage = "Você deve primeiro selecionar uma imagem";

std::optional<bool> StoredMode() {
  Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
  if (!reg.OpenKey("Software\\Vandrel", false) || !reg.ValueExists("Modo de Analise"))
    return std::nullopt;
  return reg.ReadBool("Modo de Analise");
}

void StoreMode(bool analise) {
  Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("Software\\Vandrel", true));
  reg.WriteBool("Modo de Analise", analise);
}

class MainWindowTest : public ::testing::Test {
 protected:
  // Creates and shows the main window with the given command-line document.
  TFormPrincipal& Start(const QString& argument = {}) {
    window_ = std::make_unique<TFormPrincipal>(TFormPrincipal::Options{folder_.Path(), argument});
    window_->show();
    return *window_;
  }
  void TearDown() override {
    window_.reset();
    vandrel::testing::Settle();
  }
  ProgramFolder folder_{"[caixa_sobre]\nmostrar_inicio=FALSE\n"};
  ScriptedDialogsScope dialogs_;
  std::unique_ptr<TFormPrincipal> window_;
};

// The actions that the mode and image commands switch.
std::vector<QAction*> ImageCommands(TFormPrincipal& w) {
  return {
      w.SalvarImagem, w.MostrarHistograma,  w.NovaFase,  w.SalvarFase, w.Desfazer,   w.Refazer,
      w.Copy,         w.HistogramaDaImagem, w.Greyscale, w.Limiares,   w.Contraste,  w.Similares,
      w.Brilho,       w.FiltroMedia,        w.ZoomOut,   w.ZoomIn,     w.ZoomNormal1};
}

}  // namespace

// Composition mode with no image window, as entering it leaves the main window.
void ExpectComposition(TFormPrincipal& w) {
  EXPECT_TRUE(w.Composicao->isChecked());
  EXPECT_FALSE(w.Composicao->isEnabled());
  EXPECT_FALSE(w.MododeAnlise1->isChecked());
  EXPECT_EQ(w.TextoStatus(), "Modo de Composição");
  EXPECT_TRUE(w.BModoComposicao->isChecked());
  EXPECT_TRUE(w.BModoComposicao->autoRaise());
  EXPECT_FALSE(w.BModoAnalise->autoRaise());
  EXPECT_FALSE(w.MostrarLista->isEnabled());
  EXPECT_TRUE(w.Abrir_Imagem->isEnabled());
  EXPECT_TRUE(w.Imagem1->menuAction()->isVisible());
  EXPECT_TRUE(w.Padroes1->menuAction()->isVisible());
  for (QAction* a : ImageCommands(w)) EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
  EXPECT_FALSE(w.btr_g_b->isEnabled());
  EXPECT_FALSE(w.AdicionarSelecao->isEnabled());
  // Never switched by the mode or image commands.
  for (QAction* a : {w.Histograma, w.EditarPadrao, w.Fechar, w.Cascata})
    EXPECT_TRUE(a->isEnabled());
}

TEST_F(MainWindowTest, StartsInCompositionWhenNoModeIsStored) {
  TFormPrincipal& w = Start();
  EXPECT_EQ(w.windowTitle(), "Vandrel");
  ExpectComposition(w);
  EXPECT_TRUE(dialogs_->messages.empty());
}

// A store that cannot be written (the key is absent and must be created) or a mode stored
// as a string still starts in composition mode, whole; the error is reported once.
TEST_F(MainWindowTest, StartsInCompositionWhenTheStoredModeCannotBeHad) {
  const QString plain = folder_.File("plain");
  QFile(plain).open(QIODevice::WriteOnly);
  QDir(folder_.Path()).mkpath("folder-store");
  struct Case {
    const char* name;
    QString store;
    bool modeAsString;
    QString error;
  } cases[] = {
      {"store under a file", plain + "/registry.ini", false,
       "Cannot create file \"" + plain + "/registry.ini\". Invalid filename"},
      {"folder at the store", folder_.File("folder-store"), false,
       "Cannot open file \"" + folder_.File("folder-store") + "\". It is a folder, not a file"},
      {"mode as a string", folder_.Registry(), true, "Invalid data type for 'Modo de Analise'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    setenv("VANDREL_REGISTRY", c.store.toLocal8Bit().constData(), 1);
    if (c.modeAsString) {
      Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
      ASSERT_TRUE(reg.OpenKey("Software\\Vandrel", true));
      reg.WriteString("Modo de Analise", "1");
    }
    dialogs_->messages.clear();
    TFormPrincipal& w = Start();
    ExpectComposition(w);
    EXPECT_EQ(dialogs_->Texts(), QStringList{c.error});
    window_.reset();
  }
}

TEST_F(MainWindowTest, StartsInTheStoredAnalysisMode) {
  StoreMode(true);
  TFormPrincipal& w = Start();
  EXPECT_TRUE(w.EmModoAnalise());
  EXPECT_TRUE(w.Analise->isChecked());
  EXPECT_FALSE(w.Analise->isEnabled());
  EXPECT_TRUE(w.Composicao->isEnabled());
  EXPECT_EQ(w.TextoStatus(), "Modo de Análise");
  EXPECT_TRUE(w.BModoAnalise->isChecked());
  EXPECT_TRUE(w.BModoAnalise->autoRaise());
  EXPECT_FALSE(w.Imagem1->menuAction()->isVisible());
  EXPECT_FALSE(w.Padroes1->menuAction()->isVisible());
  EXPECT_TRUE(w.MostrarLista->isEnabled());
  for (QAction* a : {w.AdicionarSelecao, w.MostrarHistograma, w.Refazer, w.Desfazer, w.Copy,
                     w.Greyscale, w.Limiares, w.Contraste, w.Similares, w.Brilho, w.FiltroMedia})
    EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
}

TEST_F(MainWindowTest, EnteringAnalysisLeavesTheOtherCommandsAsTheyWere) {
  TFormPrincipal& w = Start();
  w.CompoComImagem->trigger();
  w.Analise->trigger();
  for (QAction* a : {w.SalvarImagem, w.NovaFase, w.SalvarFase, w.HistogramaDaImagem, w.ZoomIn})
    EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
  EXPECT_TRUE(w.btr_g_b->isEnabled());
  w.Composicao->trigger();
  for (QAction* a : ImageCommands(w)) EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
}

TEST_F(MainWindowTest, ImageCommandsSwitchExactlyTheirTable) {
  TFormPrincipal& w = Start();
  w.CompoComImagem->trigger();
  for (QAction* a : ImageCommands(w)) EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
  EXPECT_FALSE(w.AdicionarSelecao->isEnabled());  // only a new phase turns it on
  w.AdicionarSelecao->setEnabled(true);
  w.CompoComImagem->trigger();
  EXPECT_TRUE(w.AdicionarSelecao->isEnabled());
  w.CompoSemImagem->trigger();
  EXPECT_FALSE(w.AdicionarSelecao->isEnabled());
  EXPECT_TRUE(w.Abrir_Imagem->isEnabled());
  EXPECT_FALSE(w.MostrarLista->isEnabled());
}

TEST_F(MainWindowTest, MenuItemsFollowTheirActions) {
  TFormPrincipal& w = Start();
  EXPECT_FALSE(w.Desfazer1->isEnabled());
  w.CompoComImagem->trigger();
  EXPECT_TRUE(w.Desfazer1->isEnabled());
  EXPECT_TRUE(w.MododeComposio1->isChecked());
  w.MododeAnlise1->trigger();  // the menu item runs its action
  EXPECT_TRUE(w.MododeAnlise1->isChecked());
  EXPECT_FALSE(w.MododeComposio1->isChecked());
  EXPECT_TRUE(w.BModoAnalise->isChecked());
  w.BModoComposicao->click();  // the mode buttons run the same handlers
  EXPECT_TRUE(w.Composicao->isChecked());
}

TEST_F(MainWindowTest, MenusInTheirOrder) {
  TFormPrincipal& w = Start();
  QStringList top;
  for (QAction* a : w.menuBar()->actions()) top << a->menu()->objectName();
  EXPECT_EQ(top, (QStringList{"Arquivo1", "Editar1", "Padroes1", "Imagem1", "Opes1", "Janela1",
                              "Ajuda1"}));
  QStringList arquivo;
  for (QAction* a : w.Arquivo1->actions())
    arquivo << (a->isSeparator() && a->objectName().isEmpty() ? "-" : a->objectName());
  EXPECT_EQ(arquivo, (QStringList{"MododeAnlise1", "MododeComposio1", "-", "AbrirImagem1",
                                  "SalvarImagem1", "InformaesdaImagem1", "N3", "ima0", "ima1",
                                  "ima2", "ima3", "ima4", "-", "Sair1"}));
  EXPECT_EQ(w.Abrir_Imagem->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
  EXPECT_EQ(w.ZoomOut->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(w.Greyscale->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_G));
  EXPECT_EQ(w.FiltroMedia->shortcut(), QKeySequence(Qt::Key_F11));
  EXPECT_EQ(w.BMostrarHistograma->toolTip(), "Mostrar Histograma da Fase - F2");
  EXPECT_EQ(w.btr_g_b->toolTip(), "Separar Canais RGB");
  EXPECT_EQ(w.BAdicionar->toolTip(), "Adicionar Seleção");
}

TEST_F(MainWindowTest, ClosingStoresTheModeSairDoesNot) {
  StoreMode(false);
  {
    TFormPrincipal& w = Start();
    w.Analise->trigger();
    w.close();
  }
  EXPECT_EQ(StoredMode(), true);
  window_.reset();
  {
    TFormPrincipal& w = Start();
    EXPECT_TRUE(w.EmModoAnalise());
    w.Composicao->trigger();
    w.Fechar->trigger();
  }
  window_.reset();
  EXPECT_EQ(StoredMode(), true);
  TFormPrincipal& w = Start();
  w.close();
  EXPECT_EQ(StoredMode(), true);
}

TEST_F(MainWindowTest, CommandLineDocumentChoosesTheModeAndSkipsTheRegistry) {
  struct Case {
    const char* argument;
    bool analise;
  } cases[] = {{"amostra.his", false}, {"lista.LsT", true}, {"x.txt", false}, {"p.pat", false}};
  for (const Case& c : cases) {
    StoreMode(!c.analise);
    // Documents that do not exist, in the test's own folder.
    TFormPrincipal& w = Start(folder_.File(c.argument));
    EXPECT_EQ(w.EmModoAnalise(), c.analise) << c.argument;
    EXPECT_TRUE(w.ArgumentoAberto);
    w.hide();
    w.show();  // a later show neither reopens the document nor reads the registry
    EXPECT_EQ(w.EmModoAnalise(), c.analise) << c.argument;
    window_.reset();
  }
}

TEST_F(MainWindowTest, LaunchersWithoutAnImageSayWhatIsMissing) {
  TFormPrincipal& w = Start();
  w.CompoComImagem->trigger();  // as the timer does while an image window exists
  for (QAction* a : {w.Contraste, w.Brilho, w.Similares, w.Limiares, w.HistogramaDaImagem}) {
    dialogs_->messages.clear();
    a->trigger();
    EXPECT_EQ(dialogs_->Texts(), QStringList{kNoImage}) << a->objectName().toStdString();
    EXPECT_EQ(dialogs_->messages.at(0).kind, MsgKind::Information);
  }
}

TEST_F(MainWindowTest, TimerDoesNothingWithoutImagesOrInAnalysis) {
  TFormPrincipal& w = Start();
  EXPECT_EQ(w.Timer1->interval(), 1000);
  EXPECT_TRUE(w.Timer1->isActive());
  w.Timer1Timer();
  EXPECT_FALSE(w.Desfazer->isEnabled());
  w.Analise->trigger();
  w.Timer1Timer();
  EXPECT_FALSE(w.Desfazer->isEnabled());
}

TEST_F(MainWindowTest, TimerSwitchesTheImageCommandsBackOnWhileAnImageExists) {
  TFormPrincipal& w = Start();
  auto* image = new TFormImagem(&w);
  image->DefinirBitmap(Bitmap(4, 4, PixelFormat::pf8bit));
  image->Show();
  w.Desfazer->setEnabled(false);
  w.SalvarImagem->setEnabled(false);
  // The real timer's next tick, however long a busy machine takes to come to it.
  bool ticked = false;
  const QMetaObject::Connection tick =
      QObject::connect(w.Timer1, &QTimer::timeout, [&ticked] { ticked = true; });
  while (!ticked)
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  QObject::disconnect(tick);
  EXPECT_TRUE(w.Desfazer->isEnabled());
  EXPECT_TRUE(w.SalvarImagem->isEnabled());
  EXPECT_TRUE(w.Limiares->isEnabled());
  EXPECT_FALSE(w.AdicionarSelecao->isEnabled());
  w.Analise->trigger();  // the image window stays open; the timer now leaves things alone
  w.Timer1Timer();
  EXPECT_FALSE(w.Desfazer->isEnabled());
}

TEST_F(MainWindowTest, ListCommandOnlyInAnalysisMode) {
  TFormPrincipal& w = Start();
  w.MostrarListaExecute();  // composition: nothing, no message
  EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(MainWindowTest, DefinirFaseAbertaFalseDisablesOnlyTheButton) {
  TFormPrincipal& w = Start();
  w.AdicionarSelecao->setEnabled(true);
  EXPECT_TRUE(w.BAdicionar->isEnabled());
  w.DefinirFaseAberta(false);
  EXPECT_FALSE(w.FaseAberta);
  EXPECT_FALSE(w.BAdicionar->isEnabled());
  EXPECT_TRUE(w.AdicionarSelecao->isEnabled());
  w.DefinirFaseAberta(true);
  EXPECT_TRUE(w.FaseAberta);
}

TEST_F(MainWindowTest, RecentImageItemsAreBuiltAtStart) {
  folder_.WriteConfig(
      "[caixa_sobre]\nmostrar_inicio=FALSE\n[imagens_abertas]\nima0=/x/a.bmp\nima2=/y/z/c.tif\n");
  TFormPrincipal& w = Start();
  EXPECT_TRUE(w.ima[0]->isVisible());
  EXPECT_EQ(w.ima[0]->text(), "a.bmp");
  EXPECT_FALSE(w.ima[1]->isVisible());
  EXPECT_TRUE(w.ima[2]->isVisible());
  EXPECT_EQ(w.ima[2]->text(), "c.tif");
  EXPECT_FALSE(w.ima[3]->isVisible());
  AdicionarImagemAberta("/n/new.bmp");
  EXPECT_EQ(w.ima[0]->text(), "a.bmp");  // not rebuilt until the next start
}

TEST_F(MainWindowTest, WindowMenuKeepsItsFourFixedItems) {
  TFormPrincipal& w = Start();
  w.Janela1Click();
  const auto items = w.Janela1->actions();
  ASSERT_EQ(items.size(), 4);
  EXPECT_EQ(items[0]->objectName(), "Cascata1");
  EXPECT_EQ(items[3]->objectName(), "N7");
}

TEST_F(MainWindowTest, UncaughtErrorsReachTheDefaultReport) {
  TFormPrincipal& w = Start();
  QAction action(&w);
  OnTriggered(&action, [] { throw vandrel::Exception("File not found"); });
  action.trigger();
  ASSERT_EQ(dialogs_->messages.size(), 1u);
  EXPECT_EQ(dialogs_->messages[0].text, "File not found");
  EXPECT_EQ(dialogs_->messages[0].kind, MsgKind::Error);
}

class AboutBoxTest : public MainWindowTest {};

TEST_F(AboutBoxTest, ShownAtStartOffersDoNotShowAgain) {
  folder_.WriteConfig("[caixa_sobre]\nmostrar_inicio=TRUE\n");
  bool seen = false;
  dialogs_->forms.push_back([&](QDialog& d) {
    auto& box = dynamic_cast<TSobreDialog&>(d);
    seen = true;
    EXPECT_FALSE(box.NaoMostrarNov->isHidden());
    EXPECT_TRUE(box.CheckBoxSempre->isHidden());
    box.NaoMostrarNov->setChecked(true);
    box.BitBtn1->click();
  });
  Start();
  EXPECT_TRUE(seen);
  EXPECT_EQ(LerConfig("caixa_sobre", "mostrar_inicio"), "FALSE");
}

TEST_F(AboutBoxTest, UncheckedAtStartKeepsShowing) {
  folder_.WriteConfig("[caixa_sobre]\nmostrar_inicio=TRUE\n");
  dialogs_->forms.push_back([](QDialog& d) { dynamic_cast<TSobreDialog&>(d).BitBtn1->click(); });
  Start();
  EXPECT_EQ(LerConfig("caixa_sobre", "mostrar_inicio"), "TRUE");
}

TEST_F(AboutBoxTest, FromTheMenuOffersAlwaysShow) {
  TFormPrincipal& w = Start();
  EXPECT_TRUE(dialogs_->formsRun.empty());  // "FALSE": not shown at start
  dialogs_->forms.push_back([&](QDialog& d) {
    auto& box = dynamic_cast<TSobreDialog&>(d);
    EXPECT_EQ(w.Sobre, &box);
    EXPECT_TRUE(box.NaoMostrarNov->isHidden());
    EXPECT_FALSE(box.CheckBoxSempre->isHidden());
    box.CheckBoxSempre->setChecked(true);
    box.BitBtn1->click();
  });
  w.Sobre1->trigger();
  EXPECT_EQ(LerConfig("caixa_sobre", "mostrar_inicio"), "TRUE");
  EXPECT_EQ(w.Sobre, nullptr);
  dialogs_->forms.push_back([](QDialog& d) { dynamic_cast<TSobreDialog&>(d).BitBtn1->click(); });
  w.Sobre1->trigger();  // "TRUE" now: the do-not-show choice, left unchecked
  EXPECT_EQ(LerConfig("caixa_sobre", "mostrar_inicio"), "TRUE");
}

TEST_F(AboutBoxTest, AbsentSettingNeitherShowsNorWritesUntilAsked) {
  folder_.WriteConfig("");
  TFormPrincipal& w = Start();
  EXPECT_TRUE(dialogs_->formsRun.empty());
  dialogs_->forms.push_back([](QDialog& d) {
    auto& box = dynamic_cast<TSobreDialog&>(d);
    EXPECT_FALSE(box.NaoMostrarNov->isHidden());
    box.BitBtn1->click();
  });
  w.Sobre1->trigger();
  EXPECT_EQ(LerConfig("caixa_sobre", "mostrar_inicio"), "TRUE");
}
