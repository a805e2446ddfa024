#pragma once
// Shell links: a ".lnk" file holding a freedesktop desktop entry. A program target gives
// an Application entry (Exec = target and arguments, Path = working folder); any other
// target (a document, a file that does not exist yet) a Link entry with its file URL.
// Name is the link's file name without ".lnk".
#include <string>

namespace vandrel {

struct ShellLink {
  std::string target;         // the program or document the link opens
  std::string arguments;      // a command line, split into words (SplitCommandLine)
  std::string workingFolder;  // current folder of the program started
};

// The desktop entry of `link` named `name`. A relative target is taken from the current
// folder, as the link must name it wherever it is opened from.
std::string DesktopEntry(const ShellLink& link, const std::string& name);

// Writes the entry to `file` (folder + "/" + name + ".lnk"), replacing it when it exists.
// False when the file cannot be written.
bool SaveShellLink(const ShellLink& link, const std::string& file);

// One word of an Exec line, quoted as the desktop entry format requires.
std::string QuoteExecWord(const std::string& word);

}  // namespace vandrel
