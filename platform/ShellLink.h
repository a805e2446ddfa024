#pragma once
// Shell links: a link "folder/name.lnk" is the desktop's own kind of link, the desktop
// entry "folder/name.desktop", executable, which menus and the desktop show. A program
// target gives an Application entry (Exec = target and arguments, Path = working folder,
// the program's icon when the target is Vandrel itself); any other target (a document, a
// file that does not exist yet) an Application entry that opens it with the desktop's
// opener (Exec = xdg-open target), as menus show no other kind of entry. Name is the
// link's name; comment, categories, window class, actions and hiding as the link says.
#include <string>
#include <vector>

namespace vandrel {

// Another thing the entry offers besides starting its target (a desktop shows it in the
// entry's context menu): started as a link to `target` without arguments would be.
struct DesktopAction {
  std::string id;  // letters, digits and "-"
  std::string name;
  std::string target;
};

struct ShellLink {
  std::string target;         // the program or document the link opens
  std::string arguments;      // a command line, split into words (SplitCommandLine)
  std::string workingFolder;  // current folder of the program started
  // What desktops read besides the name; an empty one is left out of the entry.
  std::string comment{};
  std::string categories{};   // the menu categories, each ended by ";"
  std::string windowClass{};  // the class of the program's windows, which ties them to the entry
  bool hidden = false;        // kept out of the menus (NoDisplay)
  std::vector<DesktopAction> actions{};
};

// The desktop entry of `link` named `name`. A relative target is taken from the current
// folder, as the link must name it wherever it is opened from. A program target is also
// the entry's TryExec, so that desktops drop the entry once the program is gone.
std::string DesktopEntry(const ShellLink& link, const std::string& name);

// The program that opens a document target the way the desktop opens its files.
inline constexpr const char* kDocumentOpener = "xdg-open";

// What the program's entries tell the desktop: its icon name, its menu categories, a line
// on what it does, and the class of its windows.
inline constexpr const char* kProgramIcon = "vandrel";
inline constexpr const char* kProgramCategories = "Science;ImageProcessing;";
inline constexpr const char* kProgramComment =
    "Análise quantitativa das fases de materiais compostos em imagens de microscópio";
inline constexpr const char* kProgramWindowClass = "Vandrel";

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
