// The progress page driven from the first page's Install button: the steps on their
// ticks, what they leave on disk and in the registry store, a second installation, the
// registry cleaner, and the failures the steps meet.
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <iostream>

#include <errno.h>
#include <string.h>
#include <sys/mount.h>

#include "installer/Usetup.h"
#include "tests/installer/InstallerFixture.h"

using namespace vandrel;
using installer::testing::Install;

namespace {

const std::string kProgramKey = "Software\\Vandrel";
const std::string kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vandrel";
const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

TEST_F(Install, ProgressPageGetsTheFirstPageFields) {
  RunInstall(
      [this](TFInstall& page) {
        EXPECT_EQ(page.InstallFolder, Prog());
        EXPECT_EQ(page.UserName, "Zé");
        EXPECT_EQ(page.Organization, "Lab");
        EXPECT_EQ(page.windowTitle(), "Vandrel Install");
        EXPECT_EQ(page.stAndamento->text(), "Preparing to Install...");
        EXPECT_EQ(page.lAbout->text().split('\n').size(), 8);
        EXPECT_EQ(QString::fromUtf8(kAboutText).split('\r'), page.lAbout->text().split('\n'));
        EXPECT_EQ(page.ProgBar->minimum(), 0);
        EXPECT_EQ(page.ProgBar->maximum(), 100);
        EXPECT_EQ(page.ProgBar->value(), 0);
        EXPECT_EQ(page.sbFinalizar->text(), "Finish");
        EXPECT_FALSE(page.sbFinalizar->isEnabled());
        EXPECT_TRUE(page.sFinalizar->isHidden());
        EXPECT_EQ(page.Timer->interval(), 400);
        bool banner = false;
        for (QLabel* label : page.findChildren<QLabel*>())
          banner = banner || label->text() == "                       Vandrel 1.0 ";
        EXPECT_TRUE(banner);
      },
      Prog(), "Zé", "Lab");
}

TEST_F(Install, AboutTextLines) {
  const QStringList lines = QString::fromUtf8(kAboutText).split('\r');
  ASSERT_EQ(lines.size(), 8);
  EXPECT_EQ(lines[0], "O Vandrel permite a análise quantitativa dos coponentes");
  EXPECT_EQ(lines[2], "de homogeneidade  composicional.  Com   ferramentas de  ");
  EXPECT_EQ(lines[7], "vários  histogramas.    ");
  EXPECT_FALSE(QString::fromUtf8(kAboutText).contains('\n'));
}

TEST_F(Install, StepsRunOnEverySecondTick) {
  ProgramFiles();
  const struct {
    const char* status;
    int progress;
    bool finish;
  } afterTick[] = {
      {"Preparing to Install...", 0, false},
      {"Building ShortCuts...", 30, false},
      {"Building ShortCuts...", 30, false},
      {"Preparing Registry", 60, false},
      {"Preparing Registry", 60, false},
      {"Making Reg Entries...", 100, false},
      {"Making Reg Entries...", 100, false},
      {"Finished", 100, true},
      {"Finished", 100, true},
      {"Finished", 100, true},
  };
  RunInstall(
      [&](TFInstall& page) {
        for (int tick = 0; tick < int(std::size(afterTick)); ++tick) {
          page.TimerTimer();
          EXPECT_EQ(page.stAndamento->text(), afterTick[tick].status) << tick;
          EXPECT_EQ(page.ProgBar->value(), afterTick[tick].progress) << tick;
          EXPECT_EQ(page.sbFinalizar->isEnabled(), afterTick[tick].finish) << tick;
          EXPECT_EQ(page.sFinalizar->isHidden(), !afterTick[tick].finish) << tick;
          EXPECT_EQ(page.Ticks(), tick + 1);
          // Folders and links come with the second tick, the registry with the sixth.
          EXPECT_EQ(QDir(Prog() + "/fases").exists(), tick >= 1) << tick;
          EXPECT_EQ(QFileInfo::exists(Desktop() + "/Vandrel.desktop"), tick >= 1) << tick;
          EXPECT_EQ(Registry(RegRoot::HKEY_LOCAL_MACHINE).KeyExists(kProgramKey), tick >= 5)
              << tick;
        }
      },
      Prog());
  // A missing registry cleaner is not reported.
  EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(Install, TheRealTimerRunsTheSteps) {
  ProgramFiles();
  RunInstall(
      [&](TFInstall& page) {
        // Restart the page's own timer and note the status after each of its ticks.
        QStringList statuses;
        QObject::connect(page.Timer, &QTimer::timeout, &page,
                         [&] { statuses << page.stAndamento->text(); });
        page.Timer->start();
        // Each tick comes when it comes; the loop waits for events, not for a clock.
        while (!page.sbFinalizar->isEnabled())
          QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        const QStringList expected = {"Preparing to Install...", "Building ShortCuts...",
                                      "Building ShortCuts...",   "Preparing Registry",
                                      "Preparing Registry",      "Making Reg Entries...",
                                      "Making Reg Entries...",   "Finished"};
        EXPECT_EQ(statuses, expected);
        EXPECT_TRUE(page.Timer->isActive());  // later ticks only count
      },
      Prog());
  EXPECT_EQ(Integer(RegRoot::HKEY_LOCAL_MACHINE, kProgramKey, "Modo de Analise"), 1);
}

TEST_F(Install, FoldersAndShortcutsOnDisk) {
  InstallAll();
  for (const char* sub : {"", "/fases", "/padroes", "/resultados", "/imagens", "/temp", "/saves"})
    EXPECT_TRUE(QDir(Prog() + sub).exists()) << sub;
  for (const char* sub : {"/system", "/listaimagens"}) EXPECT_FALSE(QDir(Prog() + sub).exists());
  EXPECT_TRUE(QDir(Path("windows/Menu Iniciar/Programas/Vandrel")).exists());
  EXPECT_TRUE(QDir(Menu()).exists());
}

// The program's entry as the desktop reads it; `actions` are the groups of its actions.
QByteArray ProgramEntry(const QString& folder, const QByteArray& actions) {
  const QByteArray prog = folder.toUtf8();
  const QByteArray ids = actions.contains("[Desktop Action Desinstalar]") ? "Ajuda;Desinstalar;"
                         : actions.isEmpty()                              ? ""
                                                                          : "Ajuda;";
  return "[Desktop Entry]\nType=Application\nName=Vandrel\nComment=Análise quantitativa das "
         "fases de materiais compostos em imagens de microscópio\nExec=" +
         prog + "/Vandrel\nTryExec=" + prog + "/Vandrel\nPath=" + prog +
         "\nIcon=vandrel\nTerminal=false\nCategories=Science;ImageProcessing;\n"
         "StartupWMClass=Vandrel\n" +
         (ids.isEmpty() ? QByteArray() : "Actions=" + ids + "\n") + actions;
}

QByteArray HelpAction(const QString& folder) {
  return "\n[Desktop Action Ajuda]\nName=Ajuda\nExec=xdg-open " + folder.toUtf8() + "/Ajuda.hlp\n";
}

TEST_F(Install, ShortcutsToTheProgramStartItInTheInstallFolder) {
  Uninstaller();
  InstallAll();
  const QByteArray prog = Prog().toUtf8();
  const QByteArray program = ProgramEntry(
      Prog(), HelpAction(Prog()) +
                  "\n[Desktop Action Desinstalar]\nName=Desinstalar Vandrel\nExec=" + prog +
                  "/uninstall\n");
  EXPECT_EQ(Read(Desktop() + "/Vandrel.desktop"), program);
  EXPECT_EQ(Read(Menu() + "/Vandrel.desktop"), program);
  // The help opens through the desktop; it and the uninstaller stay in the program's
  // folder and actions, and out of the menus.
  EXPECT_EQ(Read(Menu() + "/Ajuda.desktop"),
            "[Desktop Entry]\nType=Application\nName=Ajuda\nExec=xdg-open " + prog +
                "/Ajuda.hlp\nTerminal=false\nNoDisplay=true\n");
  EXPECT_EQ(Read(Menu() + "/Desinstalar Vandrel.desktop"),
            "[Desktop Entry]\nType=Application\nName=Desinstalar Vandrel\nExec=" + prog +
                "/uninstall\nTryExec=" + prog + "/uninstall\nPath=" + prog +
                "\nTerminal=false\nNoDisplay=true\n");
  EXPECT_EQ(QDir(Menu()).entryList(QDir::Files).size(), 3);
  EXPECT_EQ(QDir(Desktop()).entryList(QDir::Files).size(), 1);
}

TEST_F(Install, NoEntryForAPartOfTheProgramThatIsNotThere) {
  // Each case: the files in place besides the program, and the entries and actions then.
  const struct {
    const char* what;
    bool help, uninstall;
  } cases[] = {{"no uninstaller (as delivered)", true, false},
               {"neither help nor uninstaller", false, false},
               {"both", true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QDir(Path("home")).removeRecursively();
    QDir().mkpath(Path("home"));
    QFile::remove(Prog() + "/uninstall");
    QFile::remove(Prog() + "/Ajuda.hlp");
    if (c.help) Write(Prog() + "/Ajuda.hlp", "<html></html>");
    if (c.uninstall) Uninstaller();
    // An entry that an earlier installation left for a part that has gone goes too.
    QDir().mkpath(Menu());
    Write(Menu() + "/Desinstalar Vandrel.desktop", "[Desktop Entry]\n");
    InstallAll();
    EXPECT_EQ(QFileInfo::exists(Menu() + "/Ajuda.desktop"), c.help);
    EXPECT_EQ(QFileInfo::exists(Menu() + "/Desinstalar Vandrel.desktop"), c.uninstall);
    const QByteArray entry = Read(Menu() + "/Vandrel.desktop");
    EXPECT_EQ(entry.contains("[Desktop Action Ajuda]"), c.help);
    EXPECT_EQ(entry.contains("[Desktop Action Desinstalar]"), c.uninstall);
    EXPECT_EQ(Read(Desktop() + "/Vandrel.desktop"), entry);
    EXPECT_TRUE(dialogs_->messages.empty());
  }
  // The store names the uninstaller all the same.
  EXPECT_EQ(String(RegRoot::HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
            Prog().toStdString() + "/uninstall");
}

TEST_F(Install, RegistryEntries) {
  ProgramFiles();
  InstallAll("Maria Silva", "LabMat");
  const RegRoot hklm = RegRoot::HKEY_LOCAL_MACHINE, hkcr = RegRoot::HKEY_CLASSES_ROOT;
  EXPECT_EQ(Integer(hklm, kProgramKey, "Modo de Analise"), 1);
  EXPECT_EQ(Integer(hklm, kProgramKey, "SplashScreen"), 1);
  EXPECT_EQ(String(hklm, kProgramKey, "MainDir"), Prog().toStdString());
  EXPECT_EQ(String(hklm, kProgramKey, "UserName"), "Maria Silva");
  EXPECT_EQ(String(hklm, kProgramKey, "Organization"), "LabMat");
  EXPECT_EQ(String(hklm, kUninstallKey, "DisplayName"), "Vandrel 1.0");
  EXPECT_EQ(String(hklm, kUninstallKey, "UninstallString"), Prog().toStdString() + "/uninstall");

  const std::string exe = Prog().toStdString() + "/Vandrel";
  const struct {
    std::string name, description, extension, icon;
    std::optional<std::string> open;
  } classes[] = {
      {"VDHisto", "Histograma", ".his", "4", exe + " %1"},
      {"VDPadroes", "Arquivo de Padrão", ".pat", "8", exe + " %1"},
      {"VDListas", "Lista de Imagens", ".lst", "5", exe + " %1"},
      {"VDPaletas", "Paleta de Cores", ".pcs", "9", std::nullopt},
      {"VDLim", "Arquivo de Limiares", ".als", "2", std::nullopt},
      {"VDVol", "Fração Volumétrica", ".vol", "10", "notepad %1"},
      {"VDErro", "Margens de Erro", ".err", "3", "notepad %1"},
      {"VDCaminhos", "Caminho de Fases", ".pac", "7", "notepad %1"},
      {"VDMedia", "Arquivos De Média", ".med", "6", "notepad %1"},
  };
  for (const auto& c : classes) {
    EXPECT_EQ(String(hkcr, c.name, ""), c.description) << c.name;
    EXPECT_EQ(String(hkcr, c.name + "\\DefaultIcon", ""), exe + "," + c.icon) << c.name;
    EXPECT_EQ(String(hkcr, c.extension, ""), c.name) << c.name;
    EXPECT_EQ(String(hkcr, c.name + "\\shell\\open\\command", ""), c.open) << c.name;
    EXPECT_EQ(Registry(hkcr).KeyExists(c.name + "\\shell"), c.open.has_value()) << c.name;
  }
  Registry root(hkcr);
  ASSERT_TRUE(root.OpenKey("", false));
  EXPECT_EQ(root.GetKeyNames().size(), 2 * std::size(classes));
}

TEST_F(Install, EmptyNamesAreStillWritten) {
  InstallAll("", "");
  EXPECT_EQ(String(RegRoot::HKEY_LOCAL_MACHINE, kProgramKey, "UserName"), "");
  EXPECT_EQ(String(RegRoot::HKEY_LOCAL_MACHINE, kProgramKey, "Organization"), "");
}

TEST_F(Install, SecondInstallationChangesNoKeyAndRecreatesTheShortcuts) {
  InstallAll();
  const QByteArray store = Read(Path("registry.ini"));
  ASSERT_FALSE(store.isEmpty());
  Write(Prog() + "/fases/kept.his", "1");
  QFile::remove(Desktop() + "/Vandrel.desktop");
  Write(Menu() + "/Ajuda.desktop", "changed");
  const QByteArray help = "[Desktop Entry]\nType=Application\nName=Ajuda\nExec=xdg-open " +
                          Prog().toUtf8() + "/Ajuda.hlp\nTerminal=false\nNoDisplay=true\n";

  // Another folder and other names: the keys stay as the first installation left them.
  QDir().mkpath(Path("Other"));
  RunInstall([](TFInstall& page) { Tick(page, 8); }, Prog(), "Other Name", "Other Org");
  EXPECT_EQ(Read(Path("registry.ini")), store);
  EXPECT_EQ(Read(Prog() + "/fases/kept.his"), "1");
  EXPECT_TRUE(QFileInfo::exists(Desktop() + "/Vandrel.desktop"));
  EXPECT_EQ(Read(Menu() + "/Ajuda.desktop"), help);
  EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(Install, ExistingKeysAreLeftAsTheyAre) {
  const RegRoot hklm = RegRoot::HKEY_LOCAL_MACHINE, hkcr = RegRoot::HKEY_CLASSES_ROOT;
  Store(hklm, kProgramKey, "MainDir", "/old");
  Store(hkcr, "VDVol", "", "Minha descrição");
  Store(hkcr, "VDHisto\\DefaultIcon", "", "x,0");  // a class known by a sub-key only
  InstallAll();
  EXPECT_EQ(String(hklm, kProgramKey, "MainDir"), "/old");
  EXPECT_EQ(Integer(hklm, kProgramKey, "Modo de Analise"), std::nullopt);
  EXPECT_EQ(String(hklm, kUninstallKey, "DisplayName"), "Vandrel 1.0");
  EXPECT_EQ(String(hkcr, "VDVol", ""), "Minha descrição");
  EXPECT_FALSE(Registry(hkcr).KeyExists("VDVol\\shell"));
  EXPECT_FALSE(Registry(hkcr).KeyExists(".vol"));
  EXPECT_EQ(String(hkcr, "VDHisto", ""), std::nullopt);
  EXPECT_FALSE(Registry(hkcr).KeyExists(".his"));
  EXPECT_EQ(String(hkcr, "VDErro", ""), "Margens de Erro");
}

TEST_F(Install, RegistryCleanerRunsFromTheInstallFolderAndIsWaitedFor) {
  Write(Prog() + "/VDRegClean",
        "#!/bin/sh\npwd > cleaner.txt\nfor a in \"$@\"; do echo \"[$a]\" >> cleaner.txt; done\n"
        "sleep 0.3\necho end >> cleaner.txt\n",
        true);
  RunInstall(
      [&](TFInstall& page) {
        Tick(page, 3);
        EXPECT_FALSE(QFileInfo::exists(Prog() + "/cleaner.txt"));
        page.TimerTimer();
        EXPECT_EQ(Read(Prog() + "/cleaner.txt"), Prog().toUtf8() + "\n[-A]\nend\n");
        EXPECT_EQ(page.ProgBar->value(), 60);
        // The registry comes after the cleaner.
        EXPECT_FALSE(Registry(RegRoot::HKEY_LOCAL_MACHINE).KeyExists(kProgramKey));
        Tick(page, 4);
      },
      Prog());
  EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(Install, FailedRegistryStepIsReportedOnceAndFinishLetsTheUserLeave) {
  // A store in a folder that cannot exist: a file stands in its place.
  Write(Path("blocked"), "file");
  Set("VANDREL_REGISTRY", Path("blocked/registry.ini"));
  RunInstall(
      [&](TFInstall& page) {
        page.Timer->start();
        Tick(page, 6);
        ASSERT_EQ(dialogs_->messages.size(), 1u);
        EXPECT_EQ(dialogs_->messages[0].kind, MsgKind::Error);
        EXPECT_FALSE(dialogs_->messages[0].text.isEmpty());
        EXPECT_EQ(page.Ticks(), 5);
        EXPECT_FALSE(page.Timer->isActive());
        // Stopped where it failed, and said so once the error is reported.
        EXPECT_EQ(page.stAndamento->text(), "Incomplete: some entries could not be written");
        EXPECT_EQ(page.ProgBar->value(), 60);
        EXPECT_TRUE(page.sbFinalizar->isEnabled());
        EXPECT_FALSE(page.sFinalizar->isHidden());
      },
      Prog());
  // The steps before it did their work.
  EXPECT_TRUE(QDir(Prog() + "/saves").exists());
  EXPECT_TRUE(QFileInfo::exists(Desktop() + "/Vandrel.desktop"));
}

TEST_F(Install, MissingShellFoldersPutNoShortcutInTheRoot) {
  const bool rootLink = QFileInfo::exists("/Vandrel.desktop"),
             rootMenu = QFileInfo::exists("/Vandrel");
  Store(RegRoot::HKEY_CURRENT_USER, kShellFolders, "Desktop", "");
  Store(RegRoot::HKEY_CURRENT_USER, kShellFolders, "Programs", "");
  InstallAll();
  EXPECT_EQ(QFileInfo::exists("/Vandrel.desktop"), rootLink);
  EXPECT_EQ(QFileInfo::exists("/Vandrel"), rootMenu);
  EXPECT_TRUE(QDir(Desktop()).entryList(QDir::Files).isEmpty());
  EXPECT_FALSE(QDir(Menu()).exists());
  // Everything else is done.
  EXPECT_TRUE(QDir(Prog() + "/temp").exists());
  EXPECT_EQ(String(RegRoot::HKEY_LOCAL_MACHINE, kProgramKey, "MainDir"), Prog().toStdString());
  EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(Install, ShellFoldersFromTheStore) {
  QDir().mkpath(Path("Área de Trabalho"));
  QDir().mkpath(Path("menu"));
  Store(RegRoot::HKEY_CURRENT_USER, kShellFolders, "Desktop",
        Path("Área de Trabalho").toStdString());
  Store(RegRoot::HKEY_CURRENT_USER, kShellFolders, "Programs", Path("menu").toStdString());
  Uninstaller();
  InstallAll();
  EXPECT_TRUE(QFileInfo::exists(Path("Área de Trabalho/Vandrel.desktop")));
  EXPECT_TRUE(QFileInfo::exists(Path("menu/Vandrel/Desinstalar Vandrel.desktop")));
  EXPECT_TRUE(QDir(Desktop()).entryList(QDir::Files).isEmpty());
}

TEST_F(Install, FolderFailuresAreNotReported) {
  // A file where the Start-menu folders go under the Windows folder, and one where "temp"
  // goes.
  QDir().mkpath(Path("windows"));
  Write(Path("windows/Menu Iniciar"), "not a folder");
  Write(Prog() + "/temp", "not a folder");
  InstallAll();
  EXPECT_TRUE(QFileInfo(Path("windows/Menu Iniciar")).isFile());
  EXPECT_TRUE(QFileInfo(Prog() + "/temp").isFile());
  EXPECT_TRUE(QDir(Prog() + "/saves").exists());
  EXPECT_TRUE(QFileInfo::exists(Desktop() + "/Vandrel.desktop"));
  EXPECT_TRUE(QFileInfo::exists(Menu() + "/Vandrel.desktop"));
  EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(Install, FreshAccountGetsAllFourShortcuts) {
  // Neither the desktop folder nor the data folder above the menus exists yet.
  ASSERT_FALSE(QFileInfo::exists(Desktop()));
  ASSERT_FALSE(QFileInfo::exists(Path("home/.local")));
  Uninstaller();
  InstallAll();
  for (const QString& link : {Desktop() + "/Vandrel.desktop", Menu() + "/Vandrel.desktop",
                              Menu() + "/Ajuda.desktop", Menu() + "/Desinstalar Vandrel.desktop"}) {
    EXPECT_TRUE(QFileInfo(link).isFile()) << link.toStdString();
    // Desktops start only entries their user may execute.
    EXPECT_TRUE(QFileInfo(link).isExecutable()) << link.toStdString();
  }
  EXPECT_TRUE(dialogs_->messages.empty()) << dialogs_->Texts().join('|').toStdString();
}

TEST_F(Install, ShortcutThatCannotBeWrittenIsReportedAndTheStepsGoOn) {
  // Each case puts something in the way of some shortcuts; `failed` are the files named in
  // the message, in the order the shortcuts are made.
  const struct {
    const char* what;
    std::function<void()> block;
    QStringList failed;
  } cases[] = {
      {"a file where the desktop folder goes",
       [this] { Write(Desktop(), "file"); },
       {"home/Desktop/Vandrel.desktop"}},
      {"a file where the menu folder goes",
       [this] {
         QDir().mkpath(Path("home/.local/share/applications"));
         Write(Menu(), "file");
       },
       {"home/.local/share/applications/Vandrel/Vandrel.desktop",
        "home/.local/share/applications/Vandrel/Ajuda.desktop",
        "home/.local/share/applications/Vandrel/Desinstalar Vandrel.desktop"}},
      {"a folder in the place of one link",
       [this] { QDir().mkpath(Menu() + "/Ajuda.desktop"); },
       {"home/.local/share/applications/Vandrel/Ajuda.desktop"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QDir(Path("home")).removeRecursively();
    QDir().mkpath(Path("home"));
    Registry(RegRoot::HKEY_LOCAL_MACHINE).DeleteKey(kProgramKey);
    dialogs_->messages.clear();
    c.block();
    Uninstaller();
    RunInstall(
        [&](TFInstall& page) {
          Tick(page, 2);
          // Reported on the step that made the shortcuts, once, naming every file missed.
          ASSERT_EQ(dialogs_->messages.size(), 1u);
          EXPECT_EQ(dialogs_->messages[0].kind, MsgKind::Error);
          const QStringList lines = dialogs_->messages[0].text.split('\r');
          ASSERT_EQ(lines.size(), c.failed.size()) << dialogs_->messages[0].text.toStdString();
          for (int i = 0; i < lines.size(); ++i)
            EXPECT_TRUE(lines[i].contains("\"" + Path(c.failed[i]) + "\""))
                << lines[i].toStdString();
          EXPECT_EQ(page.Ticks(), 2);
          Tick(page, 6);
          EXPECT_EQ(dialogs_->messages.size(), 1u);
          // The page does not call finished what was not all written.
          EXPECT_EQ(page.stAndamento->text(), "Incomplete: some entries could not be written");
          EXPECT_TRUE(page.sbFinalizar->isEnabled());
        },
        Prog());
    // The folders and the registry were done all the same.
    EXPECT_TRUE(QDir(Prog() + "/saves").exists());
    EXPECT_EQ(String(RegRoot::HKEY_LOCAL_MACHINE, kProgramKey, "MainDir"), Prog().toStdString());
  }
}

TEST_F(Install, NeitherEscapeNorTheCloseBoxLeaveWhileTheStepsRun) {
  ProgramFiles();
  const struct {
    const char* what;
    std::function<void(TFInstall&)> leave;
  } ways[] = {
      {"Escape",
       [](TFInstall& page) {
         QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
         QApplication::sendEvent(&page, &press);
       }},
      {"the close box", [](TFInstall& page) { page.close(); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.what);
    Registry(RegRoot::HKEY_LOCAL_MACHINE).DeleteKey(kProgramKey);
    bool left = false;
    RunInstall(
        [&](TFInstall& page) {
          for (int tick = 0; tick < 8; ++tick) {
            way.leave(page);
            ASSERT_TRUE(page.isVisible()) << tick;
            EXPECT_FALSE(installer::Terminated()) << tick;
            page.TimerTimer();
          }
          EXPECT_EQ(page.stAndamento->text(), "Finished");
          EXPECT_TRUE(Registry(RegRoot::HKEY_LOCAL_MACHINE).KeyExists(kProgramKey));
          // Once Finish is offered, leaving ends the installer as Finish does.
          way.leave(page);
          left = !page.isVisible();
        },
        Prog());
    EXPECT_TRUE(left);
  }
}

TEST_F(Install, AFailedStepLetsTheCloseBoxLeave) {
  ProgramFiles();
  // The store cannot be written: the registry step fails and offers Finish.
  QDir().mkpath(Path("registry.ini"));
  RunInstall(
      [&](TFInstall& page) {
        Tick(page, 6);
        ASSERT_TRUE(page.sbFinalizar->isEnabled());
        page.close();
        EXPECT_FALSE(page.isVisible());
      },
      Prog());
  EXPECT_EQ(dialogs_->messages.size(), 1u);
}

// A file system of 2 MB of its own, mounted on `folder` for as long as the object lives.
class SmallFileSystem {
 public:
  explicit SmallFileSystem(const QString& folder) : folder_(QFile::encodeName(folder)) {
    QDir().mkpath(folder);
    if (::mount("tmpfs", folder_.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=2m") == 0)
      mounted_ = true;
    else
      error_ = ::strerror(errno);
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount2(folder_.constData(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }
  std::string Error() const { return error_; }

 private:
  QByteArray folder_;
  bool mounted_ = false;
  std::string error_;
};

TEST_F(Install, AFullDataFolderIsReportedAndNeverCalledFinished) {
  const QString data = Path("full");
  SmallFileSystem small(data);
  if (!small.Mounted())
    GTEST_SKIP() << "cannot mount a small file system here (" << small.Error()
                 << "); the test needs the right to mount";
  Set("XDG_DATA_HOME", data + "/share");
  // Filled to the last byte, as a user's disk gets.
  {
    QFile filler(data + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(64 * 1024, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
  }
  Uninstaller();
  const QString menu = data + "/share/applications/Vandrel";
  RunInstall(
      [&](TFInstall& page) {
        Tick(page, 2);
        // The step of the shortcuts names the icon and each menu entry it could not write.
        ASSERT_EQ(dialogs_->messages.size(), 1u);
        const QStringList lines = dialogs_->messages[0].text.split('\r');
        ASSERT_EQ(lines.size(), 4) << dialogs_->messages[0].text.toStdString();
        EXPECT_TRUE(lines[0].contains(data + "/share/icons/hicolor/")) << lines[0].toStdString();
        for (const char* entry : {"Vandrel", "Ajuda", "Desinstalar Vandrel"}) {
          const QString file = "\"" + menu + "/" + entry + ".desktop\"";
          EXPECT_TRUE(dialogs_->messages[0].text.contains(file)) << entry;
        }
        for (const QString& line : lines)
          EXPECT_TRUE(line.endsWith("Disk full")) << line.toStdString();
        Tick(page, 4);
        // The document types cannot be written either: that step is reported and stops.
        ASSERT_EQ(dialogs_->messages.size(), 2u);
        EXPECT_TRUE(dialogs_->messages[1].text.contains(data + "/share/"))
            << dialogs_->messages[1].text.toStdString();
        EXPECT_TRUE(dialogs_->messages[1].text.endsWith("Disk full"))
            << dialogs_->messages[1].text.toStdString();
        for (const auto& m : dialogs_->messages)
          std::cout << "  reported: " << QString(m.text).replace('\r', " / ").toStdString() << "\n";
        std::cout << "  status: " << page.stAndamento->text().toStdString() << "\n";
        EXPECT_NE(page.stAndamento->text(), "Finished");
        EXPECT_EQ(page.stAndamento->text(), "Incomplete: some entries could not be written");
        EXPECT_TRUE(page.sbFinalizar->isEnabled());
      },
      Prog());
  // Nothing half written: no entry and no temporary file stays in the data folder.
  QDirIterator it(data + "/share", QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  QStringList left;
  while (it.hasNext()) left << it.next();
  EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
  // The desktop, which is elsewhere, has its entry.
  EXPECT_TRUE(QFileInfo::exists(Desktop() + "/Vandrel.desktop"));

  // Once there is room, installing again writes everything and finishes.
  QFile::remove(data + "/filler");
  dialogs_->messages.clear();
  RunInstall(
      [&](TFInstall& page) {
        Tick(page, 8);
        EXPECT_EQ(page.stAndamento->text(), "Finished");
      },
      Prog());
  EXPECT_TRUE(dialogs_->messages.empty()) << dialogs_->Texts().join('|').toStdString();
  for (const char* entry : {"Vandrel", "Ajuda", "Desinstalar Vandrel"})
    EXPECT_TRUE(QFileInfo(menu + "/" + entry + ".desktop").isFile()) << entry;
  EXPECT_TRUE(QFileInfo(data + "/share/icons/hicolor/48x48/apps/vandrel.png").isFile());
  EXPECT_TRUE(QFileInfo(data + "/share/applications/vandrel.desktop").isFile());
}

}  // namespace
