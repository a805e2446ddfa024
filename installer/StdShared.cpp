#include "installer/StdShared.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <cstring>
#include <filesystem>

#include "platform/DesktopTypes.h"
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
  vandrel::ShellLink link;
  link.target = target.toStdString();
  link.arguments = arguments.toStdString();
  link.workingFolder = workingFolder.toStdString();
  return CreateShortcut(link, folder, name);
}

QString CreateShortcut(const vandrel::ShellLink& link, const QString& folder, const QString& name) {
  if (folder.isEmpty()) return {};
  std::string error;
  if (vandrel::SaveShellLink(link, (folder + "/" + name + ".lnk").toStdString(), &error)) return {};
  return QString::fromStdString(error);
}

namespace {

// The icon files the installer carries, under the folder of the theme they belong to
// ("hicolor/48x48/apps/vandrel.png").
constexpr const char* kIconResources = ":/icons/";

QStringList IconFiles() {
  QStringList files;
  QDirIterator it(kIconResources, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) files << it.next().mid(int(std::strlen(kIconResources)));
  files.sort();
  return files;
}

}  // namespace

QString InstallProgramIcons() {
  try {
    for (const QString& file : IconFiles()) {
      QFile resource(kIconResources + file);
      if (!resource.open(QIODevice::ReadOnly)) continue;
      const QByteArray bytes = resource.readAll();
      vandrel::InstallDesktopIcon(file.toStdString(), bytes.toStdString());
    }
    vandrel::RefreshIconCaches();
  } catch (const vandrel::Exception& e) {
    return QString::fromStdString(e.what());
  }
  return {};
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const QString& file : IconFiles())
    if (file.endsWith(".png")) icon.addFile(kIconResources + file);
  return icon;
}

bool IsProgramFile(const QString& file) {
  const std::string path = file.toStdString();
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool HoldsProgram(const QString& folder) {
  return !folder.isEmpty() && IsProgramFile(folder + "/Vandrel");
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
