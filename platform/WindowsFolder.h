#pragma once
// The Windows folder, under which the installer keeps its Start-menu folder:
// $VANDREL_WINDOWS_DIR when set, else $XDG_DATA_HOME/vandrel (~/.local/share/vandrel).
#include <string>

namespace vandrel {

// The folder without a trailing "/" (except for the root itself).
std::string WindowsFolder();

// The user's data and configuration folders: $XDG_DATA_HOME and $XDG_CONFIG_HOME when they
// name an absolute path, else ~/.local/share and ~/.config; without a trailing "/".
std::string UserDataFolder();
std::string UserConfigFolder();

}  // namespace vandrel
