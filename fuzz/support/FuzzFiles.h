#pragma once
// What the file-format fuzz targets share: a private folder for the files one input becomes,
// removed when the process ends, and the split of one input into the parts of a file set.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace vandrel::fuzz {

// A fresh folder under the temporary folder, one per process, removed at exit.
class FuzzFolder {
 public:
  FuzzFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vandrel-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
  }
  ~FuzzFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  FuzzFolder(const FuzzFolder&) = delete;
  FuzzFolder& operator=(const FuzzFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  // Writes `bytes` as the file `name` of the folder and returns its path.
  std::string Write(const std::string& name, std::string_view bytes) const {
    const std::string file = *this / name;
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
      std::abort();
    std::fclose(f);
    return file;
  }

 private:
  std::string path_;
};

inline FuzzFolder& Folder() {
  static FuzzFolder folder;
  return folder;
}

// The parts of an input separated by the line "#--#": `count` parts, the missing ones empty.
// The seeds of the targets that read a set of files are written this way.
inline std::vector<std::string_view> SplitParts(const uint8_t* data, size_t size, size_t count) {
  static constexpr std::string_view kSeparator = "\n#--#\n";
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < count) {
    const size_t at = rest.find(kSeparator);
    if (at == std::string_view::npos) break;
    parts.push_back(rest.substr(0, at));
    rest.remove_prefix(at + kSeparator.size());
  }
  parts.push_back(rest);
  parts.resize(count);
  return parts;
}

// Whether `back` is what a real written as `value` in the 23-character form reads as: the
// same value to 15 digits, the largest double itself, or the same value that is not finite.
inline bool ReadsBackAs(double value, double back) {
  if (std::isnan(value)) return std::isnan(back);
  if (std::isinf(value)) return back == value;
  const double step = std::nextafter(std::fabs(value), INFINITY) - std::fabs(value);
  return std::fabs(back - value) <= std::fabs(value) * 5e-15 + step;
}

}  // namespace vandrel::fuzz
