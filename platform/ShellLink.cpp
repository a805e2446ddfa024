#include "platform/ShellLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/Process.h"

namespace vandrel {

// A leading blank gets an escape, as a reader would otherwise strip it.
std::string EscapeDesktopValue(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case ' ':
        out += i == 0 ? "\\s" : " ";
        break;
      default:
        out += c;
    }
  }
  return out;
}

namespace {

// Characters that oblige an Exec word to be quoted.
bool Reserved(char c) {
  switch (c) {
    case ' ':
    case '\t':
    case '\n':
    case '\r':
    case '"':
    case '\'':
    case '\\':
    case '>':
    case '<':
    case '~':
    case '|':
    case '&':
    case ';':
    case '$':
    case '*':
    case '?':
    case '#':
    case '(':
    case ')':
    case '`':
      return true;
    default:
      return false;
  }
}

bool IsProgram(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string Absolute(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(path, ec);
  return ec ? path : full.string();
}

}  // namespace

std::string QuoteExecWord(const std::string& word) {
  bool quote = word.empty();
  for (char c : word) quote = quote || Reserved(c);
  std::string out;
  if (quote) out += '"';
  for (char c : word) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    // A literal percent sign would start a field code.
    if (c == '%') out += '%';
    out += c;
  }
  if (quote) out += '"';
  return out;
}

namespace {

// The Exec line of a link to `target`: a program is started itself, anything else through
// the desktop's opener, which picks the program its type has (menus list applications only).
std::string ExecLine(const std::string& target, const std::string& arguments) {
  if (!IsProgram(target)) return std::string(kDocumentOpener) + " " + QuoteExecWord(target);
  std::string exec = QuoteExecWord(target);
  for (const std::string& word : SplitCommandLine(arguments)) exec += ' ' + QuoteExecWord(word);
  return exec;
}

}  // namespace

std::string DesktopEntry(const ShellLink& link, const std::string& name) {
  const std::string target = Absolute(link.target);
  const bool program = IsProgram(target);
  const auto key = [](const std::string& k, const std::string& value) {
    return value.empty() ? std::string() : k + "=" + EscapeDesktopValue(value) + "\n";
  };
  std::string entry = "[Desktop Entry]\nType=Application\n";
  entry += key("Name", name);
  entry += key("Comment", link.comment);
  entry += key("Exec", ExecLine(target, link.arguments));
  if (program) {
    entry += key("TryExec", target);
    entry += key("Path", link.workingFolder);
    if (std::filesystem::path(target).filename() == "Vandrel")
      entry += std::string("Icon=") + kProgramIcon + "\n";
  }
  entry += "Terminal=false\n";
  entry += key("Categories", link.categories);
  entry += key("StartupWMClass", link.windowClass);
  if (link.hidden) entry += "NoDisplay=true\n";
  std::string ids;
  for (const DesktopAction& action : link.actions) ids += action.id + ";";
  entry += key("Actions", ids);
  for (const DesktopAction& action : link.actions) {
    entry += "\n[Desktop Action " + action.id + "]\n";
    entry += key("Name", action.name);
    entry += key("Exec", ExecLine(Absolute(action.target), " "));
  }
  return entry;
}

std::string ShellLinkFile(const std::string& file) {
  std::string out = file;
  if (EndsWith(out, ".lnk")) out.resize(out.size() - 4);
  return out + ".desktop";
}

bool SaveShellLink(const ShellLink& link, const std::string& file, std::string* error) {
  std::string name = std::filesystem::path(file).filename().string();
  if (EndsWith(name, ".lnk")) name.resize(name.size() - 4);
  const std::string path = ShellLinkFile(file);
  try {
    WriteFileAtomically(path, DesktopEntry(link, name));
  } catch (const Exception& e) {
    if (error) *error = e.what();
    return false;
  }
  // Desktops start only the entries their user may execute; every reader may also run it.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0)
    ::chmod(path.c_str(), st.st_mode | ((st.st_mode & 0444) >> 2));
  return true;
}

}  // namespace vandrel
