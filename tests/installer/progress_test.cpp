// The progress page driven from the first page's Install button: the steps on their
// ticks, what they leave on disk and in the registry store, a second installation, the
// registry cleaner, and the failures the steps meet.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <functional>

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
      [](TFInstall& page) {
        EXPECT_EQ(page.InstallFolder, "/some/where");
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
      "/some/where", "Zé", "Lab");
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
  QDir(Prog()).removeRecursively();  // the install folder itself is made when missing
  InstallAll();
  for (const char* sub : {"", "/fases", "/padroes", "/resultados", "/imagens", "/temp", "/saves"})
    EXPECT_TRUE(QDir(Prog() + sub).exists()) << sub;
  for (const char* sub : {"/system", "/listaimagens"}) EXPECT_FALSE(QDir(Prog() + sub).exists());
  EXPECT_TRUE(QDir(Path("windows/Menu Iniciar/Programas/Vandrel")).exists());
  EXPECT_TRUE(QDir(Menu()).exists());

  // No program file was in place: every link opens a file to come through the desktop.
  const QString open = "Exec=xdg-open " + Prog();
  EXPECT_EQ(Read(Desktop() + "/Vandrel.desktop"),
            "[Desktop Entry]\nType=Application\nName=Vandrel\n" + open + "/Vandrel\n");
  EXPECT_EQ(Read(Menu() + "/Ajuda.desktop"),
            "[Desktop Entry]\nType=Application\nName=Ajuda\n" + open + "/Ajuda.hlp\n");
}

TEST_F(Install, ShortcutsToTheProgramStartItInTheInstallFolder) {
  ProgramFiles();
  InstallAll();
  const QByteArray program =
      "[Desktop Entry]\nType=Application\nName=Vandrel\nExec=" + Prog().toUtf8() +
      "/Vandrel\nPath=" + Prog().toUtf8() + "\nIcon=vandrel\n";
  EXPECT_EQ(Read(Desktop() + "/Vandrel.desktop"), program);
  EXPECT_EQ(Read(Menu() + "/Vandrel.desktop"), program);
  // The help opens through the desktop, as an application entry that menus show.
  EXPECT_EQ(Read(Menu() + "/Ajuda.desktop"),
            "[Desktop Entry]\nType=Application\nName=Ajuda\nExec=xdg-open " + Prog().toUtf8() +
                "/Ajuda.hlp\n");
  EXPECT_EQ(Read(Menu() + "/Desinstalar Vandrel.desktop"),
            "[Desktop Entry]\nType=Application\nName=Desinstalar Vandrel\nExec=xdg-open " +
                Prog().toUtf8() + "/uninstall\n");
  EXPECT_EQ(QDir(Menu()).entryList(QDir::Files).size(), 3);
  EXPECT_EQ(QDir(Desktop()).entryList(QDir::Files).size(), 1);
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
  ProgramFiles();
  InstallAll();
  const QByteArray store = Read(Path("registry.ini"));
  ASSERT_FALSE(store.isEmpty());
  Write(Prog() + "/fases/kept.his", "1");
  QFile::remove(Desktop() + "/Vandrel.desktop");
  Write(Menu() + "/Ajuda.desktop", "changed");
  const QByteArray help = "[Desktop Entry]\nType=Application\nName=Ajuda\nExec=xdg-open " +
                          Prog().toUtf8() + "/Ajuda.hlp\n";

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
        EXPECT_EQ(page.stAndamento->text(), "Making Reg Entries...");
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
  ProgramFiles();
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
    ProgramFiles();
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

}  // namespace
