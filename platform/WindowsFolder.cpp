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

// An XDG folder variable; only an absolute path counts, as the base directory rules say.
std::string XdgFolder(const char* variable, const char* underHome) {
  std::string folder = Environment(variable);
  if (folder.empty() || folder.front() != '/') {
    std::string home = HomeFolder();
    while (!home.empty() && home.back() == '/') home.pop_back();
    folder = home + underHome;
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::string UserDataFolder() { return XdgFolder("XDG_DATA_HOME", "/.local/share"); }

std::string UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", "/.config"); }

std::string WindowsFolder() {
  std::string folder = Environment("VANDREL_WINDOWS_DIR");
  if (folder.empty()) folder = UserDataFolder() + "/vandrel";
  // Paths are built by appending "/name", as on Windows, where the folder has no trailing
  // separator either.
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace vandrel
