// The undo log on its own: its file, its position rules, its flags and its failures.
#include "app/histograms/model/UndoClass.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Errors.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

using namespace vandrel;
namespace fs = std::filesystem;

namespace {

using vandrel::testing::TempDir;

std::vector<uint8_t> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Counts with `total` pixels spread over a few grey levels, so records differ level by level.
GreyCounts Selection(int32_t total, int first = 0) {
  GreyCounts c{};
  for (int32_t i = 0; i < total; ++i) ++c[size_t((first + 7 * (i % 5)) & 255)];
  return c;
}

GreyCounts Sum(const GreyCounts& a, const GreyCounts& b) {
  GreyCounts out;
  for (size_t g = 0; g < 256; ++g) out[g] = a[g] + b[g];
  return out;
}

int64_t Total(const GreyCounts& c) {
  int64_t s = 0;
  for (int32_t v : c) s += v;
  return s;
}

GreyCounts All(int32_t v) {
  GreyCounts c;
  c.fill(v);
  return c;
}

class UndoLogTest : public ::testing::Test {
 protected:
  std::string Path() const { return folder_ / "zundo.tmp"; }
  TempDir folder_;
};

}  // namespace

TEST_F(UndoLogTest, CreationEmptiesAnExistingFile) {
  std::ofstream(Path(), std::ios::binary) << std::string(3000, 'x');
  TUndoClass log(Path());
  EXPECT_EQ(fs::file_size(Path()), 0u);
  EXPECT_EQ(log.NumDesfazer(), 0);
  EXPECT_EQ(log.NumRefazer(), 0);
  EXPECT_FALSE(log.PodeDesfazer());
  EXPECT_FALSE(log.PodeRefazer());
  EXPECT_EQ(log.Posicao(), 0);
}

TEST_F(UndoLogTest, RecordsAreLittleEndianSignedCountsWithNoHeader) {
  GreyCounts c{};
  c[0] = 0x01020304;
  c[1] = -1;
  c[255] = INT32_MIN;
  {
    TUndoClass log(Path());
    log.Adicionar(c);
  }
  const std::vector<uint8_t> bytes = Bytes(Path());  // the file stays after the log is gone
  ASSERT_EQ(bytes.size(), 1024u);
  EXPECT_EQ((std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8)),
            (std::vector<uint8_t>{4, 3, 2, 1, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ((std::vector<uint8_t>(bytes.end() - 4, bytes.end())),
            (std::vector<uint8_t>{0, 0, 0, 0x80}));
  for (size_t i = 8; i < 1020; ++i) ASSERT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(TUndoClass::Decodificar(TUndoClass::Codificar(c)), c);
}

TEST_F(UndoLogTest, UndoSubtractsAndRedoAddsTheLastRecord) {
  TUndoClass log(Path());
  const GreyCounts a = Selection(100), b = Selection(50, 3);
  log.Adicionar(a);
  log.Adicionar(b);
  const GreyCounts both = Sum(a, b);

  EXPECT_EQ(log.Desfazer(both), a);
  EXPECT_EQ(log.Posicao(), 1024);
  EXPECT_TRUE(log.PodeDesfazer());
  EXPECT_TRUE(log.PodeRefazer());
  EXPECT_EQ(log.Desfazer(a), GreyCounts{});
  EXPECT_FALSE(log.PodeDesfazer());
  EXPECT_EQ(log.NumRefazer(), 2);
  EXPECT_EQ(log.Posicao(), 0);

  EXPECT_EQ(log.Refazer(GreyCounts{}), a);
  EXPECT_TRUE(log.PodeDesfazer());
  EXPECT_TRUE(log.PodeRefazer());
  EXPECT_EQ(log.Refazer(a), both);
  EXPECT_FALSE(log.PodeRefazer());
  EXPECT_EQ(log.NumDesfazer(), 2);
  EXPECT_EQ(log.NumRefazer(), 0);
  EXPECT_EQ(log.Posicao(), 2048);
}

TEST_F(UndoLogTest, AStepThatCannotBeTakenGivesMinusOneAndChangesNothing) {
  TUndoClass log(Path());
  EXPECT_EQ(log.Desfazer(Selection(10)), All(-1));
  EXPECT_EQ(log.Refazer(Selection(10)), All(-1));
  log.Adicionar(Selection(10));
  EXPECT_EQ(log.Refazer(Selection(10)), All(-1));
  EXPECT_EQ(log.NumDesfazer(), 1);
  EXPECT_EQ(log.NumRefazer(), 0);
  EXPECT_TRUE(log.PodeDesfazer());
  EXPECT_FALSE(log.PodeRefazer());
  EXPECT_EQ(log.Posicao(), 1024);
  log.Desfazer(Selection(10));
  EXPECT_EQ(log.Desfazer(GreyCounts{}), All(-1));
  EXPECT_EQ(log.NumDesfazer(), 0);
  EXPECT_EQ(log.NumRefazer(), 1);
  EXPECT_EQ(log.Posicao(), 0);
}

// The example of the phase window: 100, 50 and 20 pixels, two undos, then 30 more.
TEST_F(UndoLogTest, ANewRecordOverTheRedoTailDropsItWithoutShorteningTheFile) {
  TUndoClass log(Path());
  GreyCounts current{};
  struct Step {
    char op;  // 'a' add, 'u' undo, 'r' redo
    int32_t pixels;
    int64_t total, fileSize;
    bool canUndo, canRedo;
  };
  const Step steps[] = {
      {'a', 100, 100, 1024, true, false}, {'a', 50, 150, 2048, true, false},
      {'a', 20, 170, 3072, true, false},  {'u', 0, 150, 3072, true, true},
      {'u', 0, 100, 3072, true, true},    {'a', 30, 130, 3072, true, false},
      {'r', 0, 130, 3072, true, false},   {'u', 0, 100, 3072, true, true},
      {'u', 0, 0, 3072, false, true},     {'r', 0, 100, 3072, true, true},
      {'r', 0, 130, 3072, true, false},
  };
  int n = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(::testing::Message() << "step " << n++ << " " << s.op);
    if (s.op == 'a') {
      const GreyCounts sel = Selection(s.pixels, n);
      log.Adicionar(sel);
      current = Sum(current, sel);
    } else {
      const GreyCounts next = s.op == 'u' ? log.Desfazer(current) : log.Refazer(current);
      if (next != All(-1)) current = next;
    }
    EXPECT_EQ(Total(current), s.total);
    EXPECT_EQ(int64_t(fs::file_size(Path())), s.fileSize);
    EXPECT_EQ(log.PodeDesfazer(), s.canUndo);
    EXPECT_EQ(log.PodeRefazer(), s.canRedo);
  }
  // The stale third record still lies beyond the end of the log.
  const std::vector<uint8_t> bytes = Bytes(Path());
  const std::array<uint8_t, 1024> stale = TUndoClass::Codificar(Selection(20, 3));
  EXPECT_TRUE(std::equal(stale.begin(), stale.end(), bytes.begin() + 2048));
}

TEST_F(UndoLogTest, CountsWrapAroundLikeTheirType) {
  TUndoClass log(Path());
  GreyCounts one{};
  one[9] = 1;
  log.Adicionar(one);
  GreyCounts low{};
  low[9] = INT32_MIN;
  EXPECT_EQ(log.Desfazer(low)[9], INT32_MAX);
  GreyCounts high{};
  high[9] = INT32_MAX;
  EXPECT_EQ(log.Refazer(high)[9], INT32_MIN);
}

// A second instance of the program opens its log under the same name while the first one's
// is in use: the first log's records stay as they were, and the second keeps its own in a
// file of its own, removed when it closes. The second instance is a real second process;
// a second log in the same process gets the same treatment.
TEST_F(UndoLogTest, ASecondInstanceLeavesTheFirstOnesLogAlone) {
  TUndoClass first(Path());
  const GreyCounts a = Selection(100), b = Selection(50, 3);
  first.Adicionar(a);
  first.Adicionar(b);
  const std::vector<uint8_t> before = Bytes(Path());

  const pid_t child = fork();
  if (child == 0) {
    int faults = 0;
    {
      TUndoClass second(Path());
      faults += second.Arquivo() == Path();
      faults += second.Arquivo() != TUndoClass::NomeDaInstancia(Path(), 1);
      second.Adicionar(Selection(7));
      second.Adicionar(Selection(9));
      faults += second.Desfazer(Sum(Selection(7), Selection(9))) != Selection(7);
      faults += fs::file_size(second.Arquivo()) != 2048;
    }
    faults += fs::exists(TUndoClass::NomeDaInstancia(Path(), 1));
    _exit(faults);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Bytes(Path()), before);

  {
    TUndoClass same(Path());
    EXPECT_NE(same.Arquivo(), Path());
    same.Adicionar(Selection(3));
    TUndoClass third(Path());
    EXPECT_NE(third.Arquivo(), same.Arquivo());
    EXPECT_NE(third.Arquivo(), Path());
  }
  EXPECT_EQ(Bytes(Path()), before);
  EXPECT_EQ(first.Desfazer(Sum(a, b)), a);
  EXPECT_EQ(first.Refazer(a), Sum(a, b));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1);
}

// Once the first log is closed its name is free again, and a new log empties it.
TEST_F(UndoLogTest, AClosedLogsNameIsTakenAgain) {
  { TUndoClass(Path()).Adicionar(Selection(10)); }
  TUndoClass next(Path());
  EXPECT_EQ(next.Arquivo(), Path());
  EXPECT_EQ(fs::file_size(Path()), 0u);
}

// At the end of the program a log removes its own file, and only its own: the log of
// another instance keeps its file and its records.
TEST_F(UndoLogTest, RemovingTakesAwayTheLogsOwnFileOnly) {
  TUndoClass first(Path());
  first.Adicionar(Selection(10));
  TUndoClass beside(Path());
  const std::string besideFile = beside.Arquivo();
  ASSERT_NE(besideFile, Path());
  beside.Adicionar(Selection(20));
  beside.Remover();
  EXPECT_FALSE(fs::exists(besideFile));
  EXPECT_EQ(fs::file_size(Path()), 1024u);
  EXPECT_EQ(first.Desfazer(Selection(10)), GreyCounts{});

  first.Remover();
  EXPECT_FALSE(fs::exists(Path()));
  EXPECT_FALSE(first.PodeDesfazer());
  EXPECT_FALSE(first.PodeRefazer());
  EXPECT_EQ(first.Posicao(), 0);
  EXPECT_EQ(first.Refazer(Selection(10)), All(-1));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 0);
}

TEST_F(UndoLogTest, AFileThatCannotBeCreatedFailsTheAdditionAndKeepsTheLogEmpty) {
  std::ofstream(folder_ / "plain") << "a file, not a folder";
  const std::string path = folder_ / "plain/zundo.tmp";
  TUndoClass log(path);  // no error yet: nothing has been recorded
  try {
    log.Adicionar(Selection(10));
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
  EXPECT_EQ(log.NumDesfazer(), 0);
  EXPECT_FALSE(log.PodeDesfazer());
  EXPECT_EQ(log.Posicao(), 0);
  EXPECT_EQ(log.Desfazer(Selection(10)), All(-1));
}

TEST_F(UndoLogTest, ALogCreatedLaterStartsEmpty) {
  const std::string sub = folder_ / "later";
  TUndoClass log(sub + "/zundo.tmp");
  EXPECT_THROW(log.Adicionar(Selection(5)), EInOutError);
  fs::create_directory(sub);
  log.Adicionar(Selection(5));
  EXPECT_EQ(fs::file_size(sub + "/zundo.tmp"), 1024u);
  EXPECT_EQ(log.NumDesfazer(), 1);
}

// A full disk stops the write before or after part of the record reached the file.
TEST_F(UndoLogTest, AFailedWriteKeepsTheRecordsInForce) {
  struct Case {
    rlim_t room;    // bytes the file may reach
    bool redoKept;  // nothing was written over the redo tail
  };
  for (const Case c : {Case{1024, true}, Case{1024 + 512, false}}) {
    SCOPED_TRACE(c.room);
    TUndoClass log(Path());
    const GreyCounts a = Selection(100), b = Selection(50, 1);
    log.Adicionar(a);
    log.Adicionar(b);
    log.Desfazer(Sum(a, b));  // b can be redone
    {
      vandrel::testing::FileSizeLimit full(c.room);
      EXPECT_THROW(log.Adicionar(Selection(30, 2)), EInOutError);
    }
    EXPECT_EQ(log.NumDesfazer(), 1);
    EXPECT_EQ(log.Posicao(), 1024);
    EXPECT_EQ(log.PodeRefazer(), c.redoKept);
    const GreyCounts current = log.Refazer(a);
    EXPECT_EQ(current, c.redoKept ? Sum(a, b) : All(-1));
    // With room again the log goes on from where it stands.
    const GreyCounts before = c.redoKept ? current : a;
    const GreyCounts more = Selection(30, 2);
    log.Adicionar(more);
    EXPECT_EQ(log.Desfazer(Sum(before, more)), before);
  }
}

TEST_F(UndoLogTest, ARecordCutAwayBehindTheLogFailsTheStepAndChangesNothing) {
  TUndoClass log(Path());
  log.Adicionar(Selection(100));
  log.Adicionar(Selection(50));
  fs::resize_file(Path(), 1500);
  EXPECT_THROW(log.Desfazer(Selection(150)), EInOutError);
  EXPECT_EQ(log.NumDesfazer(), 2);
  EXPECT_EQ(log.NumRefazer(), 0);
  EXPECT_EQ(log.Posicao(), 2048);
  EXPECT_FALSE(log.PodeRefazer());
}
