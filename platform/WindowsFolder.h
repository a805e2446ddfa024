#pragma once
// The Windows folder, under which the installer keeps its Start-menu folder:
// $VANDREL_WINDOWS_DIR when set, else $XDG_DATA_HOME/vandrel (~/.local/share/vandrel).
#include <string>

namespace vandrel {

// The folder without a trailing "/" (except for the root itself).
std::string WindowsFolder();

}  // namespace vandrel
