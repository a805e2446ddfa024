#include "platform/ShellLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/Process.h"

namespace vandrel {

namespace {

// The escapes of a string value: backslash and the control characters, and a leading
// blank, which a reader would otherwise strip.
std::string EscapeValue(const std::string& text) {
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

// file:// URL of an absolute path, every byte but the unreserved ones and "/" escaped.
std::string FileUrl(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string out = "file://";
  for (unsigned char c : path) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~' || c == '/') {
      out += char(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

bool IsProgram(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
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

std::string DesktopEntry(const ShellLink& link, const std::string& name) {
  const std::string target = Absolute(link.target);
  std::string entry = "[Desktop Entry]\n";
  if (IsProgram(target)) {
    std::string exec = QuoteExecWord(target);
    for (const std::string& word : SplitCommandLine(link.arguments))
      exec += ' ' + QuoteExecWord(word);
    entry += "Type=Application\n";
    entry += "Name=" + EscapeValue(name) + "\n";
    entry += "Exec=" + EscapeValue(exec) + "\n";
    if (!link.workingFolder.empty()) entry += "Path=" + EscapeValue(link.workingFolder) + "\n";
  } else {
    entry += "Type=Link\n";
    entry += "Name=" + EscapeValue(name) + "\n";
    entry += "URL=" + EscapeValue(FileUrl(target)) + "\n";
  }
  return entry;
}

bool SaveShellLink(const ShellLink& link, const std::string& file) {
  std::string name = std::filesystem::path(file).filename().string();
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".lnk") == 0)
    name.resize(name.size() - 4);
  try {
    WriteFileAtomically(file, DesktopEntry(link, name));
    return true;
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace vandrel
