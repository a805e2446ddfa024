// Saves cut short: a child process saves a large file and is killed at many points of the
// save (before, while and after its bytes are written). The child stops itself at each point
// through the writer's step hook and is killed while stopped, so what is killed where does
// not depend on how fast the machine runs. The file is then always the old one
// or the new one, complete, and once the next save into that folder has run no temporary
// file is left there. Both ways of writing are covered: through an unnamed temporary file,
// and through a named one as on file systems that have no unnamed files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/WritingWays.h"

namespace fs = std::filesystem;
using vandrel::WriteFileAtomically;
using vandrel::WriteStep;
using vandrel::testing::ForEachWritingWay;
using vandrel::testing::TempDir;

namespace {

std::string RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = char(random());
  return bytes;
}

// The whole content of a file, read in one piece (these files are large).
std::string Content(const std::string& path) {
  std::string bytes;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) return bytes;
  bytes.resize(size_t(st.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += size_t(n);
  }
  bytes.resize(done);
  ::close(fd);
  return bytes;
}

// Whether a folder holds a temporary file of the writer's naming.
bool HoldsATemporaryFile(const std::string& folder) {
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().filename().string().find(".vandrel-") != std::string::npos) return true;
  return false;
}

// The names in a folder.
std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

// Where the child is stopped and killed: at the first time the writer reaches `step` with
// at least `fraction` of the new file's bytes written. `finish` lets the save end.
struct KillPoint {
  const char* what;
  WriteStep step;
  double fraction = 0;
  bool finish = false;
};

const KillPoint kKillPoints[] = {
    {"before the folder is looked at", WriteStep::kStarting},
    {"with the temporary file open and empty", WriteStep::kOpened},
    {"after the first piece", WriteStep::kPieceWritten},
    {"with 30% written", WriteStep::kPieceWritten, 0.3},
    {"with 55% written", WriteStep::kPieceWritten, 0.55},
    {"with 80% written", WriteStep::kPieceWritten, 0.8},
    {"with every byte written and synced", WriteStep::kWritten},
    {"with the temporary file named, before the rename", WriteStep::kNamed},
    {"right after the rename", WriteStep::kReplaced},
    {"after the save", WriteStep::kReplaced, 0, true},
};

// What the child's hook stops at (set in the child only).
const KillPoint* stopAt = nullptr;
size_t stopBytes = 0;

void StopHere(WriteStep step, size_t written) {
  if (stopAt && step == stopAt->step && written >= stopBytes) {
    stopAt = nullptr;
    ::raise(SIGSTOP);
  }
}

// Whether a temporary file is in the folder while the writer stands at `step`: a named one
// from the moment it is opened, an unnamed one from the moment it is given its name, and
// neither once it is renamed into place.
bool TemporaryShownAt(WriteStep step, bool unnamed) {
  if (step == WriteStep::kNamed) return true;
  return !unnamed && step != WriteStep::kStarting && step != WriteStep::kReplaced;
}

struct Outcome {
  int killed = 0, oldFile = 0, newFile = 0, leftBehind = 0;
};

// One save of `next` over `target`, in a child stopped at `point` and killed there.
void SaveAndKill(const std::string& target, const std::string& old, const std::string& next,
                 const KillPoint& point, bool unnamed, Outcome& outcome) {
  const std::string folder = fs::path(target).parent_path().string();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (!point.finish) {
      stopAt = &point;
      stopBytes = size_t(point.fraction * double(next.size()));
      vandrel::SetWriteStepHook(StopHere);
    }
    try {
      WriteFileAtomically(target, next);
    } catch (...) {
      ::_exit(2);
    }
    ::_exit(0);
  }
  int status = 0;
  if (!point.finish) {
    // The child stops itself at the point; what is on disk then is what a kill there leaves.
    ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
    if (!WIFSTOPPED(status)) {
      ADD_FAILURE() << "the save ended before it reached the point, status " << status;
    } else {
      const bool shown = HoldsATemporaryFile(folder);
      EXPECT_EQ(shown, TemporaryShownAt(point.step, unnamed));
      EXPECT_EQ(Content(target), point.step == WriteStep::kReplaced ? next : old);
      ::kill(child, SIGKILL);
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
    }
  } else {
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  }
  const bool killed = WIFSIGNALED(status);
  outcome.killed += killed;

  const std::string now = Content(target);
  const bool isOld = now == old, isNew = now == next;
  EXPECT_TRUE(isOld || isNew) << "the target holds " << now.size() << " bytes, neither file";
  if (!killed) {
    EXPECT_TRUE(isNew) << "a save that ended left the old file";
  }
  outcome.oldFile += isOld;
  outcome.newFile += isNew;
  const bool left = HoldsATemporaryFile(folder);
  EXPECT_EQ(left, killed && TemporaryShownAt(point.step, unnamed));
  outcome.leftBehind += left;
}

}  // namespace

TEST(AtomicFileKilled, TargetIsOldOrNewAndTheNextSaveLeavesNoTemporaryFile) {
  const std::string old = RandomBytes(3u << 19, 1);
  const std::string next = RandomBytes(4u << 20, 2);
  ForEachWritingWay([&](bool unnamed) {
    TempDir dir;
    const std::string target = dir / "big.bmp";
    const std::string other = dir / "other.his";
    Outcome outcome;
    for (const KillPoint& point : kKillPoints) {
      SCOPED_TRACE(std::string(point.finish ? "not killed, " : "killed ") + point.what);
      dir.write("big.bmp", old);
      dir.write("other.his", "histogram");
      SaveAndKill(target, old, next, point, unnamed, outcome);
      if (::testing::Test::HasFatalFailure()) return;
      WriteFileAtomically(other, "the next save");
      EXPECT_EQ(Names(dir.path().string()), (std::set<std::string>{"big.bmp", "other.his"}));
      EXPECT_EQ(TempDir::read(other), "the next save");
    }
    // Every point but the last kills the save; the rename is the moment the new file comes.
    EXPECT_EQ(outcome.killed, int(std::size(kKillPoints)) - 1);
    EXPECT_EQ(outcome.newFile, 2);
    EXPECT_EQ(outcome.oldFile, int(std::size(kKillPoints)) - 2);
    std::cout << (unnamed ? "unnamed" : "named") << ": " << std::size(kKillPoints) << " saves, "
              << outcome.killed << " killed; old file " << outcome.oldFile << ", new file "
              << outcome.newFile << "; a temporary file left until the next save "
              << outcome.leftBehind << " times\n";
  });
}

namespace {

// A pid that no process has: a child's that has ended and been waited for.
pid_t EndedProcess() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return pid;
}

std::string TemporaryOf(const std::string& target, pid_t pid, const char* random = "0badf00d") {
  return "." + target + ".vandrel-" + std::to_string(pid) + "-" + random + ".tmp";
}

void SetModified(const std::string& path, time_t when) {
  const timeval times[2] = {{when, 0}, {when, 0}};
  ::utimes(path.c_str(), times);
}

}  // namespace

// The next save removes what killed writers left of their own naming and nothing else: not a
// file that a living writer holds, not one that its process may still be writing, not files
// of other names, folders or links.
TEST(AtomicFileKilled, NextSaveRemovesOnlyTemporaryFilesOfGoneWriters) {
  TempDir dir;
  const pid_t gone = EndedProcess();
  const pid_t self = ::getpid();
  struct Case {
    std::string name;
    bool removed;
    time_t modified = 0;  // 0: now
  };
  const std::vector<Case> cases = {
      {TemporaryOf("big.bmp", gone), true},
      {TemporaryOf("x", gone, "ffffffff"), true},
      {TemporaryOf("config.ini", gone, "ABCDEF12"), true},
      // its writer's number, now another process's, given after the file was written
      {TemporaryOf("big.bmp", self, "00000001"), true, 86400},
      // a writer that may still be at work on it
      {TemporaryOf("big.bmp", self, "00000002"), false},
      // names of other forms
      {".big.bmp.492672894.tmp", false},
      {"big.bmp.vandrel-" + std::to_string(gone) + "-0badf00d.tmp", false},
      {".big.bmp.vandrel-" + std::to_string(gone) + "-0badf00d.tmp~", false},
      {".big.bmp.vandrel-" + std::to_string(gone) + "-0badf00.tmp", false},
      {".big.bmp.vandrel-" + std::to_string(gone) + "-0badf00dd.tmp", false},
      {".big.bmp.vandrel-" + std::to_string(gone) + "-0badf0g0.tmp", false},
      {".big.bmp.vandrel--0badf00d.tmp", false},
      {".big.bmp.vandrel-0-0badf00d.tmp", false},
      {".big.bmp.vandrel-12a-0badf00d.tmp", false},
      {".vandrel-" + std::to_string(gone) + "-0badf00d.tmp", false},
      {"notes.tmp", false},
  };
  for (const Case& c : cases) {
    dir.write(c.name, "left behind");
    if (c.modified) SetModified(dir / c.name, c.modified);
  }
  fs::create_directory(dir / TemporaryOf("folder", gone));
  fs::create_symlink("big.bmp", dir / TemporaryOf("link", gone));

  WriteFileAtomically(dir / "big.bmp", "new");
  const std::set<std::string> names = Names(dir.path().string());
  for (const Case& c : cases) EXPECT_EQ(names.count(c.name), c.removed ? 0u : 1u) << c.name;
  EXPECT_EQ(names.count(TemporaryOf("folder", gone)), 1u);
  EXPECT_EQ(names.count(TemporaryOf("link", gone)), 1u);
  EXPECT_EQ(TempDir::read(dir / "big.bmp"), "new");
}

// A writer in another process that holds its temporary file keeps it through other saves
// into the folder; once that writer is killed, the next save removes it.
TEST(AtomicFileKilled, FileOfALivingWriterStaysUntilItsWriterIsGone) {
  TempDir dir;
  int ready[2], hold[2];
  ASSERT_EQ(::pipe2(ready, O_CLOEXEC), 0);
  ASSERT_EQ(::pipe2(hold, O_CLOEXEC), 0);
  const pid_t writer = ::fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    const std::string name = dir / TemporaryOf("big.bmp", ::getpid());
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0 || ::flock(fd, LOCK_EX) != 0) ::_exit(2);
    // Old enough that only the lock tells that the writer is at work.
    SetModified(name, 86400);
    const char byte = 1;
    if (::write(ready[1], &byte, 1) != 1) ::_exit(3);
    char wait = 0;
    (void)!::read(hold[0], &wait, 1);
    ::_exit(0);
  }
  ::close(ready[1]);
  ::close(hold[0]);
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  const std::string held = TemporaryOf("big.bmp", writer);

  WriteFileAtomically(dir / "other.his", "a");
  EXPECT_EQ(Names(dir.path().string()), (std::set<std::string>{held, "other.his"}));

  ::kill(writer, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(writer, &status, 0), writer);
  ::close(ready[0]);
  ::close(hold[1]);
  WriteFileAtomically(dir / "other.his", "b");
  EXPECT_EQ(Names(dir.path().string()), (std::set<std::string>{"other.his"}));
}
