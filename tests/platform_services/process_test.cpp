// Starting a program and waiting for it: the words it gets, the folder it runs in, and
// the programs that cannot be started.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Process.h"

namespace fs = std::filesystem;
using vandrel::SplitCommandLine;
using vandrel::StartAndWait;

namespace {

struct SplitCase {
  const char* text;
  std::vector<std::string> words;
};

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, SplitsAsTheWindowsRuntime) {
  EXPECT_EQ(SplitCommandLine(GetParam().text), GetParam().words) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLineTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{" ", {}}, SplitCase{" -A ", {"-A"}},
                      SplitCase{"a  b\tc", {"a", "b", "c"}}, SplitCase{"\"a b\" c", {"a b", "c"}},
                      SplitCase{"x\"a b\"y", {"xa by"}}, SplitCase{"\"\"", {""}},
                      SplitCase{"a \"\" b", {"a", "", "b"}},
                      SplitCase{"\"a \"\"q\"\" b\"", {"a \"q\" b"}},
                      SplitCase{"a\\\"b", {"a\"b"}},          // a\"b: escaped quote
                      SplitCase{"a\\\\\"b c\"", {"a\\b c"}},  // a\\"b c": one \, quotes
                      SplitCase{"a\\\\\\\"b", {"a\\\"b"}},    // a\\\"b
                      SplitCase{"C:\\dir\\file", {"C:\\dir\\file"}},
                      SplitCase{"a\\\\ b", {"a\\\\", "b"}}, SplitCase{"\"open end", {"open end"}},
                      SplitCase{"trailing\\", {"trailing\\"}}));

// A throw-away folder holding scripts that report how they were run.
class StartAndWaitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vandrel-process-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  // Writes an executable shell script.
  std::string Script(const std::string& relative, const std::string& body, bool executable = true) {
    const fs::path path = root_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "#!/bin/sh\n" << body;
    chmod(path.c_str(), executable ? 0755 : 0644);
    return path.string();
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(root_ / relative);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // A script that writes its folder and its words, one per line, into "out" beside it.
  std::string Reporter(const std::string& relative) {
    return Script(relative, "pwd > out\nfor a in \"$@\"; do echo \"[$a]\" >> out; done\n");
  }
  fs::path root_;
};

TEST_F(StartAndWaitTest, RunsInItsOwnFolderWithTheWords) {
  const std::string program = Reporter("clean dir/VDRegClean");
  ASSERT_TRUE(StartAndWait(program, " -A \"two words\" x"));
  EXPECT_EQ(Read("clean dir/out"), (root_ / "clean dir").string() + "\n[-A]\n[two words]\n[x]\n");
}

TEST_F(StartAndWaitTest, RelativeProgramIsTakenFromTheCurrentFolder) {
  Reporter("sub/prog");
  const fs::path before = fs::current_path();
  fs::current_path(root_);
  const bool started = StartAndWait("sub/prog", "");
  fs::current_path(before);
  ASSERT_TRUE(started);
  EXPECT_EQ(Read("sub/out"), (root_ / "sub").string() + "\n");
}

TEST_F(StartAndWaitTest, WaitsUntilTheProgramEnds) {
  const std::string program = Script("slow", "sleep 0.3\necho done > out\n");
  ASSERT_TRUE(StartAndWait(program, ""));
  EXPECT_EQ(Read("out"), "done\n");
}

TEST_F(StartAndWaitTest, FailingProgramStillCountsAsStarted) {
  EXPECT_TRUE(StartAndWait(Script("fails", "exit 3\n"), ""));
}

TEST_F(StartAndWaitTest, ProgramsThatCannotStart) {
  const std::string plain = Script("plain", "echo no > out\n", false);
  fs::create_directories(root_ / "folder");
  const struct {
    std::string program;
    const char* what;
  } cases[] = {
      {(root_ / "missing").string(), "missing file"},
      {(root_ / "nowhere/prog").string(), "missing folder"},
      {plain, "not executable"},
      {(root_ / "folder").string(), "a folder"},
      {"", "no name"},
  };
  for (const auto& c : cases) EXPECT_FALSE(StartAndWait(c.program, " -A ")) << c.what;
  EXPECT_FALSE(fs::exists(root_ / "out"));
}

TEST_F(StartAndWaitTest, WordsGivenOneByOneAreKeptWhole) {
  const std::string program = Reporter("p/prog");
  ASSERT_TRUE(
      StartAndWait(program, std::vector<std::string>{"/a folder/with \"quotes\"", "", "x\\"}));
  EXPECT_EQ(Read("p/out"), (root_ / "p").string() + "\n[/a folder/with \"quotes\"]\n[]\n[x\\]\n");
}

TEST_F(StartAndWaitTest, RunAndReadGivesWhatTheProgramWrote) {
  // More than a pipe holds, so that the program would block if nobody read while it ran.
  const std::string big(200000, 'x');
  Script("big.txt", "");
  std::ofstream(root_ / "big.txt") << big;
  const struct {
    const char* what;
    std::string program;
    std::vector<std::string> words;
    bool ends;
    std::string output;
  } cases[] = {
      {"words kept whole",
       Script("echo", "printf '[%s]' \"$@\"\n"),
       {"a b", "", "\"q\""},
       true,
       "[a b][][\"q\"]"},
      {"a large output", Script("cat", "cat \"$1\"\n"), {(root_ / "big.txt").string()}, true, big},
      {"errors are not output", Script("err", "echo out; echo err >&2\n"), {}, true, "out\n"},
      {"a failure keeps what came before",
       Script("fail", "echo part; exit 2\n"),
       {},
       false,
       "part\n"},
      {"a program that cannot start", (root_ / "missing").string(), {}, false, ""},
  };
  for (const auto& c : cases) {
    std::string output = "old";
    EXPECT_EQ(vandrel::RunAndRead(c.program, c.words, output), c.ends) << c.what;
    EXPECT_EQ(output, c.output) << c.what;
  }
}

TEST_F(StartAndWaitTest, FindInPathAsTheShellDoes) {
  const std::string first = Script("one/tool", "");
  Script("two/tool", "");
  Script("two/only", "");
  Script("one/plain", "", false);
  Script("two/plain", "");
  fs::create_directories(root_ / "one/dir");
  Script("two/dir", "");
  const char* old = getenv("PATH");
  const std::string saved = old ? old : "";
  setenv("PATH",
         ((root_ / "missing").string() + ":" + (root_ / "one").string() + ":" +
          (root_ / "two").string())
             .c_str(),
         1);
  const struct {
    const char* name;
    std::string found;
  } cases[] = {
      {"tool", first},                            // the first folder that has it
      {"only", (root_ / "two/only").string()},    // further on
      {"plain", (root_ / "two/plain").string()},  // a file that cannot run is passed over
      {"dir", (root_ / "two/dir").string()},      // and so is a folder
      {"none", ""},
      {"one/tool", ""},  // a path is no name to look up
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(vandrel::FindInPath(c.name), c.found) << c.name;
  setenv("PATH", saved.c_str(), 1);
}

}  // namespace
