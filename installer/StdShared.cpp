#include "installer/StdShared.h"

#include <sys/stat.h>

#include <filesystem>

#include "platform/Errors.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/ShellLink.h"
#include "platform/WindowsFolder.h"

namespace installer {

namespace {

// A value of the "Shell Folders" key; a value of the other type counts as absent.
QString ShellFolder(const char* name) {
  vandrel::Registry reg(vandrel::RegRoot::HKEY_CURRENT_USER);
  if (!reg.OpenKey("Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false))
    return {};
  try {
    return QString::fromStdString(reg.ReadString(name));
  } catch (const vandrel::Exception&) {
    return {};
  }
}

}  // namespace

QString GetWindowsDir() { return QString::fromStdString(vandrel::WindowsFolder()); }

QString GetProgramsFolder() { return ShellFolder("Programs"); }

QString GetDesktopFolder() { return ShellFolder("Desktop"); }

QString CreateShortcut(const QString& target, const QString& arguments,
                       const QString& workingFolder, const QString& folder, const QString& name) {
  if (folder.isEmpty()) return {};
  vandrel::ShellLink link{target.toStdString(), arguments.toStdString(),
                          workingFolder.toStdString()};
  std::string error;
  if (vandrel::SaveShellLink(link, (folder + "/" + name + ".lnk").toStdString(), &error)) return {};
  return QString::fromStdString(error);
}

bool RunAndWait(const QString& programPath, const QString& parameters, int /*showMode*/) {
  return vandrel::StartAndWait(programPath.toStdString(), parameters.toStdString());
}

void CreateFolderIfMissing(const QString& folder) {
  const std::string path = folder.toStdString();
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return;
  // One level only, as the folder's parent must exist.
  (void)::mkdir(path.c_str(), 0777);
}

void CreateFolderPath(const QString& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder.toStdString(), ec);
}

}  // namespace installer
