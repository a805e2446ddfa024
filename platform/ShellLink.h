#pragma once
// Shell links: a link "folder/name.lnk" is the desktop's own kind of link, the desktop
// entry "folder/name.desktop", executable, which menus and the desktop show. A program
// target gives an Application entry (Exec = target and arguments, Path = working folder,
// the program's icon when the target is Vandrel itself); any other target (a document, a
// file that does not exist yet) an Application entry that opens it with the desktop's
// opener (Exec = xdg-open target), as menus show no other kind of entry. Name is the
// link's name.
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

// The program that opens a document target the way the desktop opens its files.
inline constexpr const char* kDocumentOpener = "xdg-open";

// The icon name of the program's entries.
inline constexpr const char* kProgramIcon = "vandrel";

// The file a link named `file` is saved as: its ".lnk" becomes ".desktop" (any other name
// gets ".desktop" added).
std::string ShellLinkFile(const std::string& file);

// Writes the entry of `link` to ShellLinkFile(file) (`file` = folder + "/" + name + ".lnk"),
// executable, replacing it when it exists. False when the file cannot be written; `error`,
// when given, then receives the reason.
bool SaveShellLink(const ShellLink& link, const std::string& file, std::string* error = nullptr);

// One word of an Exec line, quoted as the desktop entry format requires.
std::string QuoteExecWord(const std::string& word);

// A string value of a desktop entry with its escapes (backslash, control characters, a
// leading blank).
std::string EscapeDesktopValue(const std::string& text);

}  // namespace vandrel
