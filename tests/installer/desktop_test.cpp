// The installation as the desktop sees it, asked through the desktop's own tools in the
// test's home: the types of the documents and the programs that open them, entries that
// validate, a second installation that changes nothing but the shortcuts, and a histogram
// document opened the way a file manager opens it, in the real program.
#include <unistd.h>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <map>

#include "platform/Process.h"
#include "tests/installer/InstallerFixture.h"

using installer::testing::Install;

namespace {

class DesktopTools : public Install {
 protected:
  // The environment of the desktop's tools: the test's home, and no desktop session, so
  // that they read the freedesktop files themselves rather than ask a session's services.
  // `desktop` names the desktop the tools take themselves to run in ("GNOME": they ask
  // GLib's gio, as GNOME's file manager does); empty leaves them to their generic ways.
  static QProcessEnvironment Environment(const QString& desktop = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION",
                             "KDE_FULL_SESSION", "KDE_SESSION_VERSION", "GNOME_DESKTOP_SESSION_ID",
                             "XDG_DATA_DIRS", "XDG_CONFIG_DIRS", "DISPLAY", "WAYLAND_DISPLAY"})
      env.remove(name);
    if (!desktop.isEmpty()) env.insert("XDG_CURRENT_DESKTOP", desktop);
    return env;
  }
  static bool Installed(const char* tool) { return !vandrel::FindInPath(tool).empty(); }

  struct Run {
    int code = -1;
    QString out;
  };
  static Run Tool(const QString& program, const QStringList& arguments,
                  const QString& desktop = {}) {
    QProcess p;
    p.setProcessEnvironment(Environment(desktop));
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    Run run;
    if (!p.waitForFinished(60000)) {
      p.kill();
      p.waitForFinished();
      return run;
    }
    run.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAll()).trimmed();
    return run;
  }

  QString Applications() const { return Path("home/.local/share/applications"); }
  QStringList Entries() const {
    return {Desktop() + "/Vandrel.desktop", Menu() + "/Vandrel.desktop", Menu() + "/Ajuda.desktop",
            Menu() + "/Desinstalar Vandrel.desktop", Applications() + "/vandrel.desktop"};
  }
};

TEST_F(DesktopTools, DocumentsAreOfTheirTypesAndOpenWhereTheirClassesSay) {
  // The types are asked as GNOME asks them (gio): the generic way, through the mimetype
  // tool, lets the system's definitions win over the user's own.
  if (!Installed("xdg-mime") || !Installed("update-mime-database") || !Installed("gio"))
    GTEST_SKIP() << "xdg-mime, update-mime-database or gio is not installed";
  ProgramFiles();
  InstallAll();
  const struct {
    const char* extension;
    bool program, text;
  } types[] = {
      {"his", true, false},  {"pat", true, false},  {"lst", true, false},
      {"pcs", false, false}, {"als", false, false}, {"vol", false, true},
      {"err", false, true},  {"pac", false, true},  {"med", false, true},
  };
  // The database the desktop built from the definitions: which types are text.
  const QString subclasses = QString::fromUtf8(Read(Path("home/.local/share/mime/subclasses")));
  QDir().mkpath(Path("docs"));
  for (const auto& t : types) {
    SCOPED_TRACE(t.extension);
    const QString type = QString("application/x-vandrel-") + t.extension;
    // Documents as the program writes them: text, whatever their type. Letter case
    // does not matter in an extension.
    for (const QString& name :
         {QString("doc.") + t.extension, QString("DOC2.") + QString(t.extension).toUpper()}) {
      Write(Path("docs/" + name), "0 1.0000000000000000E+0000\n1 0\n");
      EXPECT_EQ(Tool("xdg-mime", {"query", "filetype", Path("docs/" + name)}, "GNOME").out, type)
          << name.toStdString();
    }
    EXPECT_EQ(Tool("xdg-mime", {"query", "default", type}).out, t.program ? "vandrel.desktop" : "");
    EXPECT_EQ(subclasses.contains(type + " text/plain\n"), t.text);
  }
}

TEST_F(DesktopTools, EntriesValidateAndTheMenusKnowTheProgramsTypes) {
  if (!Installed("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
  ProgramFiles();
  InstallAll();
  for (const QString& entry : Entries()) {
    const Run run = Tool("desktop-file-validate", {entry});
    EXPECT_EQ(run.code, 0) << entry.toStdString() << ": " << run.out.toStdString();
    EXPECT_FALSE(run.out.contains("error", Qt::CaseInsensitive)) << run.out.toStdString();
  }
  if (Installed("update-desktop-database")) {
    const QString cache = QString::fromUtf8(Read(Applications() + "/mimeinfo.cache"));
    for (const char* ext : {"his", "pat", "lst"})
      EXPECT_TRUE(cache.contains(QString("application/x-vandrel-%1=vandrel.desktop;").arg(ext)))
          << cache.toStdString();
  }
}

TEST_F(DesktopTools, SecondInstallationChangesNothingButTheShortcuts) {
  ProgramFiles();
  InstallAll();
  // Every file of the machine with its content and the moment it was last written.
  const auto snapshot = [this] {
    std::map<QString, std::pair<QByteArray, qint64>> files;
    QDirIterator it(temp_.path(), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString file = it.next();
      files[file] = {Read(file), QFileInfo(file).lastModified().toMSecsSinceEpoch()};
    }
    return files;
  };
  const auto before = snapshot();
  ASSERT_GT(before.size(), 20u);
  QThread::msleep(20);
  InstallAll("Outro Nome", "Outra");
  const auto after = snapshot();
  const QStringList shortcuts = Entries().mid(0, 4);
  ASSERT_EQ(after.size(), before.size());
  for (const auto& [file, was] : before) {
    SCOPED_TRACE(file.toStdString());
    ASSERT_EQ(after.count(file), 1u);
    const auto& now = after.at(file);
    EXPECT_EQ(now.first, was.first);
    // The shortcuts are written again; nothing else is touched.
    if (shortcuts.contains(file))
      EXPECT_GT(now.second, was.second);
    else
      EXPECT_EQ(now.second, was.second);
  }
  EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(DesktopTools, AClassTheDesktopCouldNotTakeIsTriedAgainByTheNextInstallation) {
  ProgramFiles();
  // Something in the place of the defaults file: the step fails, and is reported.
  const QString defaults = Path("home/.config/mimeapps.list");
  QDir().mkpath(defaults + "/kept");
  RunInstall([](TFInstall& page) { Tick(page, 6); }, Prog());
  ASSERT_EQ(dialogs_->messages.size(), 1u);
  EXPECT_TRUE(dialogs_->messages[0].text.contains(defaults))
      << dialogs_->messages[0].text.toStdString();
  EXPECT_TRUE(QDir(defaults + "/kept").exists());
  EXPECT_FALSE(vandrel::Registry(vandrel::RegRoot::HKEY_CLASSES_ROOT).KeyExists("VDHisto"));
  // Once the way is clear, installing again finishes the work.
  QDir(defaults).removeRecursively();
  dialogs_->messages.clear();
  InstallAll();
  EXPECT_TRUE(dialogs_->messages.empty());
  EXPECT_EQ(
      QString::fromUtf8(Read(defaults)),
      "[Default Applications]\napplication/x-vandrel-his=vandrel.desktop\n"
      "application/x-vandrel-pat=vandrel.desktop\napplication/x-vandrel-lst=vandrel.desktop\n");
  EXPECT_EQ(String(vandrel::RegRoot::HKEY_CLASSES_ROOT, ".his", ""), "VDHisto");
}

// An X server of its own for the test, on a free display it picks itself; without Xvfb the
// program draws off screen.
class Display {
 public:
  Display() {
    if (vandrel::FindInPath("Xvfb").empty()) return;
    server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    QElapsedTimer clock;
    clock.start();
    QByteArray out;
    while (!out.contains('\n') && clock.elapsed() < 20000 &&
           server_.state() != QProcess::NotRunning) {
      server_.waitForReadyRead(500);
      out += server_.readAllStandardOutput();
    }
    if (out.contains('\n')) name_ = ":" + QString::fromLatin1(out.trimmed());
  }
  ~Display() {
    if (server_.state() == QProcess::NotRunning) return;
    server_.terminate();
    if (!server_.waitForFinished(5000)) {
      server_.kill();
      server_.waitForFinished();
    }
  }
  QString Name() const { return name_; }

 private:
  QProcess server_;
  QString name_;
};

TEST_F(DesktopTools, AHistogramDocumentOpensInAHistogramWindowOfTheProgram) {
  if (!Installed("xdg-open") || !Installed("xdg-mime") || !Installed("mimetype") ||
      !Installed("update-mime-database"))
    GTEST_SKIP() << "xdg-utils, mimetype or update-mime-database is not installed";
  // The real program in the install folder, with a configuration that shows no about box.
  const QString program = QStringLiteral(VANDREL_PROGRAM_FILE);
  if (::link(QFile::encodeName(program).constData(),
             QFile::encodeName(Prog() + "/Vandrel").constData()) != 0) {
    ASSERT_TRUE(QFile::copy(program, Prog() + "/Vandrel"));
  }
  QDir().mkpath(Prog() + "/system");
  Write(Prog() + "/system/config.ini", "[caixa_sobre]\nmostrar_inicio=FALSE\n");
  Write(Prog() + "/Ajuda.hlp", "<html></html>");
  InstallAll();

  // A histogram document in a folder with blanks, as a user keeps them.
  QByteArray histogram;
  for (int level = 0; level < 256; ++level)
    histogram += QByteArray::number(level) + " " + (level == 100 ? "1" : "0") + "\n";
  QDir().mkpath(Path("home/Meus documentos"));
  const QString document = Path("home/Meus documentos/fase 1.his");
  Write(document, histogram);

  // The file manager's way: the document's default application, started from its entry.
  Display display;
  if (Installed("Xvfb")) {
    ASSERT_FALSE(display.Name().isEmpty()) << "Xvfb did not start";
  }
  QProcessEnvironment env = Environment();
  if (!display.Name().isEmpty()) {
    env.insert("DISPLAY", display.Name());
    env.insert("QT_QPA_PLATFORM", "xcb");
  } else {
    env.insert("QT_QPA_PLATFORM", "offscreen");
  }
  const QString report = Path("windows.txt");
  env.insert("QT_PLUGIN_PATH", VANDREL_PROBE_PLUGINS);
  env.insert("QT_QPA_GENERIC_PLUGINS", "vandrelprobe:" + report);
  QProcess open;
  open.setProcessEnvironment(env);
  open.setProcessChannelMode(QProcess::ForwardedChannels);
  open.start("xdg-open", {document});
  if (!open.waitForFinished(180000)) {
    open.kill();
    open.waitForFinished();
  }
  const QStringList lines = QString::fromUtf8(Read(report)).split('\n', Qt::SkipEmptyParts);
  ASSERT_FALSE(lines.isEmpty()) << "the program did not start from its entry";
  EXPECT_EQ(lines.last(), "end");
  EXPECT_TRUE(lines.contains("child TFormHistograma fase 1.his"))
      << lines.join(" | ").toStdString();
  EXPECT_TRUE(lines.contains("top TFormPrincipal Vandrel")) << lines.join(" | ").toStdString();
  // The document was read: no report of a file that could not be opened.
  for (const QString& line : lines)
    EXPECT_FALSE(line.startsWith("top QMessageBox")) << line.toStdString();
}

}  // namespace
