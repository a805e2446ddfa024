#include "platform/WindowsFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace vandrel {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string HomeFolder() {
  if (std::string home = Environment("HOME"); !home.empty()) return home;
  if (passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

}  // namespace

std::string WindowsFolder() {
  std::string folder = Environment("VANDREL_WINDOWS_DIR");
  if (folder.empty()) {
    std::string data = Environment("XDG_DATA_HOME");
    while (data.size() > 1 && data.back() == '/') data.pop_back();
    if (data.empty()) data = HomeFolder() + "/.local/share";
    folder = data + "/vandrel";
  }
  // Paths are built by appending "/name", as on Windows, where the folder has no trailing
  // separator either.
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace vandrel
