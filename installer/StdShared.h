#pragma once
// Shell routines of the installer: the system folders, shortcuts and running a program.
#include <QIcon>
#include <QString>

#include "platform/ShellLink.h"

namespace installer {

// Show mode of a started program's window (normal).
constexpr int SW_SHOW = 5;

// The Windows folder.
QString GetWindowsDir();

// The Explorer "Shell Folders" values "Programs" and "Desktop" of the current user (empty
// when absent).
QString GetProgramsFolder();
QString GetDesktopFolder();

// Saves the link folder + "/" + name + ".lnk" (the desktop's "name.desktop") to `target`
// with its arguments and working folder, replacing an earlier one. Returns why the link
// could not be saved, empty when it was. A link without a folder is not saved (it would
// land in the root of the file system), and that is no failure.
QString CreateShortcut(const QString& target, const QString& arguments,
                       const QString& workingFolder, const QString& folder, const QString& name);
// The same with everything the desktop entry says.
QString CreateShortcut(const vandrel::ShellLink& link, const QString& folder, const QString& name);

// True when `folder` holds the program file "Vandrel" (a regular file its user may run).
bool HoldsProgram(const QString& folder);
// True when `file` is a program file its user may run.
bool IsProgramFile(const QString& file);

// Starts the program with the parameters in the program's own folder and waits without
// limit for it to end. True when it started. The show mode has no meaning here.
bool RunAndWait(const QString& programPath, const QString& parameters, int showMode);

// Puts the program's icon, which the installer carries in every size of the icon theme,
// into the user's icon theme, and tells the desktop. Returns why it could not, empty when
// it could.
QString InstallProgramIcons();

// The program's icon in the sizes the installer carries.
QIcon ProgramIcon();

// Creates one folder when it does not exist; failures (parent missing, no rights, a file
// in its place) are ignored.
void CreateFolderIfMissing(const QString& folder);

// Creates a folder with every missing level above it (a fresh account has no desktop or
// menu folder yet); failures are ignored here and show when a file is written into it.
void CreateFolderPath(const QString& folder);

}  // namespace installer
