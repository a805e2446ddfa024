#pragma once
// Splitting a path into its folder, file name and extension. A path's parts are separated
// by '/'; the extension is the text from the last '.' of the file name on, point included,
// letter case kept (the program compares extensions exactly).
#include <string>

namespace vandrel {

// Where the file name starts: just after the last '/', 0 when there is none.
inline size_t FileNameStart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

// Where the extension of the file name starts (its point); the size of the path when the
// file name has no point.
inline size_t ExtensionStart(const std::string& path) {
  const size_t dot = path.rfind('.');
  return dot == std::string::npos || dot < FileNameStart(path) ? path.size() : dot;
}

// The file name of a path: the text after its last '/' ("/a/b/c.bmp" gives "c.bmp").
inline std::string FileNameOf(const std::string& path) { return path.substr(FileNameStart(path)); }

// The extension of the file name with its point (".his"); empty when it has none.
inline std::string FileExtension(const std::string& path) {
  return path.substr(ExtensionStart(path));
}

// The path without the extension of its file name.
inline std::string WithoutExtension(const std::string& path) {
  return path.substr(0, ExtensionStart(path));
}

}  // namespace vandrel
