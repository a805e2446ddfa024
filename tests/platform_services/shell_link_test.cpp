// Shell links as desktop entries: the entry of a program and of a document, the quoting of
// Exec words (read back by a reader written from the format's rules), and saving.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ShellLink.h"

namespace fs = std::filesystem;
using vandrel::DesktopEntry;
using vandrel::QuoteExecWord;
using vandrel::SaveShellLink;
using vandrel::ShellLink;

namespace {

// Reading side of the format: a string value's escapes, then the Exec line's quoting and
// field codes.
std::string UnescapeValue(const std::string& v) {
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '\\' || i + 1 == v.size()) {
      out += v[i];
      continue;
    }
    const char e = v[++i];
    out += e == 's' ? ' ' : e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
  }
  return out;
}

std::vector<std::string> ExecWords(const std::string& exec) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (c == ' ') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else if (c == '"') {
      inWord = true;
      for (++i; i < exec.size() && exec[i] != '"'; ++i) {
        if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
        word += exec[i];
      }
    } else {
      inWord = true;
      word += c;
    }
  }
  if (inWord) words.push_back(word);
  for (std::string& w : words) {
    std::string plain;
    for (size_t i = 0; i < w.size(); ++i) {
      plain += w[i];
      if (w[i] == '%' && i + 1 < w.size() && w[i + 1] == '%') ++i;
    }
    w = plain;
  }
  return words;
}

// The keys of the "[Desktop Entry]" group, values unescaped.
std::map<std::string, std::string> Keys(const std::string& entry) {
  std::map<std::string, std::string> keys;
  std::istringstream in(entry);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "[Desktop Entry]");
  while (std::getline(in, line)) {
    const size_t eq = line.find('=');
    EXPECT_NE(eq, std::string::npos) << line;
    if (eq == std::string::npos) continue;
    EXPECT_EQ(keys.count(line.substr(0, eq)), 0u) << "key twice: " << line;
    keys[line.substr(0, eq)] = UnescapeValue(line.substr(eq + 1));
  }
  return keys;
}

class ShellLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vandrel-link-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string File(const std::string& relative, bool executable) {
    const fs::path path = root_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "#!/bin/sh\n";
    chmod(path.c_str(), executable ? 0755 : 0644);
    return path.string();
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path root_;
};

TEST(QuoteExecWord, QuotesOnlyWhatTheFormatReserves) {
  const struct {
    const char* word;
    const char* quoted;
  } cases[] = {
      {"/opt/Prog/Vandrel", "/opt/Prog/Vandrel"},
      {"-A", "-A"},
      {"a=b,c.d_e+f:g@h", "a=b,c.d_e+f:g@h"},
      {"", "\"\""},
      {"/my prog/Vandrel", "\"/my prog/Vandrel\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"$HOME", "\"\\$HOME\""},
      {"`x`", "\"\\`x\\`\""},
      {"a\\b", "\"a\\\\b\""},
      {"it's", "\"it's\""},
      {"(x)", "\"(x)\""},
      {"~/x", "\"~/x\""},
      {"a;b|c&d<e>f*g?h#i", "\"a;b|c&d<e>f*g?h#i\""},
      {"100%", "100%%"},
      {"50% off", "\"50%% off\""},
      {"%1", "%%1"},
  };
  for (const auto& c : cases) EXPECT_EQ(QuoteExecWord(c.word), c.quoted) << c.word;
}

TEST_F(ShellLinkTest, ProgramTargetGivesAnApplicationEntry) {
  const std::string program = File("Prog/Vandrel", true);
  const ShellLink link{program, " ", (root_ / "Prog").string()};
  EXPECT_EQ(DesktopEntry(link, "Vandrel"),
            "[Desktop Entry]\nType=Application\nName=Vandrel\nExec=" + program +
                "\nTryExec=" + program + "\nPath=" + (root_ / "Prog").string() +
                "\nIcon=vandrel\nTerminal=false\n");
  // Another program gets no icon of ours.
  const std::string other = File("Prog/uninstall", true);
  EXPECT_EQ(Keys(DesktopEntry({other, " ", ""}, "u")).count("Icon"), 0u);
}

TEST_F(ShellLinkTest, WhatDesktopsReadBesidesTheNameIsWrittenAndEscaped) {
  const std::string program = File("Meu Prog/Vandrel", true);
  const std::string help = File("Meu Prog/Ajuda.hlp", false);
  ShellLink link{program, " ", (root_ / "Meu Prog").string()};
  link.comment = " Análise\tde fases\\";
  link.categories = "Science;ImageProcessing;";
  link.windowClass = "Vandrel";
  link.actions = {{"Ajuda", "Ajuda", help}, {"Sair-1", "Outro", program}};
  const std::string quoted = "\"" + program + "\"";
  EXPECT_EQ(DesktopEntry(link, "Vandrel"),
            "[Desktop Entry]\nType=Application\nName=Vandrel\nComment=\\sAnálise\\tde "
            "fases\\\\\nExec=" +
                quoted + "\nTryExec=" + program + "\nPath=" + (root_ / "Meu Prog").string() +
                "\nIcon=vandrel\nTerminal=false\nCategories=Science;ImageProcessing;\n"
                "StartupWMClass=Vandrel\nActions=Ajuda;Sair-1;\n\n[Desktop Action Ajuda]\n"
                "Name=Ajuda\nExec=xdg-open \"" +
                help + "\"\n\n[Desktop Action Sair-1]\nName=Outro\nExec=" + quoted + "\n");
  // Kept out of the menus.
  link = ShellLink{help, " ", ""};
  link.hidden = true;
  EXPECT_EQ(Keys(DesktopEntry(link, "Ajuda")).at("NoDisplay"), "true");
  EXPECT_EQ(Keys(DesktopEntry(link, "Ajuda")).count("TryExec"), 0u);
}

TEST_F(ShellLinkTest, OtherTargetsAreOpenedByTheDesktopsOpener) {
  // Menus show application entries only: a document's entry runs the desktop's opener.
  const std::string help = File("Prog/Ajuda.hlp", false);
  EXPECT_EQ(DesktopEntry({help, " ", (root_ / "Prog").string()}, "Ajuda"),
            "[Desktop Entry]\nType=Application\nName=Ajuda\nExec=xdg-open " + help +
                "\nTerminal=false\n");
  // A program that is not there yet, in a folder with blanks, accents and a percent sign.
  const std::string missing = (root_ / "Meus Programas/Ação 100%/uninstall").string();
  const std::map<std::string, std::string> keys =
      Keys(DesktopEntry({missing, " ", "/x"}, "Desinstalar Vandrel"));
  EXPECT_EQ(keys.at("Type"), "Application");
  EXPECT_EQ(keys.at("Name"), "Desinstalar Vandrel");
  EXPECT_EQ(ExecWords(keys.at("Exec")), (std::vector<std::string>{"xdg-open", missing}));
  EXPECT_EQ(keys.count("URL"), 0u);
  EXPECT_EQ(keys.count("Icon"), 0u);
  // A folder is no program either.
  fs::create_directories(root_ / "dir");
  EXPECT_EQ(ExecWords(Keys(DesktopEntry({(root_ / "dir").string(), "", ""}, "d")).at("Exec")),
            (std::vector<std::string>{"xdg-open", (root_ / "dir").string()}));
}

TEST_F(ShellLinkTest, ExecWordsReadBackAsGiven) {
  const std::string program = File("Odd $dir (1)/it's 100%/Vandrel", true);
  const std::string arguments = "-A \"two words\" \"back\\slash\" \"$x`y`\" 50% ~/z";
  const auto keys = Keys(DesktopEntry({program, arguments, "/work folder/\\sub"}, " lead"));
  EXPECT_EQ(keys.at("Type"), "Application");
  const std::vector<std::string> expected = {program, "-A",  "two words", "back\\slash",
                                             "$x`y`", "50%", "~/z"};
  EXPECT_EQ(ExecWords(keys.at("Exec")), expected);
  EXPECT_EQ(keys.at("Path"), "/work folder/\\sub");
  EXPECT_EQ(keys.at("Name"), " lead");
}

TEST_F(ShellLinkTest, RelativeTargetIsMadeAbsolute) {
  File("rel/prog", true);
  const fs::path before = fs::current_path();
  fs::current_path(root_);
  const std::string entry = DesktopEntry({"rel/prog", "", ""}, "p");
  fs::current_path(before);
  const auto keys = Keys(entry);
  EXPECT_EQ(keys.at("Exec"), (root_ / "rel/prog").string());
  EXPECT_EQ(keys.count("Path"), 0u);  // no working folder given
}

TEST(ShellLinkFile, TheLinkExtensionBecomesTheDesktopOne) {
  const struct {
    const char* link;
    const char* file;
  } cases[] = {
      {"/d/Vandrel.lnk", "/d/Vandrel.desktop"},
      {"/d/Desinstalar Vandrel.lnk", "/d/Desinstalar Vandrel.desktop"},
      {"/d/a.lnk.lnk", "/d/a.lnk.desktop"},
      {"/d/Vandrel", "/d/Vandrel.desktop"},
      {"/d/x.LNK", "/d/x.LNK.desktop"},
  };
  for (const auto& c : cases) EXPECT_EQ(vandrel::ShellLinkFile(c.link), c.file) << c.link;
}

TEST_F(ShellLinkTest, SaveWritesAnExecutableDesktopEntryNamedAfterTheLink) {
  const std::string program = File("Prog/Vandrel", true);
  fs::create_directories(root_ / "Desktop");
  const fs::path file = root_ / "Desktop/Desinstalar Vandrel.desktop";
  const ShellLink link{program, " ", "/opt"};
  ASSERT_TRUE(SaveShellLink(link, (root_ / "Desktop/Desinstalar Vandrel.lnk").string()));
  EXPECT_EQ(Read(file), DesktopEntry(link, "Desinstalar Vandrel"));
  // Menus and desktops read only ".desktop" files: no ".lnk" is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "Desktop"), fs::directory_iterator()), 1);
  const auto executable = [&] {
    return (fs::status(file).permissions() & fs::perms::owner_exec) != fs::perms::none;
  };
  EXPECT_TRUE(executable());
  // Saving again replaces the old link, and makes it executable again.
  std::ofstream(file) << "old";
  chmod(file.c_str(), 0644);
  ASSERT_TRUE(SaveShellLink(link, (root_ / "Desktop/Desinstalar Vandrel.lnk").string()));
  EXPECT_EQ(Read(file), DesktopEntry(link, "Desinstalar Vandrel"));
  EXPECT_TRUE(executable());
}

TEST_F(ShellLinkTest, SaveFailsWhereNoFileCanBeWritten) {
  const std::string program = File("Prog/Vandrel", true);
  fs::create_directories(root_ / "taken.desktop");
  for (const char* link : {"missing/Vandrel.lnk", "taken.lnk", "Prog/Vandrel/x.lnk"}) {
    std::string error;
    EXPECT_FALSE(SaveShellLink({program, " ", ""}, (root_ / link).string(), &error)) << link;
    // The reason names the file that could not be written.
    EXPECT_NE(error.find(vandrel::ShellLinkFile((root_ / link).string())), std::string::npos)
        << error;
  }
  EXPECT_TRUE(fs::is_directory(root_ / "taken.desktop"));
}

}  // namespace
