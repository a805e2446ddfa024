// Document types registered with the desktop in a fresh home: the type definitions, the
// program's entry and its defaults, what a user already has in those files, and the
// refresh of the desktop's databases.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/DesktopTypes.h"
#include "platform/Errors.h"

namespace fs = std::filesystem;
using vandrel::DesktopMimeType;
using vandrel::RegisterDesktopFileType;

namespace {

class DesktopTypes : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vandrel-types-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    // Only the home folder exists, as on an account that never ran a desktop.
    fs::create_directories(root_ / "home");
    Save("HOME", (root_ / "home").string());
    Save("XDG_DATA_HOME", (root_ / "home/.local/share").string());
    Save("XDG_CONFIG_HOME", (root_ / "home/.config").string());
    Save("PATH", (root_ / "bin").string());  // no desktop tools unless a test puts them
  }
  void TearDown() override {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second)
        setenv(it->first.c_str(), it->second->c_str(), 1);
      else
        unsetenv(it->first.c_str());
    }
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  void Save(const std::string& name, const std::string& value) {
    const char* old = getenv(name.c_str());
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    setenv(name.c_str(), value.c_str(), 1);
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
  fs::path Data() const { return root_ / "home/.local/share"; }
  fs::path MimeApps() const { return root_ / "home/.config/mimeapps.list"; }
  fs::path Entry() const { return Data() / "applications/vandrel.desktop"; }
  std::string MimeTypeLine() const {
    std::istringstream in(Read(Entry()));
    for (std::string line; std::getline(in, line);)
      if (line.rfind("MimeType=", 0) == 0) return line.substr(9);
    return "<none>";
  }

  fs::path root_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(DesktopMimeType, OneTypePerExtension) {
  EXPECT_EQ(DesktopMimeType(".his"), "application/x-vandrel-his");
  EXPECT_EQ(DesktopMimeType("PAT"), "application/x-vandrel-pat");
  EXPECT_EQ(DesktopMimeType(".MED"), "application/x-vandrel-med");
}

TEST_F(DesktopTypes, EachClassGetsItsTypeAndTheProgramItsDocuments) {
  const std::string program = "/opt/Meu Prog/Vandrel";
  const struct {
    const char* extension;
    const char* description;
    std::string command;
    bool text, program;
  } classes[] = {
      {".his", "Histograma", program + " %1", false, true},
      {".pcs", "Paleta de Cores", "", false, false},
      {".vol", "Fração Volumétrica", "notepad %1", true, false},
      {".pat", "Arquivo <de> Padrão & cia", program + " %1", false, true},
  };
  for (const auto& c : classes) RegisterDesktopFileType(c.extension, c.description, c.command);

  std::string mimeapps = "[Default Applications]\n", listed;
  for (const auto& c : classes) {
    const std::string ext = std::string(c.extension).substr(1),
                      type = "application/x-vandrel-" + ext;
    std::string description = c.description;
    for (auto [from, to] :
         {std::pair<std::string, std::string>{"&", "&amp;"}, {"<", "&lt;"}, {">", "&gt;"}})
      for (size_t at = description.find(from); at != std::string::npos;
           at = description.find(from, at + to.size()))
        description.replace(at, from.size(), to);
    EXPECT_EQ(Read(Data() / ("mime/packages/vandrel-" + ext + ".xml")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
              "  <mime-type type=\"" +
                  type + "\">\n    <comment>" + description + "</comment>\n" +
                  (c.text ? "    <sub-class-of type=\"text/plain\"/>\n" : "") +
                  "    <glob pattern=\"*." + ext +
                  "\" weight=\"60\"/>\n  </mime-type>\n</mime-info>\n")
        << ext;
    if (c.program) {
      listed += type + ";";
      mimeapps += type + "=vandrel.desktop\n";
    }
  }
  // The program's folder has a blank: the entry starts it through our link.
  EXPECT_EQ(Read(Entry()),
            "[Desktop Entry]\nType=Application\nName=Vandrel\nComment=Análise quantitativa das "
            "fases de materiais compostos em imagens de microscópio\nExec=" +
                (Data() / "vandrel/bin/Vandrel").string() +
                " %f\nTryExec=/opt/Meu Prog/Vandrel\nIcon=vandrel\nTerminal=false\n"
                "Categories=Science;ImageProcessing;\nStartupWMClass=Vandrel\nNoDisplay=true\n"
                "MimeType=" +
                listed + "\n");
  EXPECT_EQ(fs::read_symlink(Data() / "vandrel/bin/Vandrel"), program);
  // Only the program's documents get a default; text goes to the user's text editor.
  EXPECT_EQ(Read(MimeApps()), mimeapps);
}

TEST_F(DesktopTypes, RegisteringAgainListsATypeOnce) {
  RegisterDesktopFileType(".his", "Histograma", "/p/Vandrel %1");
  RegisterDesktopFileType(".lst", "Lista de Imagens", "/p/Vandrel %1");
  RegisterDesktopFileType(".his", "Histograma", "/q/Vandrel %1");
  EXPECT_EQ(MimeTypeLine(), "application/x-vandrel-his;application/x-vandrel-lst;");
  // The entry starts the program of the latest registration.
  EXPECT_NE(Read(Entry()).find("Exec=/q/Vandrel %f\n"), std::string::npos);
  EXPECT_EQ(Read(MimeApps()),
            "[Default Applications]\napplication/x-vandrel-his=vandrel.desktop\n"
            "application/x-vandrel-lst=vandrel.desktop\n");
}

TEST_F(DesktopTypes, TheUsersOwnDefaultsAreKept) {
  const struct {
    const char* what;
    std::string before, after;
  } cases[] = {
      {"other groups and defaults stay, the type's default is replaced",
       "# mine\n[Added Associations]\ntext/plain=gedit.desktop;\n\n[Default Applications]\n"
       "image/png=gimp.desktop\napplication/x-vandrel-his=other.desktop\n\n[Removed "
       "Associations]\nx/y=z.desktop\n",
       "# mine\n[Added Associations]\ntext/plain=gedit.desktop;\n\n[Default Applications]\n"
       "image/png=gimp.desktop\napplication/x-vandrel-his=vandrel.desktop\n\n[Removed "
       "Associations]\nx/y=z.desktop\n"},
      {"the default goes at the end of its group, before the blank line",
       "[Default Applications]\nimage/png=gimp.desktop\n\n[Added Associations]\na/b=c.desktop\n",
       "[Default Applications]\nimage/png=gimp.desktop\napplication/x-vandrel-his=vandrel.desktop\n"
       "\n[Added Associations]\na/b=c.desktop\n"},
      {"a missing group is added after what is there", "[Added Associations]\na/b=c.desktop\n",
       "[Added Associations]\na/b=c.desktop\n\n[Default Applications]\n"
       "application/x-vandrel-his=vandrel.desktop\n"},
      {"a last line without its line end", "[Default Applications]\nimage/png=gimp.desktop",
       "[Default "
       "Applications]\nimage/png=gimp.desktop\napplication/x-vandrel-his=vandrel.desktop\n"},
  };
  for (const auto& c : cases) {
    Write(MimeApps(), c.before);
    RegisterDesktopFileType(".his", "Histograma", "/p/Vandrel %1");
    EXPECT_EQ(Read(MimeApps()), c.after) << c.what;
  }
}

TEST_F(DesktopTypes, AFileThatCannotBeReadIsNeverReplaced) {
  // A folder where the defaults file goes, and one where the program's entry goes: the
  // registration fails with an error, and leaves them as they are.
  fs::create_directories(MimeApps() / "kept");
  EXPECT_THROW(RegisterDesktopFileType(".his", "Histograma", "/p/Vandrel %1"),
               vandrel::EInOutError);
  EXPECT_TRUE(fs::is_directory(MimeApps() / "kept"));
  fs::remove_all(MimeApps());
  fs::remove_all(Entry());
  fs::create_directories(Entry() / "kept");
  EXPECT_THROW(RegisterDesktopFileType(".his", "Histograma", "/p/Vandrel %1"),
               vandrel::EInOutError);
  EXPECT_TRUE(fs::is_directory(Entry() / "kept"));
  // A file in the place of the data folder.
  fs::remove_all(root_ / "home");
  Write(root_ / "home/.local", "file");
  EXPECT_THROW(RegisterDesktopFileType(".vol", "Fração", "notepad %1"), vandrel::EInOutError);
}

TEST_F(DesktopTypes, AProgramWhosePathNeedsQuotingIsStartedThroughALink) {
  // The desktop's generic opener reads Exec itself, a word at a time: the entry names the
  // program by a path that needs no quoting, a link of ours where the program's own does.
  const fs::path link = Data() / "vandrel/bin/Vandrel";
  const struct {
    const char* what;
    std::string program;
    std::function<void()> before;
    std::string exec;  // the entry's Exec, "<link>" for the link's path
    std::string target;
  } cases[] = {
      {"a plain path is named as it is", "/opt/Prog/Vandrel", [] {}, "/opt/Prog/Vandrel %f", ""},
      {"blanks and accents", "/x/Meus Programas/Vandrel Análise/Vandrel", [] {}, "<link> %f",
       "/x/Meus Programas/Vandrel Análise/Vandrel"},
      {"installed again elsewhere: the link follows", "/y/Outro $dir/Vandrel", [] {}, "<link> %f",
       "/y/Outro $dir/Vandrel"},
      {"a file of the user's where the link goes stays", "/x/Meus Programas/Vandrel",
       [&] {
         fs::remove(link);
         Write(link, "mine");
       },
       "\"/x/Meus Programas/Vandrel\" %f", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.before();
    RegisterDesktopFileType(".his", "Histograma", c.program + " %1");
    std::string exec = c.exec;
    if (exec.rfind("<link>", 0) == 0) exec.replace(0, 6, link.string());
    EXPECT_NE(Read(Entry()).find("\nExec=" + exec + "\n"), std::string::npos) << Read(Entry());
    if (!c.target.empty()) {
      EXPECT_EQ(fs::read_symlink(link), c.target);
    }
  }
  EXPECT_EQ(Read(link), "mine");
  // A data folder whose own path needs quoting gives no link: the program is quoted.
  fs::remove_all(root_ / "home");
  Save("XDG_DATA_HOME", (root_ / "home/my data").string());
  RegisterDesktopFileType(".his", "Histograma", "/x/a b/Vandrel %1");
  EXPECT_NE(Read(root_ / "home/my data/applications/vandrel.desktop")
                .find("\nExec=\"/x/a b/Vandrel\" %f\n"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(root_ / "home/my data/vandrel/bin"));
}

TEST_F(DesktopTypes, AFileNamedExactlyIsMadeAnHtmlDocument) {
  const fs::path package = Data() / "mime/packages/vandrel-ajuda.hlp.xml";
  EXPECT_TRUE(vandrel::RegisterDesktopHtmlFile("Ajuda.hlp"));
  EXPECT_EQ(Read(package),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"text/html\">\n"
            "    <glob pattern=\"Ajuda.hlp\" weight=\"60\" case-sensitive=\"true\"/>\n"
            "  </mime-type>\n</mime-info>\n");
  // Once there, it is not written again.
  const auto written = fs::last_write_time(package);
  EXPECT_FALSE(vandrel::RegisterDesktopHtmlFile("Ajuda.hlp"));
  EXPECT_EQ(fs::last_write_time(package), written);
  Write(package, "old");
  EXPECT_TRUE(vandrel::RegisterDesktopHtmlFile("Ajuda.hlp"));
}

TEST_F(DesktopTypes, TypesTheGenericToolGivesTheProgramsExtensionsOpenInTheProgram) {
  // A stand-in for the generic type tool: it answers by extension from its table.
  Write(root_ / "bin/mimetype", "#!/bin/sh\necho \"$@\" >> " + (root_ / "mimetype.log").string() +
                                    "\ncase \"$2\" in\n"
                                    "  *.pat) echo image/x-gimp-pat ;;\n"
                                    "  *.lst) echo application/x-vandrel-lst ;;\n"
                                    "  *.his) echo 'not a type' ;;\n"
                                    "  *.med) echo audio/x-mod ;;\n"
                                    "esac\n");
  chmod((root_ / "bin/mimetype").c_str(), 0755);
  for (const char* ext : {".his", ".pat", ".lst"})
    RegisterDesktopFileType(ext, "x", std::string("/p/Vandrel %1"));
  RegisterDesktopFileType(".med", "x", "notepad %1");
  const std::string ours =
      "[Default Applications]\napplication/x-vandrel-his=vandrel.desktop\n"
      "application/x-vandrel-pat=vandrel.desktop\napplication/x-vandrel-lst=vandrel.desktop\n";
  const struct {
    const char* what;
    std::string before, after;
  } cases[] = {
      // Only the program's own types are asked about (not ".med", a text type); a type
      // that is ours already, or an answer that is no type, changes nothing.
      {"the system's type of an extension gets the program", ours,
       ours + "image/x-gimp-pat=vandrel.desktop\n"},
      {"a default the user chose stays", ours + "image/x-gimp-pat=gimp.desktop\n",
       ours + "image/x-gimp-pat=gimp.desktop\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Write(MimeApps(), c.before);
    vandrel::RefreshDesktopDatabases();
    EXPECT_EQ(Read(MimeApps()), c.after);
  }
  // Asked by name alone: the names it was given are nowhere on disk.
  std::istringstream log(Read(root_ / "mimetype.log"));
  int asked = 0;
  for (std::string line; std::getline(log, line); ++asked) {
    ASSERT_EQ(line.rfind("--brief ", 0), 0u) << line;
    EXPECT_FALSE(fs::exists(line.substr(8))) << line;
  }
  EXPECT_EQ(asked, 6);
}

TEST_F(DesktopTypes, DatabasesAreRefreshedByTheToolsThatAreInstalled) {
  // Stand-ins for the desktop's tools, which note the folder they were given.
  const auto tool = [&](const std::string& name) {
    Write(root_ / "bin" / name,
          "#!/bin/sh\necho \"$@\" >> " + (root_ / (name + ".log")).string() + "\n");
    chmod((root_ / "bin" / name).c_str(), 0755);
  };
  vandrel::RefreshDesktopDatabases();  // none installed: nothing to run, no error
  EXPECT_FALSE(fs::exists(root_ / "update-mime-database.log"));
  tool("update-mime-database");
  vandrel::RefreshDesktopDatabases();
  EXPECT_EQ(Read(root_ / "update-mime-database.log"), (Data() / "mime").string() + "\n");
  tool("update-desktop-database");
  vandrel::RefreshDesktopDatabases();
  EXPECT_EQ(Read(root_ / "update-desktop-database.log"), (Data() / "applications").string() + "\n");
  EXPECT_TRUE(fs::is_directory(Data() / "mime"));
}

TEST_F(DesktopTypes, ADatabaseIsRebuiltWhenOlderThanOurFilesAndAToolThatFailsIsAnError) {
  // Stand-ins that note each run and leave the database they build, as the real ones do.
  const auto tool = [&](const std::string& name, const std::string& product, int code) {
    Write(root_ / "bin" / name, "#!/bin/sh\necho run >> " + (root_ / (name + ".log")).string() +
                                    "\n: > \"$1/" + product + "\"\nexit " + std::to_string(code) +
                                    "\n");
    chmod((root_ / "bin" / name).c_str(), 0755);
  };
  const auto runs = [&](const std::string& name) {
    const std::string log = Read(root_ / (name + ".log"));
    return int(std::count(log.begin(), log.end(), '\n'));
  };
  // A database made long ago, older than anything written since.
  const auto age = [&](const fs::path& file) {
    const struct timespec past[2] = {{1000000, 0}, {1000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), past, 0), 0) << file;
  };
  tool("update-mime-database", "mime.cache", 0);
  tool("update-desktop-database", "mimeinfo.cache", 0);
  vandrel::RegisterDesktopFileType(".his", "Histograma", "/opt/A/Vandrel %1");
  vandrel::RefreshDesktopDatabases();
  EXPECT_EQ(runs("update-mime-database"), 1);
  EXPECT_EQ(runs("update-desktop-database"), 1);
  // Registered again as it was: nothing is written, and nothing is rebuilt.
  const auto entryTime = fs::last_write_time(Entry());
  vandrel::RegisterDesktopFileType(".his", "Histograma", "/opt/A/Vandrel %1");
  vandrel::RefreshDesktopDatabases();
  EXPECT_EQ(fs::last_write_time(Entry()), entryTime);
  EXPECT_EQ(runs("update-mime-database"), 1);
  EXPECT_EQ(runs("update-desktop-database"), 1);
  // Another copy of the program: its entry changes, and only the database built from it.
  age(Data() / "applications/mimeinfo.cache");
  vandrel::RegisterDesktopFileType(".his", "Histograma", "/opt/B/Vandrel %1");
  vandrel::RefreshDesktopDatabases();
  EXPECT_NE(Read(Entry()).find("\nExec=/opt/B/Vandrel %f\n"), std::string::npos) << Read(Entry());
  EXPECT_EQ(runs("update-mime-database"), 1);
  EXPECT_EQ(runs("update-desktop-database"), 2);
  // A tool that fails leaves the desktop without the types: that is said, with the folder.
  fs::remove(Data() / "mime/mime.cache");
  tool("update-mime-database", "mime.cache", 1);
  try {
    vandrel::RefreshDesktopDatabases();
    ADD_FAILURE() << "a failed update-mime-database was not reported";
  } catch (const vandrel::EInOutError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot update folder \"" + (Data() / "mime").string() +
                                         "\" (update-mime-database failed)");
  }
  // The next run tries again, as the database is still older than our files.
  tool("update-mime-database", "mime.cache", 0);
  age(Data() / "mime/mime.cache");
  vandrel::RefreshDesktopDatabases();
  EXPECT_EQ(runs("update-mime-database"), 3);
}

TEST_F(DesktopTypes, IconFilesGoIntoTheUsersThemeOnceEach) {
  EXPECT_TRUE(vandrel::InstallDesktopIcon("hicolor/48x48/apps/vandrel.png", "PNG1"));
  EXPECT_EQ(Read(Data() / "icons/hicolor/48x48/apps/vandrel.png"), "PNG1");
  EXPECT_FALSE(vandrel::InstallDesktopIcon("hicolor/48x48/apps/vandrel.png", "PNG1"));
  EXPECT_TRUE(vandrel::InstallDesktopIcon("hicolor/48x48/apps/vandrel.png", "PNG2"));
  EXPECT_EQ(Read(Data() / "icons/hicolor/48x48/apps/vandrel.png"), "PNG2");
  // Without a cache of the user's theme none is made; one that is there is renewed.
  Write(root_ / "bin/gtk-update-icon-cache",
        "#!/bin/sh\necho \"$@\" >> " + (root_ / "cache.log").string() + "\n");
  chmod((root_ / "bin/gtk-update-icon-cache").c_str(), 0755);
  vandrel::RefreshIconCaches();
  EXPECT_FALSE(fs::exists(root_ / "cache.log"));
  Write(Data() / "icons/hicolor/icon-theme.cache", "");
  vandrel::RefreshIconCaches();
  EXPECT_EQ(Read(root_ / "cache.log"), "-f -t " + (Data() / "icons/hicolor").string() + "\n");
  // A file in the place of a folder of the theme is an error that names it.
  Write(Data() / "icons/hicolor/64x64", "file");
  EXPECT_THROW(vandrel::InstallDesktopIcon("hicolor/64x64/apps/vandrel.png", "PNG"),
               vandrel::EInOutError);
}

}  // namespace
