#pragma once
// INI file access in the manner of the Windows profile routines: sections in square
// brackets, "key=value" lines, section and key names compared without regard to case,
// values as text. The file is opened and closed on every access; nothing is cached.
#include <string>

namespace vandrel {

class IniFile {
 public:
  explicit IniFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }

  // The value of a key, or `fallback` when the file, the section or the key is absent.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback = {}) const;
  // Writes a key, creating the file and the section when absent; every other line of the
  // file stays as it was. The file is replaced atomically (EInOutError on failure). Every
  // value reads back as written: one with blanks at an end or in quotes is written quoted;
  // one with a line end raises Exception and changes nothing.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);

 private:
  std::string path_;
};

}  // namespace vandrel
