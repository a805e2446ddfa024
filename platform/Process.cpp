#include "platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace vandrel {

std::vector<std::string> SplitCommandLine(const std::string& parameters) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;  // a word has begun (an empty "" counts as one)
  bool quoted = false;
  size_t i = 0;
  const size_t n = parameters.size();
  while (i < n) {
    const char c = parameters[i];
    if (!quoted && (c == ' ' || c == '\t')) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
      ++i;
      continue;
    }
    inWord = true;
    if (c == '\\') {
      size_t slashes = 0;
      while (i < n && parameters[i] == '\\') ++slashes, ++i;
      if (i < n && parameters[i] == '"') {
        word.append(slashes / 2, '\\');
        if (slashes % 2) {
          word += '"';
          ++i;
        }
        // An even count leaves the quote to the next round, where it groups.
      } else {
        word.append(slashes, '\\');
      }
      continue;
    }
    if (c == '"') {
      // Inside quotes a doubled quote stands for one quote, as the runtime reads it.
      if (quoted && i + 1 < n && parameters[i + 1] == '"') {
        word += '"';
        i += 2;
        continue;
      }
      quoted = !quoted;
      ++i;
      continue;
    }
    word += c;
    ++i;
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

bool StartAndWait(const std::string& program, const std::string& parameters) {
  return StartAndWait(program, SplitCommandLine(parameters));
}

bool StartAndWait(const std::string& program, std::vector<std::string> words) {
  namespace fs = std::filesystem;
  if (program.empty()) return false;
  // The child changes folder before it runs the program, so the file is named absolutely.
  std::error_code ec;
  const fs::path path = fs::absolute(program, ec);
  if (ec) return false;
  std::string file = path.string();
  const std::string folder = path.parent_path().string();

  std::vector<char*> argv;
  argv.reserve(words.size() + 2);
  argv.push_back(file.data());
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return false;
  if (posix_spawn_file_actions_addchdir_np(&actions, folder.c_str()) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return false;
  }
  pid_t pid = 0;
  // glibc reports a failed change of folder or exec as the result of posix_spawn.
  const int err = posix_spawn(&pid, file.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (err != 0) return false;

  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return true;
}

bool RunAndRead(const std::string& program, std::vector<std::string> words, std::string& output) {
  output.clear();
  std::string file = program;
  std::vector<char*> argv;
  argv.reserve(words.size() + 2);
  argv.push_back(file.data());
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) {
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    return false;
  }
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  pid_t pid = 0;
  const int err = posix_spawn(&pid, file.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  if (err == 0) {
    char buffer[4096];
    for (;;) {
      const ssize_t n = ::read(pipeEnds[0], buffer, sizeof buffer);
      if (n > 0) {
        output.append(buffer, size_t(n));
      } else if (n == 0 || errno != EINTR) {
        break;
      }
    }
  }
  ::close(pipeEnds[0]);
  if (err != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string FindInPath(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return {};
  const char* value = std::getenv("PATH");
  const std::string path = value ? value : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    // An empty entry stands for the current folder, as the shell reads it.
    std::string folder = path.substr(start, end - start);
    if (folder.empty()) folder = ".";
    const std::string file = folder + "/" + name;
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(file.c_str(), X_OK) == 0)
      return file;
    start = end + 1;
  }
  return {};
}

}  // namespace vandrel
