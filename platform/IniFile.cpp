#include "platform/IniFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

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

// One line of the file, kept verbatim so that writes change only the line they touch.
struct Line {
  std::string text;
  enum Kind { kOther, kSection, kKey } kind = kOther;
  std::string name;   // section or key name
  std::string value;  // key value
};

std::vector<Line> Parse(const std::string& content) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    lines.push_back(Line{content.substr(start, end - start), Line::kOther, {}, {}});
    start = end + 1;
  }
  for (Line& line : lines) {
    std::string_view t = Trim(line.text);
    if (t.size() >= 2 && t.front() == '[') {
      size_t close = t.find(']');
      if (close != std::string_view::npos) {
        line.kind = Line::kSection;
        line.name = std::string(Trim(t.substr(1, close - 1)));
      }
    } else if (!t.empty() && t.front() != ';') {
      size_t eq = t.find('=');
      if (eq != std::string_view::npos) {
        line.kind = Line::kKey;
        line.name = std::string(Trim(t.substr(0, eq)));
        std::string_view v = Trim(t.substr(eq + 1));
        // A value in matching quotes reads without them, as the profile routines do.
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
          v = v.substr(1, v.size() - 2);
        line.value = v;
      }
    }
  }
  return lines;
}

// Index of the first line of the section's body and one past its last key line; npos when
// the section is absent.
struct SectionRange {
  size_t header = std::string::npos;
  size_t lastKey = std::string::npos;
  size_t end = std::string::npos;
};

SectionRange FindSection(const std::vector<Line>& lines, const std::string& section) {
  SectionRange r;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != Line::kSection) continue;
    if (r.header != std::string::npos) {
      r.end = i;
      return r;
    }
    if (SameName(lines[i].name, section)) r.header = r.lastKey = i;
  }
  if (r.header != std::string::npos) r.end = lines.size();
  return r;
}

}  // namespace

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
  std::string content;
  if (!ReadTextFile(path_, content)) return fallback;
  const std::vector<Line> lines = Parse(content);
  SectionRange r = FindSection(lines, section);
  if (r.header == std::string::npos) return fallback;
  for (size_t i = r.header + 1; i < r.end; ++i)
    if (lines[i].kind == Line::kKey && SameName(lines[i].name, key)) return lines[i].value;
  return fallback;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  std::string content;
  struct stat st;
  const bool exists = stat(path_.c_str(), &st) == 0;
  if (exists && !ReadTextFile(path_, content))
    throw EInOutError("Cannot read file " + path_);  // never replace what we could not read
  const std::string eol = content.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::vector<Line> lines = Parse(content);
  const std::string entry = key + "=" + value;

  SectionRange r = FindSection(lines, section);
  bool done = false;
  if (r.header != std::string::npos) {
    for (size_t i = r.header + 1; i < r.end && !done; ++i) {
      if (lines[i].kind == Line::kKey) {
        r.lastKey = i;
        if (SameName(lines[i].name, key)) {
          lines[i] = Line{entry, Line::kOther, {}, {}};
          done = true;
        }
      }
    }
    if (!done) lines.insert(lines.begin() + long(r.lastKey) + 1, Line{entry, Line::kOther, {}, {}});
  } else {
    lines.push_back(Line{"[" + section + "]", Line::kOther, {}, {}});
    lines.push_back(Line{entry, Line::kOther, {}, {}});
  }

  std::string out;
  for (const Line& line : lines) {
    std::string_view t = line.text;
    if (!t.empty() && t.back() == '\r') t.remove_suffix(1);
    out.append(t);
    out.append(eol);
  }
  WriteFileAtomically(path_, out);
}

}  // namespace vandrel
