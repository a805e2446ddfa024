#include "platform/IniFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/AtomicFile.h"
#include "platform/Errors.h"

namespace vandrel {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// What a line of the file is: a section header, a key line or anything else. The names and
// the value point into the line.
struct Line {
  enum Kind { kOther, kSection, kKey } kind = kOther;
  std::string_view name;   // section or key name
  std::string_view value;  // key value
};

Line Classify(std::string_view text) {
  Line line;
  const std::string_view t = Trim(text);
  if (t.size() >= 2 && t.front() == '[') {
    const size_t close = t.find(']');
    if (close != std::string_view::npos) {
      line.kind = Line::kSection;
      line.name = Trim(t.substr(1, close - 1));
    }
  } else if (!t.empty() && t.front() != ';') {
    const size_t eq = t.find('=');
    if (eq != std::string_view::npos) {
      line.kind = Line::kKey;
      line.name = Trim(t.substr(0, eq));
      std::string_view v = Trim(t.substr(eq + 1));
      // A value in matching quotes reads without them, as the profile routines do.
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
      line.value = v;
    }
  }
  return line;
}

// Calls visit(index, text) for every line of the content, in order, the text without its
// "\n"; a last line without one counts when it is not empty. Returns early when visit
// returns false. The lines are looked at one at a time, never all held at once, so that
// a file of many short lines costs no more memory than its own bytes.
template <typename Visit>
void ForEachLine(std::string_view content, Visit visit) {
  size_t start = 0;
  for (size_t index = 0; start < content.size(); ++index) {
    size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    if (!visit(index, content.substr(start, end - start))) return;
    start = end + 1;
  }
}

constexpr size_t kNone = std::string::npos;

// Where a key sits: the line of the first section of the name (kNone when there is none),
// the line of the key in it (kNone when absent) with its value, and the section's last key
// line (its header when it has none).
struct KeyPlace {
  size_t header = kNone;
  size_t key = kNone;
  size_t lastKey = kNone;
  std::string_view value;
};

KeyPlace FindKey(std::string_view content, std::string_view section, std::string_view key) {
  KeyPlace p;
  ForEachLine(content, [&](size_t i, std::string_view text) {
    const Line line = Classify(text);
    if (line.kind == Line::kSection) {
      if (p.header != kNone) return false;  // the section ends at the next one
      if (SameName(line.name, section)) p.header = p.lastKey = i;
      return true;
    }
    if (p.header != kNone && line.kind == Line::kKey) {
      p.lastKey = i;
      if (SameName(line.name, key)) {
        p.key = i;
        p.value = line.value;
        return false;
      }
    }
    return true;
  });
  return p;
}

// The value as the line holds it so that it reads back unchanged: blanks at either end, or
// matching quotes around it, would be dropped on reading, so such a value goes inside double
// quotes, which reading removes. A line end cannot be held by a line at all (the rest would
// read as lines of their own, even as other keys): such a value is refused.
std::string WrittenValue(const std::string& path, const std::string& key,
                         const std::string& value) {
  if (value.find_first_of("\r\n") != std::string::npos)
    throw Exception("O valor de " + key + " não pode ser gravado em " + path);
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  if (Trim(value).size() != value.size() || quoted) return '"' + value + '"';
  return value;
}

}  // namespace

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
  std::string content;
  if (!ReadTextFile(path_, content)) return fallback;
  const KeyPlace p = FindKey(content, section, key);
  return p.key == kNone ? fallback : std::string(p.value);
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  std::string content;
  struct stat st;
  const bool exists = stat(path_.c_str(), &st) == 0;
  if (exists && !ReadTextFile(path_, content))
    throw EInOutError("Cannot read file " + path_);  // never replace what we could not read
  const std::string eol = content.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  const std::string entry = key + "=" + WrittenValue(path_, key, value);
  const KeyPlace p = FindKey(content, section, key);

  // Every line ends in `eol`; the key's line is replaced, or the key goes after the last
  // key of its section, or a new section with the key goes at the end.
  std::string out;
  out.reserve(content.size() + entry.size() + section.size() + 8);
  ForEachLine(content, [&](size_t i, std::string_view text) {
    if (i == p.key) {
      out.append(entry).append(eol);
      return true;
    }
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    out.append(text).append(eol);
    if (p.key == kNone && i == p.lastKey) out.append(entry).append(eol);
    return true;
  });
  if (p.header == kNone)
    out.append("[").append(section).append("]").append(eol).append(entry).append(eol);
  WriteFileAtomically(path_, out);
}

}  // namespace vandrel
