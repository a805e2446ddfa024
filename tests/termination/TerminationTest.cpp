// The session's requests to end the program (SIGTERM at a logout or shutdown, SIGINT,
// SIGHUP) close it as its main window's close box does. The real program runs from a copy
// of its folder, off screen, with a fresh home and a registry of its own, and a phase window
// open; a probe loaded into it reports when it is ready. After the signal the program must
// end by itself with status 0, its close handler having written "Modo de Analise", and
// without leaving the phase's undo log behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "tests/support/TempDir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using vandrel::testing::TempDir;

// The delivered program folder, once for all cases; the about box that a fresh folder
// shows at start is switched off, so that each case opens the windows it needs, and the
// first recent image is the grey ramp of the folder (a phase needs an image).
class ProgramFolder {
 public:
  ProgramFolder() {
    for (const auto& entry : fs::recursive_directory_iterator(VANDREL_PROGRAM_FOLDER)) {
      const fs::path to = folder_.path() / fs::relative(entry.path(), VANDREL_PROGRAM_FOLDER);
      if (entry.is_directory()) {
        fs::create_directories(to);
        continue;
      }
      // A link where the file system allows it, else a copy.
      std::error_code ec;
      fs::create_hard_link(entry.path(), to, ec);
      if (ec) fs::copy_file(entry.path(), to);
    }
    const fs::path config = folder_.path() / "system/config.ini";
    fs::remove(config);  // a new file: a hard link would change the build's own
    std::ofstream(config) << "[caminhos]\ncaminhos_padrao=vandrel\n"
                             "[caixa_sobre]\nmostrar_inicio=FALSE\n"
                             "[imagens_abertas]\nima0="
                          << (folder_.path() / "system/plt8.bmp").string() << "\n";
  }
  fs::path path() const { return folder_.path(); }
  std::vector<std::string> UndoLogs() const {
    std::vector<std::string> logs;
    for (const auto& entry : fs::directory_iterator(folder_.path()))
      if (entry.path().filename().string().rfind("zundo", 0) == 0)
        logs.push_back(entry.path().filename().string());
    return logs;
  }

 private:
  TempDir folder_;
};

// A line from the probe, "" when the program ended first.
std::string ReadLine(int fd) {
  std::string line;
  char c;
  for (;;) {
    const ssize_t n = ::read(fd, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return "";
    if (c == '\n') return line;
    line += c;
  }
}

// The program started with the probe; its marks come on `marks`, and it waits on `go` once
// it gets its close event.
struct Started {
  pid_t pid = -1;
  int marks = -1;
  int go = -1;
};

Started Start(const ProgramFolder& program, const TempDir& world, const std::string& actions,
              bool waitWhileClosing) {
  int marks[2], go[2];
  if (::pipe2(marks, O_CLOEXEC) != 0 || ::pipe2(go, O_CLOEXEC) != 0) return {};
  std::vector<std::string> env;
  // The test's environment (the sanitizers' options among it) without what is set below.
  auto replaced = [](const std::string& v) {
    for (const char* name : {"HOME=", "VANDREL_REGISTRY=", "QT_QPA_PLATFORM=", "QT_PLUGIN_PATH=",
                             "QT_QPA_GENERIC_PLUGINS=", "XDG_CONFIG_HOME=", "XDG_RUNTIME_DIR="})
      if (v.rfind(name, 0) == 0) return true;
    return false;
  };
  for (char** e = environ; *e; ++e)
    if (!replaced(*e)) env.push_back(*e);
  env.push_back("HOME=" + world / "home");
  env.push_back("XDG_RUNTIME_DIR=" + world / "runtime");
  env.push_back("VANDREL_REGISTRY=" + world / "registry.ini");
  env.push_back("QT_QPA_PLATFORM=offscreen");
  env.push_back(std::string("QT_PLUGIN_PATH=") + VANDREL_END_PROBE_PLUGINS);
  env.push_back("QT_QPA_GENERIC_PLUGINS=vandrelend:/dev/fd/3;" +
                std::string(waitWhileClosing ? "/dev/fd/4" : "-") + ";" + actions);
  std::vector<char*> envp;
  for (std::string& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  const std::string exe = (program.path() / "Vandrel").string();
  char* argv[] = {const_cast<char*>("Vandrel"), nullptr};

  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(marks[1], 3);
    ::dup2(go[0], 4);
    ::execve(exe.c_str(), argv, envp.data());
    ::_exit(127);
  }
  ::close(marks[1]);
  ::close(go[0]);
  return {pid, marks[0], go[1]};
}

// "Modo de Analise" as the registry holds it: "absent", "0" or "1".
std::string StoredMode(const TempDir& world) {
  const char* saved = std::getenv("VANDREL_REGISTRY");
  const std::string keep = saved ? saved : "";
  ::setenv("VANDREL_REGISTRY", (world / "registry.ini").c_str(), 1);
  std::string mode = "absent";
  {
    vandrel::Registry reg(vandrel::RegRoot::HKEY_LOCAL_MACHINE);
    if (reg.OpenKey("Software\\Vandrel", false) && reg.ValueExists("Modo de Analise"))
      mode = reg.ReadBool("Modo de Analise") ? "1" : "0";
  }
  if (saved)
    ::setenv("VANDREL_REGISTRY", keep.c_str(), 1);
  else
    ::unsetenv("VANDREL_REGISTRY");
  return mode;
}

TEST(Termination, ASignalClosesTheProgramAsItsCloseBoxDoes) {
  const ProgramFolder program;
  const struct {
    const char* name;
    int signal;
    const char* actions;
    const char* modal;       // the dialog up when the signal comes
    bool againWhileClosing;  // a second request while the program closes
  } cases[] = {
      {"SIGTERM", SIGTERM, "ima0;NovaFase", "none", false},
      {"SIGINT", SIGINT, "ima0;NovaFase", "none", false},
      {"SIGHUP", SIGHUP, "ima0;NovaFase", "none", false},
      {"SIGTERM with the about box up", SIGTERM, "ima0;NovaFase;Sobre1", "TSobreDialog", false},
      {"SIGTERM with a dialog up that takes no Escape", SIGTERM, "ima0;NovaFase;!stubborn",
       "QDialog", false},
      {"SIGTERM, and again while closing", SIGTERM, "ima0;NovaFase", "none", true},
      {"SIGHUP, then SIGTERM while closing", SIGHUP, "ima0;NovaFase", "none", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir world;
    fs::create_directories(world.path() / "home");
    fs::create_directories(world.path() / "runtime");
    fs::permissions(world.path() / "runtime", fs::perms::owner_all);
    const Started run = Start(program, world, c.actions, c.againWhileClosing);
    ASSERT_GT(run.pid, 0);

    const std::string ready = ReadLine(run.marks);
    EXPECT_EQ(ready, std::string("ready ") + c.modal);
    // The phase window is open with its undo log; nothing has written the mode yet.
    EXPECT_EQ(program.UndoLogs(), std::vector<std::string>{"zundo.tmp"});
    EXPECT_EQ(StoredMode(world), "absent");

    ::kill(run.pid, c.signal);
    if (c.againWhileClosing) {
      EXPECT_EQ(ReadLine(run.marks), "closing");
      ::kill(run.pid, SIGTERM);
      // The request is in the program before its closing goes on.
      const char go = 'g';
      EXPECT_EQ(::write(run.go, &go, 1), 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(run.pid, &status, 0), run.pid);
    ::close(run.marks);
    ::close(run.go);
    EXPECT_TRUE(WIFEXITED(status))
        << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
    EXPECT_EQ(StoredMode(world), "0");
    EXPECT_TRUE(program.UndoLogs().empty());
    for (const std::string& left : program.UndoLogs()) fs::remove(program.path() / left);
  }
}

}  // namespace
