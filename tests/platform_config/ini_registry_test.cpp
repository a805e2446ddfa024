// The INI file, the registry store, rounding and atomic replacement.
#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/Numbers.h"
#include "platform/Registry.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/HeapPeak.h"
#include "tests/support/TempDir.h"
#include "tests/support/WritingWays.h"

namespace fs = std::filesystem;
using namespace vandrel;
using vandrel::testing::ForEachWritingWay;
using vandrel::testing::PeakHeapGrowth;
using vandrel::testing::TempDir;

TEST(IniFile, AbsentFileSectionOrKeyReadsAsFallback) {
  TempDir dir;
  IniFile ini(dir / "none.ini");
  EXPECT_EQ(ini.ReadString("a", "b"), "");
  EXPECT_EQ(ini.ReadString("a", "b", "x"), "x");
  dir.write("f.ini", "[caminhos]\ncaminhos_padrao=vandrel\n");
  IniFile f(dir / "f.ini");
  EXPECT_EQ(f.ReadString("outro", "caminhos_padrao"), "");
  EXPECT_EQ(f.ReadString("caminhos", "outra"), "");
}

TEST(IniFile, NamesIgnoreCaseValuesDoNot) {
  TempDir dir;
  dir.write("f.ini", "[Caixa_Sobre]\r\n  Mostrar_Inicio = TRUE \r\n");
  IniFile ini(dir / "f.ini");
  EXPECT_EQ(ini.ReadString("caixa_sobre", "mostrar_inicio"), "TRUE");
  EXPECT_EQ(ini.ReadString("CAIXA_SOBRE", "MOSTRAR_INICIO"), "TRUE");
}

TEST(IniFile, WriteChangesOnlyItsLine) {
  TempDir dir;
  const std::string original =
      "; delivered settings\n[caminhos]\ncaminhos_padrao=vandrel\n\n[caixa_sobre]\n"
      "mostrar_inicio=TRUE\ngarbage line without equals\n[Configuracao_selecao]\nlargura=1\n";
  dir.write("f.ini", original);
  IniFile ini(dir / "f.ini");
  ini.WriteString("CAIXA_SOBRE", "Mostrar_Inicio", "FALSE");
  EXPECT_EQ(
      TempDir::read(dir / "f.ini"),
      "; delivered settings\n[caminhos]\ncaminhos_padrao=vandrel\n\n[caixa_sobre]\n"
      "Mostrar_Inicio=FALSE\ngarbage line without equals\n[Configuracao_selecao]\nlargura=1\n");
}

TEST(IniFile, NewKeyGoesAfterTheSectionsLastKeyAndNewSectionAtTheEnd) {
  TempDir dir;
  dir.write("f.ini", "[a]\nx=1\n\n[b]\ny=2\n");
  IniFile ini(dir / "f.ini");
  ini.WriteString("a", "z", "3");
  ini.WriteString("c", "w", "4");
  EXPECT_EQ(TempDir::read(dir / "f.ini"), "[a]\nx=1\nz=3\n\n[b]\ny=2\n[c]\nw=4\n");
  EXPECT_EQ(ini.ReadString("a", "z"), "3");
  EXPECT_EQ(ini.ReadString("c", "w"), "4");
}

TEST(IniFile, CreatesTheFileAndKeepsCarriageReturns) {
  TempDir dir;
  IniFile fresh(dir / "new.ini");
  fresh.WriteString("imagens_abertas", "ima0", "/x/a.bmp");
  EXPECT_EQ(TempDir::read(dir / "new.ini"), "[imagens_abertas]\nima0=/x/a.bmp\n");
  dir.write("crlf.ini", "[a]\r\nx=1\r\n");
  IniFile crlf(dir / "crlf.ini");
  crlf.WriteString("a", "x", "2");
  EXPECT_EQ(TempDir::read(dir / "crlf.ini"), "[a]\r\nx=2\r\n");
}

TEST(IniFile, GarbledFileStillReadsAndWrites) {
  TempDir dir;
  const char garbled[] = "\x01\x02[[[\n=novalue\n[ok]\nk=v\n\xff\xfe";
  dir.write("f.ini", std::string(garbled, sizeof garbled - 1));
  IniFile ini(dir / "f.ini");
  EXPECT_EQ(ini.ReadString("ok", "k"), "v");
  ini.WriteString("ok", "k", "w");
  EXPECT_EQ(ini.ReadString("ok", "k"), "w");
  EXPECT_NE(TempDir::read(dir / "f.ini").find("\x01\x02[[["), std::string::npos);
}

TEST(IniFile, AFileOfManyLinesCostsNoMoreThanItsBytes) {
  // A few megabytes of short lines: reading a key and writing one hold the file's text and
  // the text written, not a record for every line.
  if (!vandrel::testing::CanMeasureHeap()) GTEST_SKIP() << "needs the address sanitizer";
  TempDir dir;
  std::string text = "[caminhos]\ncaminhos_padrao=vandrel\n";
  for (int k = 0; k < 400000; ++k) text += k % 2 ? "\n" : ";\n";
  text += "[caixa_sobre]\nmostrar_inicio=TRUE\n";
  dir.write("config.ini", text);
  IniFile ini(dir / "config.ini");
  const int64_t size = int64_t(text.size());
  std::string value;
  EXPECT_LE(PeakHeapGrowth([&] { value = ini.ReadString("caixa_sobre", "mostrar_inicio"); }),
            4 * size);
  EXPECT_EQ(value, "TRUE");
  EXPECT_LE(PeakHeapGrowth([&] { ini.WriteString("caixa_sobre", "mostrar_inicio", "FALSE"); }),
            4 * size);
  EXPECT_EQ(ini.ReadString("caixa_sobre", "mostrar_inicio"), "FALSE");
  EXPECT_EQ(ini.ReadString("caminhos", "caminhos_padrao"), "vandrel");
  EXPECT_EQ(fs::file_size(dir / "config.ini"), text.size() + 1);  // "TRUE" became "FALSE"
}

TEST(IniFile, EveryValueWrittenReadsBack) {
  TempDir dir;
  dir.write("f.ini", "[imagens_abertas]\nima1=/a.tif\n");
  IniFile ini(dir / "f.ini");
  const char* values[] = {"/home/u/amostra.tif ",
                          " lead",
                          "\tboth\t",
                          "\"quoted\"",
                          "'single'",
                          "\"",
                          "'a\"",
                          "a=b;c [d]",
                          "\"\"",
                          "",
                          "x\"y\"",
                          "ação"};
  for (const char* v : values) {
    SCOPED_TRACE(v);
    ini.WriteString("imagens_abertas", "ima0", v);
    EXPECT_EQ(ini.ReadString("imagens_abertas", "ima0", "absent"), v);
    EXPECT_EQ(ini.ReadString("imagens_abertas", "ima1"), "/a.tif");
  }
  // A line end would end the value and put the rest of it on lines of its own, here a
  // section and a key that were never written.
  ini.WriteString("caminhos", "caminhos_padrao", "windows");
  const std::string before = TempDir::read(dir / "f.ini");
  for (const char* v : {"/x\n[caminhos]\ncaminhos_padrao=vandrel", "a\rb", "end\n"}) {
    EXPECT_THROW(ini.WriteString("imagens_abertas", "ima0", v), Exception);
    EXPECT_EQ(TempDir::read(dir / "f.ini"), before);
  }
  EXPECT_EQ(ini.ReadString("caminhos", "caminhos_padrao"), "windows");
}

TEST(IniFile, FailedWriteLeavesTheFileIntact) {
  TempDir dir;
  dir.write("f.ini", "[a]\nx=1\n");
  IniFile ini(dir / "f.ini");
  {
    vandrel::testing::FileSizeLimit full(16);
    EXPECT_THROW(ini.WriteString("a", "x", std::string(100, 'v')), EInOutError);
  }
  EXPECT_EQ(TempDir::read(dir / "f.ini"), "[a]\nx=1\n");
  int files = 0;
  for (auto& e : fs::directory_iterator(dir.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 1);  // no temporary file left behind
}

TEST(IniFile, UnreadableFileIsNeverReplaced) {
  TempDir dir;
  fs::create_directory(dir / "f.ini");  // something that is there but cannot be read as a file
  IniFile ini(dir / "f.ini");
  EXPECT_EQ(ini.ReadString("a", "x"), "");
  EXPECT_THROW(ini.WriteString("a", "x", "1"), EInOutError);
  EXPECT_TRUE(fs::is_directory(dir / "f.ini"));
}

TEST(AtomicFile, WriteIntoMissingFolderFailsClearly) {
  TempDir dir;
  try {
    WriteFileAtomically(dir / "no/such/folder/f.txt", "x");
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("no/such/folder/f.txt"), std::string::npos);
  }
}

TEST(AtomicFile, ReplacesWholeAndLeavesNoTemporaryFiles) {
  ForEachWritingWay([](bool) {
    TempDir dir;
    dir.write("f.txt", "old contents that are longer");
    WriteFileAtomically(dir / "f.txt", "new");
    EXPECT_EQ(TempDir::read(dir / "f.txt"), "new");
    int files = 0;
    for (auto& e : fs::directory_iterator(dir.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
  });
}

// Every failure names the file and the step, or gives the runtime's text alone when asked
// to; the earlier file keeps its content and no temporary file stays behind.
TEST(AtomicFile, FailuresNameTheFileAndLeaveTheFolderAsItWas) {
  ForEachWritingWay([](bool) {
    TempDir dir;
    const std::string kept = dir.write("kept.txt", "old");
    const std::string plain = dir.write("plain", "x");
    fs::create_directory(dir / "folder");
    struct Case {
      std::string path, named, runtime;
    };
    std::vector<Case> cases = {
        {dir / "no/such/f.txt",
         "Cannot create file \"" + dir / "no/such/f.txt" + "\". Invalid filename",
         "Invalid filename"},
        {plain + "/f.txt", "Cannot create file \"" + plain + "/f.txt\". Invalid filename",
         "Invalid filename"},
        {dir / "folder", "Cannot create file \"" + dir / "folder" + "\". File access denied",
         "File access denied"},
        {dir / "folder/", "Cannot create file \"" + dir / "folder/" + "\". File access denied",
         "File access denied"},
    };
    if (geteuid() != 0) {  // root writes over read-only files
      const std::string readOnly = dir.write("read-only.txt", "old");
      chmod(readOnly.c_str(), 0444);
      cases.push_back({readOnly, "Cannot create file \"" + readOnly + "\". File access denied",
                       "File access denied"});
    }
    const size_t entries = dir.count();
    auto message = [](const std::string& path, WriteErrors errors) -> std::string {
      try {
        WriteFileAtomically(path, "new content", errors);
      } catch (const EInOutError& e) {
        return e.what();
      }
      return "(no error)";
    };
    for (const Case& c : cases) {
      EXPECT_EQ(message(c.path, WriteErrors::kNamingTheFile), c.named);
      EXPECT_EQ(message(c.path, WriteErrors::kRuntimeText), c.runtime);
    }
    {
      vandrel::testing::FileSizeLimit full(4);
      EXPECT_EQ(message(kept, WriteErrors::kNamingTheFile),
                "Cannot write file \"" + kept + "\". Disk full");
      EXPECT_EQ(message(kept, WriteErrors::kRuntimeText), "Disk full");
    }
    EXPECT_EQ(TempDir::read(kept), "old");
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(dir.count(), entries);
  });
}

TEST(AtomicFile, NewFilesFollowTheUmaskReplacedOnesKeepTheirPermissions) {
  ForEachWritingWay([](bool) {
    TempDir dir;
    auto permissions = [](const std::string& path) {
      struct stat st {};
      stat(path.c_str(), &st);
      return st.st_mode & 07777;
    };
    const mode_t before = umask(027);
    WriteFileAtomically(dir / "new.txt", "a");
    umask(before);
    EXPECT_EQ(permissions(dir / "new.txt"), 0640u);
    const std::string old = dir.write("old.txt", "a");
    chmod(old.c_str(), 0604);
    WriteFileAtomically(old, "b");
    EXPECT_EQ(permissions(old), 0604u);
    EXPECT_EQ(TempDir::read(old), "b");
  });
}

// A save through a symbolic link keeps the link and replaces the file it points at: a
// relative or absolute link, a chain of links, and a link whose file is not there yet (the
// save creates it). A loop of links is refused and changes nothing.
TEST(AtomicFile, SaveThroughALinkKeepsTheLinkAndChangesItsTarget) {
  ForEachWritingWay([](bool) {
    TempDir dir;
    fs::create_directory(dir / "data");
    struct Case {
      const char* link;
      std::string pointsAt;  // as stored in the link
      const char* target;    // the file that must receive the bytes
    } cases[] = {
        {"relative", "data/a.txt", "data/a.txt"},
        {"absolute", dir / "data/b.txt", "data/b.txt"},
        {"chain", "relative", "data/a.txt"},
        {"data/up", "../top.txt", "top.txt"},
        {"dangling", "data/new.txt", "data/new.txt"},
    };
    dir.write("data/a.txt", "old a, longer than what replaces it");
    dir.write("data/b.txt", "old b");
    dir.write("top.txt", "old top");
    for (const Case& c : cases) fs::create_symlink(c.pointsAt, dir / c.link);
    for (const Case& c : cases) {
      const std::string bytes = std::string("new through ") + c.link;
      WriteFileAtomically(dir / c.link, bytes);
      EXPECT_TRUE(fs::is_symlink(dir / c.link)) << c.link;
      EXPECT_EQ(fs::read_symlink(dir / c.link).string(), c.pointsAt) << c.link;
      EXPECT_EQ(TempDir::read(dir / c.target), bytes) << c.link;
      EXPECT_EQ(ReplaceFileErrno(dir / c.link), 0) << c.link;
    }
    fs::create_symlink("loop2", dir / "loop1");
    fs::create_symlink("loop1", dir / "loop2");
    EXPECT_THROW(WriteFileAtomically(dir / "loop1", "x"), EInOutError);
    EXPECT_TRUE(fs::is_symlink(dir / "loop1"));
    EXPECT_NE(ReplaceFileErrno(dir / "loop1"), 0);
  });
}

// Runs `body` as a user that the file permissions apply to. Root reads and writes every
// file, so as root the body runs in a child process that has become "nobody"; its result
// is the child's exit code.
int RunUnprivileged(const std::function<int()>& body) {
  if (geteuid() != 0) return body();
  const passwd* pw = getpwnam("nobody");
  const uid_t uid = pw ? pw->pw_uid : 65534;
  const gid_t gid = pw ? pw->pw_gid : 65534;
  const pid_t pid = fork();
  if (pid == 0) {
    if (setgid(gid) != 0 || setuid(uid) != 0) _exit(120);
    _exit(body());
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return 121;
  return WEXITSTATUS(status);
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("VANDREL_REGISTRY", (dir_ / "registry.ini").c_str(), 1); }
  TempDir dir_;
};

TEST_F(RegistryTest, StorePathFollowsTheEnvironment) {
  EXPECT_EQ(Registry::StorePath(), dir_ / "registry.ini");
}

TEST_F(RegistryTest, OpenWithoutCreateFailsOnAbsentKey) {
  Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reg.OpenKey("Software\\Vandrel", false));
  EXPECT_FALSE(reg.KeyExists("Software\\Vandrel"));
  EXPECT_TRUE(reg.OpenKey("Software\\Vandrel", true));
  EXPECT_TRUE(reg.KeyExists("\\SOFTWARE\\vandrel"));
  EXPECT_TRUE(reg.KeyExists("\\Software"));  // a parent with sub-keys only
  Registry user(RegRoot::HKEY_CURRENT_USER);
  EXPECT_FALSE(user.KeyExists("Software\\Vandrel"));  // roots are apart
}

TEST_F(RegistryTest, ValuesKeepTheirTypeAndIgnoreNameCase) {
  {
    Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("Software\\Vandrel", true));
    reg.WriteBool("Modo de Analise", true);
    reg.WriteString("MainDir", "/opt/vandrel \"x\"\nsecond line\\");
    reg.WriteInteger("Number", -5);
    reg.WriteString("", "default value");
  }
  Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("software\\VANDREL", false));
  EXPECT_TRUE(reg.ReadBool("modo de analise"));
  EXPECT_EQ(reg.ReadInteger("MODO DE ANALISE"), 1);
  EXPECT_EQ(reg.ReadString("maindir"), "/opt/vandrel \"x\"\nsecond line\\");
  EXPECT_EQ(reg.ReadInteger("number"), -5);
  EXPECT_EQ(reg.ReadString(""), "default value");
  EXPECT_THROW(reg.ReadInteger("MainDir"), Exception);
  EXPECT_THROW(reg.ReadBool("absent"), Exception);
  EXPECT_FALSE(reg.ValueExists("absent"));
  reg.WriteBool("Modo de Analise", false);
  EXPECT_FALSE(reg.ReadBool("Modo de Analise"));
  EXPECT_TRUE(reg.DeleteValue("number"));
  EXPECT_FALSE(reg.ValueExists("Number"));
}

TEST_F(RegistryTest, DeleteKeyRemovesItsSubKeysAndKeyNamesListsChildren) {
  Registry reg(RegRoot::HKEY_CLASSES_ROOT);
  ASSERT_TRUE(reg.OpenKey("VDHisto\\shell\\open\\command", true));
  reg.WriteString("", "Vandrel \"%1\"");
  ASSERT_TRUE(reg.OpenKey("\\VDHisto\\DefaultIcon", true));
  ASSERT_TRUE(reg.OpenKey("\\VDHisto", false));
  auto names = reg.GetKeyNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"DefaultIcon", "shell"}));
  EXPECT_TRUE(reg.DeleteKey("\\VDHisto"));
  EXPECT_FALSE(reg.KeyExists("\\VDHisto\\shell\\open\\command"));
}

TEST_F(RegistryTest, DamagedStoreKeepsWhatItCanRead) {
  std::ofstream(dir_ / "registry.ini") << "garbage\n[HKEY_LOCAL_MACHINE\\Software\\Vandrel]\n"
                                          "\"Modo de Analise\"=dword:zz\n\"bad\n"
                                          "\"MainDir\"=\"/opt\"\n";
  Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("Software\\Vandrel", false));
  EXPECT_FALSE(reg.ValueExists("Modo de Analise"));
  EXPECT_EQ(reg.ReadString("MainDir"), "/opt");
  reg.WriteInteger("Modo de Analise", 1);
  EXPECT_EQ(reg.ReadInteger("Modo de Analise"), 1);
  EXPECT_EQ(reg.ReadString("MainDir"), "/opt");
}

// A store that is there but cannot be read (it may still be written) is never written
// over: every change fails with an error naming the file, and all its keys survive.
TEST_F(RegistryTest, UnreadableStoreKeepsItsKeys) {
  const std::string store = dir_ / "registry.ini";
  Registry opened(RegRoot::HKEY_LOCAL_MACHINE);
  {
    Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("Software\\Vandrel", true));
    reg.WriteString("MainDir", "/opt/vandrel");
    reg.WriteBool("Modo de Analise", true);
    Registry classes(RegRoot::HKEY_CLASSES_ROOT);
    ASSERT_TRUE(classes.OpenKey("VDHisto", true));
    classes.WriteString("", "Histograma");
    ASSERT_TRUE(opened.OpenKey("Software\\Vandrel", false));
  }
  const std::string before = TempDir::read(store);
  ASSERT_EQ(chmod(store.c_str(), 0222), 0);  // write-only
  ASSERT_EQ(chmod(dir_.path().c_str(), 0777), 0);
  const std::string expected = "Cannot read file \"" + store + "\". File access denied";
  const int passed = RunUnprivileged([&] {
    const std::function<void()> changes[] = {
        [] { Registry(RegRoot::HKEY_LOCAL_MACHINE).OpenKey("Software\\Outro", true); },
        [&] { opened.WriteString("UserName", "maria"); },
        [&] { opened.WriteInteger("Modo de Analise", 0); },
        [&] { opened.DeleteValue("MainDir"); },
        [] { Registry(RegRoot::HKEY_CLASSES_ROOT).DeleteKey("VDHisto"); },
    };
    int refused = 0;
    for (const auto& change : changes) {
      try {
        change();
      } catch (const EInOutError& e) {
        refused += e.what() == expected;
      }
    }
    return refused;
  });
  EXPECT_EQ(passed, 5);
  ASSERT_EQ(chmod(store.c_str(), 0644), 0);
  EXPECT_EQ(TempDir::read(store), before);
}

TEST_F(RegistryTest, ReadingMakesNothingAndWritingLeavesNoLockBehind) {
  // A store in a folder that does not exist yet, as on a fresh account.
  const fs::path store = dir_.path() / "config/vandrel/registry.ini";
  setenv("VANDREL_REGISTRY", store.c_str(), 1);
  {
    Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.KeyExists("Software\\Vandrel"));
    EXPECT_FALSE(reg.OpenKey("Software\\Vandrel", false));
    ASSERT_TRUE(reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion", false));
    EXPECT_TRUE(reg.ValueExists("RegisteredOrganization"));  // answered by the system
  }
  EXPECT_FALSE(fs::exists(dir_.path() / "config"));
  Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("Software\\Vandrel", true));
  reg.WriteInteger("Modo de Analise", 1);
  EXPECT_TRUE(fs::exists(store));
  EXPECT_FALSE(fs::exists(store.string() + ".lock"));
  EXPECT_EQ(std::distance(fs::directory_iterator(store.parent_path()), fs::directory_iterator()),
            1);
}

TEST_F(RegistryTest, WritersAtTheSameTimeLoseNoValue) {
  // Each process adds values of its own; a write that read the store while another was
  // changing it would put back the store without the other's value.
  constexpr int kWriters = 4, kValues = 40;
  std::vector<pid_t> writers;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Registry reg(RegRoot::HKEY_CURRENT_USER);
      if (!reg.OpenKey("Software\\Vandrel", true)) _exit(1);
      for (int k = 0; k < kValues; ++k)
        reg.WriteInteger("w" + std::to_string(w) + "_" + std::to_string(k), k);
      _exit(0);
    }
    writers.push_back(pid);
  }
  for (pid_t pid : writers) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  Registry reg(RegRoot::HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKey("Software\\Vandrel", false));
  int found = 0;
  for (int w = 0; w < kWriters; ++w)
    for (int k = 0; k < kValues; ++k)
      found += reg.ValueExists("w" + std::to_string(w) + "_" + std::to_string(k));
  EXPECT_EQ(found, kWriters * kValues);
  EXPECT_FALSE(fs::exists(dir_ / "registry.ini.lock"));
}

TEST_F(RegistryTest, AKeyOfManyValuesReadsInOnePass) {
  // A store of a few megabytes whose key holds a hundred thousand values: each value is
  // looked up once while the store is read, not compared with every value before it.
  constexpr int kValues = 100000;
  {
    std::ofstream store(dir_ / "registry.ini");
    store << "[HKEY_LOCAL_MACHINE\\Software\\Vandrel]\n";
    for (int k = 0; k < kValues; ++k)
      store << "\"v" << k << "\"=dword:" << std::hex << k << std::dec << "\n";
    store << "\"V5\"=\"later\"\n";  // the same name in other letters replaces the value
  }
  Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("Software\\Vandrel", false));
  EXPECT_EQ(reg.ReadInteger("v0"), 0);
  EXPECT_EQ(reg.ReadInteger("V99999"), 99999);
  EXPECT_EQ(reg.ReadString("v5"), "later");
}

TEST_F(RegistryTest, SystemValuesAnswerWhenTheStoreHasNone) {
  setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
  Registry user(RegRoot::HKEY_CURRENT_USER);
  ASSERT_TRUE(
      user.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false));
  EXPECT_EQ(user.ReadString("Programs"), dir_ / "data/applications");
  EXPECT_FALSE(user.ReadString("Desktop").empty());
  Registry machine(RegRoot::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(machine.OpenKey("Software\\Microsoft\\Windows NT\\CurrentVersion", false));
  EXPECT_TRUE(machine.ValueExists("RegisteredOwner"));
  EXPECT_EQ(machine.ReadString("RegisteredOrganization"), "");
  machine.WriteString("RegisteredOrganization", "Lab");
  EXPECT_EQ(machine.ReadString("RegisteredOrganization"), "Lab");
  Registry nineX(RegRoot::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(nineX.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion", false));
  EXPECT_EQ(nineX.ReadString("RegisteredOwner"), machine.ReadString("RegisteredOwner"));
  EXPECT_EQ(nineX.ReadString("RegisteredOrganization"), "Lab");  // stored under the NT key
  unsetenv("XDG_DATA_HOME");
}

TEST(Round, HalvesGoToEven) {
  struct Case {
    double in;
    int64_t out;
  } cases[] = {{0.5, 0},
               {1.5, 2},
               {2.5, 2},
               {3.5, 4},
               {-0.5, 0},
               {-1.5, -2},
               {-2.5, -2},
               {2.4, 2},
               {2.6, 3},
               {-2.6, -3},
               {100, 100},
               {99.5, 100},
               {0.49999999999999994, 0},
               {1e15 + 0.5, 1000000000000000}};
  for (const Case& c : cases) EXPECT_EQ(Round(c.in), c.out) << c.in;
}

TEST(DecimalSeparator, IsProcessWide) {
  EXPECT_EQ(DecimalSeparator(), '.');
  SetDecimalSeparator(',');
  EXPECT_EQ(DecimalSeparator(), ',');
  SetDecimalSeparator('.');
}
