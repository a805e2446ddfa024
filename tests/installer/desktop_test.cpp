// The installation as the desktop sees it, asked through the desktop's own tools in the
// test's home: the types of the documents and the programs that open them, entries that
// validate, a second installation that changes nothing but the shortcuts, and a histogram
// document opened the way a file manager opens it, in the real program.
#include <unistd.h>

#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <QXmlStreamReader>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

#include "platform/Process.h"
#include "tests/installer/InstallerFixture.h"

using installer::testing::Install;

namespace {

// The nine document types: which of them the program opens, which the user's text editor.
const struct DocumentType {
  const char* extension;
  bool program, text;
} kTypes[] = {
    {"his", true, false},  {"pat", true, false},  {"lst", true, false},
    {"pcs", false, false}, {"als", false, false}, {"vol", false, true},
    {"err", false, true},  {"pac", false, true},  {"med", false, true},
};

QString OurType(const char* extension) { return QString("application/x-vandrel-") + extension; }

class DesktopTools : public Install {
 protected:
  // Installed where a user may well put it: a folder whose names hold blanks and accents.
  DesktopTools() { installFolder_ = "Meus Programas/Vandrel Análise"; }

  // The environment of the desktop's tools: the test's home and no desktop session, so that
  // they read the freedesktop files themselves rather than ask a session's services.
  // `desktop` names the desktop the tools take themselves to run in: "GNOME" (they ask
  // GLib's gio, as GNOME's file manager does) or "KDE"; empty leaves them to their generic
  // ways, as in a session of a bare window manager.
  QProcessEnvironment Environment(const QString& desktop = {}) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION",
          "KDE_FULL_SESSION", "KDE_SESSION_VERSION", "GNOME_DESKTOP_SESSION_ID", "XDG_MENU_PREFIX",
          "XDG_DATA_DIRS", "XDG_CONFIG_DIRS", "DISPLAY", "WAYLAND_DISPLAY", "BROWSER"})
      env.remove(name);
    if (!desktop.isEmpty()) env.insert("XDG_CURRENT_DESKTOP", desktop);
    if (desktop == "KDE") env.insert("KDE_FULL_SESSION", "true");
    for (auto it = extra_.begin(); it != extra_.end(); ++it) env.insert(it.key(), it.value());
    return env;
  }
  static bool Installed(const char* tool) { return !vandrel::FindInPath(tool).empty(); }

  struct Run {
    int code = -1;
    QString out;
  };
  Run Tool(const QString& program, const QStringList& arguments,
           const QString& desktop = {}) const {
    QProcess p;
    p.setProcessEnvironment(Environment(desktop));
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    Run run;
    if (!p.waitForFinished(-1)) return run;
    run.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAll()).trimmed();
    return run;
  }
  // Only the first line: the generic type tool adds warnings of its own after it.
  QString FirstLine(const Run& run) const { return run.out.section('\n', 0, 0).trimmed(); }

  QString Applications() const { return Path("home/.local/share/applications"); }
  QStringList Entries() const {
    return {Desktop() + "/Vandrel.desktop", Menu() + "/Vandrel.desktop", Menu() + "/Ajuda.desktop",
            Menu() + "/Desinstalar Vandrel.desktop", Applications() + "/vandrel.desktop"};
  }

  // Stand-ins that note how they were started, one line each in Marks(): the program in
  // the install folder ("Vandrel", its own folder as it finds it, its argument), its
  // uninstaller, and the user's text editor and HTML viewer, the defaults of their types
  // (a user's own choice, there before the installation).
  void StandIns() {
    ProgramFiles();
    const QString marks = Marks();
    QDir().mkpath(Path("bin"));
    // The whole line in one write, so that a reader never meets half of it.
    Write(Path("bin/mark"),
          "#!/bin/sh\nline=\nfor a in \"$@\"; do line=\"$line$a|\"; done\nprintf '%s\\n' \"$line\" "
          ">> '" +
              marks.toUtf8() + "'\n",
          true);
    ProgramStandIn(Prog());
    Write(Prog() + "/uninstall",
          "#!/bin/sh\n'" + Path("bin/mark").toUtf8() + "' uninstall \"$@\"\n", true);
    QDir().mkpath(Applications());
    for (const auto& [name, type] :
         {std::pair<const char*, const char*>{"editor", "text/plain"}, {"viewer", "text/html"}})
      Write(Applications() + "/" + name + ".desktop",
            QString("[Desktop Entry]\nType=Application\nName=%1\nExec=%2 %1 %f\nMimeType=%3;\n")
                .arg(name, Path("bin/mark"), type)
                .toUtf8());
    QDir().mkpath(Path("home/.config"));
    Write(Path("home/.config/mimeapps.list"),
          "[Default Applications]\ntext/plain=editor.desktop\ntext/html=viewer.desktop\n");
    // What generic xdg-open falls back to when nothing else opens a file.
    extra_["BROWSER"] = Path("bin/mark") + " fallback";
    // Generic xdg-open asks the type of a file only when there is a display to show it on;
    // the stand-ins need none.
    extra_["DISPLAY"] = ":424242";
  }
  // The program's stand-in in `folder`: it marks the folder it finds itself in.
  void ProgramStandIn(const QString& folder) {
    QDir().mkpath(folder);
    Write(folder + "/Vandrel",
          "#!/bin/sh\n'" + Path("bin/mark").toUtf8() +
              "' Vandrel \"$(dirname \"$(readlink -f \"$0\")\")\" \"$@\"\n",
          true);
  }
  QString Marks() const { return Path("marks.txt"); }
  // The lines marked since the last call; a program that the desktop started in the
  // background is waited for. Nothing tells when it has run but its mark, so the file is
  // looked at until the mark is there, however long that takes.
  QStringList TakeMarks(bool expected) {
    QByteArray text = Read(Marks());
    // A line is whole once its line end is written. On a loaded machine a desktop tool may
    // take long to start what it starts: the mark is waited for, however long it takes.
    while (expected && !text.endsWith('\n')) {
      QThread::msleep(20);
      text = Read(Marks());
    }
    QStringList lines = QString::fromUtf8(text).split('\n', Qt::SkipEmptyParts);
    QFile::remove(Marks());
    return lines;
  }

  // The type the generic tool (`mimetype`, which generic xdg-mime asks) gives a name when
  // the user has no types of their own: the system's.
  QString SystemsType(const QString& name) const {
    QProcess p;
    QProcessEnvironment env = Environment();
    env.insert("HOME", Path("empty"));
    env.insert("XDG_DATA_HOME", Path("empty/data"));
    p.setProcessEnvironment(env);
    p.start("mimetype", {"--brief", Path("nowhere/" + name)});
    p.waitForFinished(-1);
    return QString::fromUtf8(p.readAllStandardOutput()).section('\n', 0, 0).trimmed();
  }

  QMap<QString, QString> extra_;
};

TEST_F(DesktopTools, DocumentsAreOfTheirTypesInEverySession) {
  if (!Installed("xdg-mime") || !Installed("update-mime-database") || !Installed("gio") ||
      !Installed("mimetype"))
    GTEST_SKIP() << "xdg-mime, update-mime-database, gio or mimetype is not installed";
  StandIns();
  InstallAll();
  // The database the desktop built from the definitions: which types are text.
  const QString subclasses = QString::fromUtf8(Read(Path("home/.local/share/mime/subclasses")));
  QDir().mkpath(Path("docs/Meus documentos"));
  for (const auto& t : kTypes) {
    SCOPED_TRACE(t.extension);
    const QString type = OurType(t.extension);
    // Documents as the program writes them: text, whatever their type. Letter case
    // does not matter in an extension.
    for (const QString& name :
         {QString("doc 1.") + t.extension, QString("DOC2.") + QString(t.extension).toUpper()}) {
      const QString document = Path("docs/Meus documentos/" + name);
      Write(document, "0 1.0000000000000000E+0000\n1 0\n");
      // GNOME's gio and a KDE session's type database take the user's types.
      EXPECT_EQ(FirstLine(Tool("xdg-mime", {"query", "filetype", document}, "GNOME")), type)
          << name.toStdString();
      EXPECT_EQ(FirstLine(Tool(VANDREL_MIME_TYPE_OF, {document}, "KDE")), type)
          << name.toStdString();
      // The generic tool lets the system's type of an extension win over the user's, so
      // only an extension the system does not know is the program's there (".pat" stays
      // GIMP's patterns, ".med" a music module); the next test shows those still open.
      const QString system = SystemsType(name);
      EXPECT_EQ(FirstLine(Tool("xdg-mime", {"query", "filetype", document})),
                system.isEmpty() ? type : system)
          << name.toStdString();
      std::cout
          << "  " << name.toStdString() << ": generic "
          << FirstLine(Tool("xdg-mime", {"query", "filetype", document})).toStdString()
          << ", GNOME "
          << FirstLine(Tool("xdg-mime", {"query", "filetype", document}, "GNOME")).toStdString()
          << "\n";
    }
    for (const QString desktop : {"", "GNOME", "KDE"})
      EXPECT_EQ(Tool("xdg-mime", {"query", "default", type}, desktop).out,
                t.program ? "vandrel.desktop" : "")
          << desktop.toStdString();
    EXPECT_EQ(subclasses.contains(type + " text/plain\n"), t.text);
  }
  // The help file is HTML to every tool, whatever its extension says elsewhere.
  for (const QString desktop : {"", "GNOME"})
    EXPECT_EQ(FirstLine(Tool("xdg-mime", {"query", "filetype", Prog() + "/Ajuda.hlp"}, desktop)),
              "text/html")
        << desktop.toStdString();
  EXPECT_EQ(FirstLine(Tool(VANDREL_MIME_TYPE_OF, {Prog() + "/Ajuda.hlp"}, "KDE")), "text/html");
}

TEST_F(DesktopTools, DocumentsOpenWhereTheirClassesSayFromAFolderWithBlanks) {
  if (!Installed("xdg-open") || !Installed("xdg-mime") || !Installed("update-mime-database") ||
      !Installed("update-desktop-database") || !Installed("gio") || !Installed("mimetype"))
    GTEST_SKIP() << "xdg-utils, gio, mimetype or the database tools are not installed";
  StandIns();
  InstallAll();
  QDir().mkpath(Path("docs/Meus documentos"));
  for (const QString desktop : {"", "GNOME"}) {
    for (const auto& t : kTypes) {
      const QString name = QString("doc 1.") + t.extension;
      SCOPED_TRACE((desktop.isEmpty() ? "generic " : desktop + " ").toStdString() + t.extension);
      const QString document = Path("docs/Meus documentos/" + name);
      Write(document, "0 1\n");
      // A text type that the generic tool gives to a type of the system's opens with what
      // opens that type; nothing of ours chooses it.
      if (desktop.isEmpty() && t.text && !SystemsType(name).isEmpty()) continue;
      const Run run = Tool("xdg-open", {document}, desktop);
      const QStringList marks = TakeMarks(t.program || t.text);
      std::cout << "  " << (desktop.isEmpty() ? "generic" : "GNOME") << " xdg-open "
                << name.toStdString() << ": exit " << run.code << ", "
                << marks.join(" / ").toStdString() << "\n";
      if (t.program) {
        EXPECT_EQ(run.code, 0) << run.out.toStdString();
        // The program itself, in the install folder, with the document.
        EXPECT_EQ(marks, QStringList{"Vandrel|" + Prog() + "|" + document + "|"})
            << run.out.toStdString();
      } else if (t.text) {
        EXPECT_EQ(run.code, 0) << run.out.toStdString();
        EXPECT_EQ(marks, QStringList{"editor|" + document + "|"}) << run.out.toStdString();
      } else {
        // Nothing is registered to open it: neither the program nor the text editor.
        for (const QString& mark : marks)
          EXPECT_FALSE(mark.startsWith("Vandrel|") || mark.startsWith("editor|"))
              << mark.toStdString();
      }
    }
  }
}

TEST_F(DesktopTools, TheShortcutsStartWhatTheyNameInEverySession) {
  if (!Installed("gio") || !Installed("xdg-open") || !Installed("mimetype"))
    GTEST_SKIP() << "gio, xdg-open or mimetype is not installed";
  StandIns();
  InstallAll();
  const QString help = Prog() + "/Ajuda.hlp";
  const struct {
    QString entry;
    QString mark;
  } shortcuts[] = {
      {Desktop() + "/Vandrel.desktop", "Vandrel|" + Prog() + "|"},
      {Menu() + "/Vandrel.desktop", "Vandrel|" + Prog() + "|"},
      // The help opens in the user's HTML viewer.
      {Menu() + "/Ajuda.desktop", "viewer|" + help + "|"},
      {Menu() + "/Desinstalar Vandrel.desktop", "uninstall|"},
  };
  for (const QString desktop : {"", "GNOME"}) {
    for (const auto& s : shortcuts) {
      SCOPED_TRACE((desktop + " " + s.entry).toStdString());
      const Run run = Tool("gio", {"launch", s.entry}, desktop);
      EXPECT_EQ(run.code, 0) << run.out.toStdString();
      EXPECT_EQ(TakeMarks(true), QStringList{s.mark});
    }
  }
}

TEST_F(DesktopTools, EntriesValidateAndTheMenusKnowTheProgramsTypes) {
  if (!Installed("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
  Uninstaller();
  InstallAll();
  for (const QString& entry : Entries()) {
    const Run run = Tool("desktop-file-validate", {entry});
    EXPECT_EQ(run.code, 0) << entry.toStdString() << ": " << run.out.toStdString();
    // Not even a hint: one main category, so that the menus list the program once.
    EXPECT_EQ(run.out, "") << run.out.toStdString();
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
  // Every file dated an hour back, so that a file written again shows by its date however
  // close together the two installations run.
  QDirIterator files(temp_.path(), QDir::Files | QDir::Hidden | QDir::System,
                     QDirIterator::Subdirectories);
  while (files.hasNext()) {
    const std::filesystem::path file = QFile::encodeName(files.next()).toStdString();
    std::filesystem::last_write_time(
        file, std::filesystem::last_write_time(file) - std::chrono::hours(1));
  }
  const auto before = snapshot();
  ASSERT_GT(before.size(), 20u);
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
  // (Types of the system's that the generic tool gives these extensions may follow.)
  EXPECT_TRUE(QString::fromUtf8(Read(defaults))
                  .startsWith("[Default Applications]\napplication/x-vandrel-his=vandrel.desktop\n"
                              "application/x-vandrel-pat=vandrel.desktop\n"
                              "application/x-vandrel-lst=vandrel.desktop\n"))
      << Read(defaults).toStdString();
  EXPECT_EQ(String(vandrel::RegRoot::HKEY_CLASSES_ROOT, ".his", ""), "VDHisto");
}

// An X server of its own for the test, on a free display it picks itself; without Xvfb the
// program draws off screen.
class Display {
 public:
  Display() {
    if (vandrel::FindInPath("Xvfb").empty()) return;
    server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                           "-noreset"});
    // The server writes its display once it is ready, or ends.
    QByteArray out;
    while (!out.contains('\n') && server_.waitForReadyRead(-1))
      out += server_.readAllStandardOutput();
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
  QFile::remove(Prog() + "/Vandrel");
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
  open.waitForFinished(-1);
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

// The pixels in which two pictures of one size differ by more than a little (a pixel drawn
// from the same shapes at another size, or scaled, differs a little on the edges).
int DifferingPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return a.width() * a.height() + 1;
  const QImage x = a.convertToFormat(QImage::Format_ARGB32);
  const QImage y = b.convertToFormat(QImage::Format_ARGB32);
  int off = 0;
  for (int row = 0; row < x.height(); ++row)
    for (int col = 0; col < x.width(); ++col) {
      const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
      off += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                 std::abs(qBlue(p) - qBlue(q)) >
             48;
    }
  return off;
}

// What the desktop tools do with the entries and documents, on an X display of the test's
// own (XFCE's exo-open and GTK's gtk-launch need one).
class OnADisplay : public DesktopTools {
 protected:
  void SetUp() override {
    DesktopTools::SetUp();
    if (vandrel::FindInPath("Xvfb").empty()) GTEST_SKIP() << "Xvfb is not installed";
    display_ = std::make_unique<Display>();
    ASSERT_FALSE(display_->Name().isEmpty()) << "Xvfb did not start";
    StandIns();
    extra_["DISPLAY"] = display_->Name();
  }
  // Runs `tool` with `arguments` in `desktop`'s session and gives what it started.
  QString Started(const QString& tool, const QStringList& arguments, const QString& desktop,
                  bool expected = true) {
    const Run run = Tool(tool, arguments, desktop);
    const QString marks = TakeMarks(expected).join(" / ");
    return run.code == 0 ? marks : QString("exit %1 %2").arg(run.code).arg(run.out);
  }
  std::unique_ptr<Display> display_;
};

TEST_F(OnADisplay, EveryEntryStartsWhatItNamesOnAnXfceDesktopAndThroughGtkLaunch) {
  if (!Installed("exo-open") || !Installed("gtk-launch"))
    GTEST_SKIP() << "exo-open (exo-utils) or gtk-launch is not installed";
  InstallAll();
  QDir().mkpath(Path("docs/Meus documentos"));
  const QString document = Path("docs/Meus documentos/fase 1.his");
  const QString text = Path("docs/Meus documentos/fase 1.vol");
  Write(document, "0 1\n");
  Write(text, "0 1\n");
  const QString help = Prog() + "/Ajuda.hlp";
  const QString program = "Vandrel|" + Prog() + "|";
  // The entry (or its desktop file ID), the document it is given, and what must start.
  const struct {
    QString tool, entry, document, started;
  } cases[] = {
      {"exo-open", Desktop() + "/Vandrel.desktop", "", program},
      {"exo-open", Menu() + "/Vandrel.desktop", "", program},
      {"exo-open", Menu() + "/Ajuda.desktop", "", "viewer|" + help + "|"},
      {"exo-open", Menu() + "/Desinstalar Vandrel.desktop", "", "uninstall|"},
      {"exo-open", document, "", program + document + "|"},
      {"exo-open", text, "", "editor|" + text + "|"},
      {"gtk-launch", "Vandrel-Vandrel", "", program},
      {"gtk-launch", "Vandrel-Ajuda", "", "viewer|" + help + "|"},
      {"gtk-launch", "Vandrel-Desinstalar Vandrel", "", "uninstall|"},
      {"gtk-launch", "vandrel", document, program + document + "|"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE((c.tool + " " + c.entry).toStdString());
    QStringList arguments{c.entry};
    if (!c.document.isEmpty()) arguments << c.document;
    const QString started = Started(c.tool, arguments, "XFCE");
    std::cout << "  " << c.tool.toStdString() << " " << QFileInfo(c.entry).fileName().toStdString()
              << (c.document.isEmpty() ? "" : " " + QFileInfo(c.document).fileName().toStdString())
              << ": " << started.toStdString() << "\n";
    EXPECT_EQ(started, c.started);
  }
}

TEST_F(OnADisplay, ALaterInstallationFromAnotherFolderTakesTheDocumentsWithIt) {
  if (!Installed("xdg-open") || !Installed("gio") || !Installed("update-desktop-database"))
    GTEST_SKIP() << "xdg-utils, gio or update-desktop-database is not installed";
  InstallAll();
  // A second copy, installed from its own folder; then the first is deleted.
  const QString second = Path("Outros Programas/Vandrel Nova");
  ProgramStandIn(second);
  Write(second + "/Ajuda.hlp", "<html></html>");
  RunInstall([](TFInstall& page) { Tick(page, 8); }, second);
  EXPECT_TRUE(dialogs_->messages.empty()) << dialogs_->Texts().join('|').toStdString();
  QDir(Prog()).removeRecursively();
  QDir().mkpath(Path("docs"));
  const QString document = Path("docs/fase 1.his");
  Write(document, "0 1\n");
  const QString program = "Vandrel|" + second + "|";
  // Documents and entries alike start the copy that is there, in every session.
  std::vector<std::pair<QString, QStringList>> runs = {
      {"xdg-open", {document}},
      {"gio", {"open", document}},
      {"gio", {"launch", Menu() + "/Vandrel.desktop"}}};
  if (Installed("exo-open")) runs.push_back({"exo-open", {document}});
  for (const QString desktop : {"", "GNOME", "XFCE"}) {
    for (const auto& [tool, arguments] : runs) {
      if (tool == "exo-open" && desktop != "XFCE") continue;
      SCOPED_TRACE((desktop + " " + tool + " " + arguments.join(' ')).toStdString());
      const bool withDocument = arguments.contains(document);
      EXPECT_EQ(Started(tool, arguments, desktop), program + (withDocument ? document + "|" : ""));
    }
  }
  const QString entry = QString::fromUtf8(Read(Applications() + "/vandrel.desktop"));
  EXPECT_TRUE(entry.contains("\nTryExec=" + second + "/Vandrel\n")) << entry.toStdString();
  EXPECT_FALSE(entry.contains(Prog())) << entry.toStdString();
}

TEST_F(OnADisplay, TheIconResolvesInTheIconThemeAtEverySize) {
  InstallAll();
  const QString theme = Path("home/.local/share/icons/hicolor");
  // The folders that the system's hicolor theme declares: what every desktop looks in.
  QStringList declared;
  for (const QString& line :
       QString::fromUtf8(Read("/usr/share/icons/hicolor/index.theme")).split('\n'))
    if (line.startsWith("Directories=")) declared = line.mid(12).split(',', Qt::SkipEmptyParts);
  const int sizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
  for (int size : sizes) {
    SCOPED_TRACE(size);
    const QString folder = QString("%1x%1/apps").arg(size);
    const QImage file(theme + "/" + folder + "/vandrel.png");
    ASSERT_FALSE(file.isNull());
    EXPECT_EQ(file.size(), QSize(size, size));
    if (!declared.isEmpty()) {
      EXPECT_TRUE(declared.contains(folder));
    }
    // A Qt program in the user's session finds it under the entries' icon name.
    QProcess probe;
    QProcessEnvironment env = Environment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    probe.setProcessEnvironment(env);
    const QString out = Path(QString("icon%1.png").arg(size));
    probe.start(VANDREL_ICON_OF, {"vandrel", QString::number(size), out});
    ASSERT_TRUE(probe.waitForFinished(-1));
    ASSERT_EQ(probe.exitCode(), 0) << "the theme has no icon \"vandrel\"";
    const int off = DifferingPixels(QImage(out), file);
    std::cout << "  vandrel at " << size << ": " << off << " pixels differ from the file\n";
    EXPECT_LE(off, size * size / 10);
  }
  // The scalable one is the same picture: drawn from its own shapes it matches the largest.
  const QByteArray svg = Read(theme + "/scalable/apps/vandrel.svg");
  ASSERT_FALSE(svg.isEmpty());
  if (!declared.isEmpty()) {
    EXPECT_TRUE(declared.contains("scalable/apps"));
  }
  QImage drawn(256, 256, QImage::Format_ARGB32);
  {
    QXmlStreamReader xml(svg);
    QPainter p(&drawn);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    int shapes = 0;
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      const auto a = xml.attributes();
      const auto number = [&](const char* name) { return a.value(name).toDouble() * 256 / 96; };
      if (xml.name() == u"svg") {
        EXPECT_EQ(a.value("viewBox"), u"0 0 96 96");
      } else if (xml.name() == u"rect" && a.hasAttribute("fill")) {
        p.fillRect(drawn.rect(), QColor(a.value("fill").toString()));
        ++shapes;
      } else if (xml.name() == u"ellipse") {
        p.setBrush(QColor(a.value("fill").toString()));
        p.drawEllipse(QPointF(number("cx"), number("cy")), number("rx"), number("ry"));
        ++shapes;
      }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(shapes, 2);
  }
  const QImage largest =
      QImage(theme + "/256x256/apps/vandrel.png").convertToFormat(QImage::Format_ARGB32);
  EXPECT_LT(DifferingPixels(drawn, largest), 256 * 256 / 100);
  // Installing again writes no icon twice.
  const QDateTime written = QFileInfo(theme + "/48x48/apps/vandrel.png").lastModified();
  QThread::msleep(20);
  InstallAll();
  EXPECT_EQ(QFileInfo(theme + "/48x48/apps/vandrel.png").lastModified(), written);
}

}  // namespace
