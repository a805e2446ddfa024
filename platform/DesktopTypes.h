#pragma once
// The program's document types made known to the desktop, in the user's own folders, so
// that a file manager opens them where their file-type class says:
// - each extension gets a shared-mime-info type "application/x-vandrel-<ext>" in
//   $XDG_DATA_HOME/mime/packages/vandrel-<ext>.xml (glob "*.<ext>", the class's
//   description as comment; a type opened by "notepad %1" is a kind of text/plain, so the
//   user's text editor opens it);
// - the types the program opens are listed in its entry $XDG_DATA_HOME/applications/
//   vandrel.desktop and made its defaults in $XDG_CONFIG_HOME/mimeapps.list;
// - a class without an open command gets its type only;
// - the entry names a program whose path needs quoting through a link of ours in
//   $XDG_DATA_HOME/vandrel/bin, since the generic opener cannot read a quoted Exec.
#include <string>

namespace vandrel {

// The type of an extension given with or without its dot (".his" -> application/x-vandrel-his).
std::string DesktopMimeType(const std::string& extension);

// Registers the class of `extension` with its description and open command (as written
// under the class key: "<program> %1", "notepad %1", or empty for none). Folders that do
// not exist yet are created, and a file that holds what it must already is left as it is;
// every installation registers again, so that the types open the program it names. Raises
// EInOutError when a file cannot be written; a file that
// exists but cannot be read is never replaced.
void RegisterDesktopFileType(const std::string& extension, const std::string& description,
                             const std::string& command);

// Rebuilds the desktop's databases of the user's folders with update-mime-database and
// update-desktop-database, each when it is installed and the database is older than our
// files in it (or missing); raises EInOutError when a tool fails. Then, where the generic type tool
// (`mimetype`, which the desktop's opener asks outside a session) gives an extension the
// program opens to a type of the system's, that type gets the program as its default,
// unless the user has chosen one for it.
void RefreshDesktopDatabases();

// Puts a file of the program's icon into the user's icon theme, $XDG_DATA_HOME/icons/ +
// `file` ("hicolor/48x48/apps/vandrel.png"), unless it holds `bytes` already. True when it
// was written; raises EInOutError when it cannot be.
bool InstallDesktopIcon(const std::string& file, const std::string& bytes);

// Tells the desktop that the user's icons changed (xdg-icon-resource forceupdate, else
// gtk-update-icon-cache where the theme has a cache). Raises EInOutError when the tool fails.
void RefreshIconCaches();

// Makes the file named `name` (no folder: "Ajuda.hlp") an HTML document for the desktop,
// whatever its extension says elsewhere, so that it opens in the user's HTML viewer. True
// when the definition was written, false when it was there already.
bool RegisterDesktopHtmlFile(const std::string& name);

}  // namespace vandrel
