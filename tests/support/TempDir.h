#pragma once
// A fresh folder under the system's temporary folder for one test, removed with everything
// in it at the end, even where the test took away the write permission of its folders.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace vandrel::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vandrel-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create " << pattern;
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    allowRemoval(path_);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of a file in the folder; `name` may name sub-folders ("a/b.txt").
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  // Writes a file in the folder and returns its path.
  std::string write(const std::string& name, std::string_view bytes) const {
    const std::string file = *this / name;
    std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return file;
  }
  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    return write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  // Bytes written as a list, write("a.bin", {1, 2, 3}).
  std::string write(const std::string& name, std::initializer_list<uint8_t> bytes) const {
    return write(name, std::vector<uint8_t>(bytes));
  }

  // The whole content of a file; empty when it cannot be read.
  static std::string read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // The number of entries in the folder (to see that no temporary file is left behind).
  size_t count() const {
    return size_t(std::distance(std::filesystem::directory_iterator(path_),
                                std::filesystem::directory_iterator()));
  }

 private:
  // Gives the owner every permission on a folder and the folders below it, so that
  // remove_all can empty them.
  static void allowRemoval(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
      std::error_code kind;
      if (it->is_directory(kind) && !it->is_symlink(kind)) allowRemoval(it->path());
    }
  }

  std::filesystem::path path_;
};

}  // namespace vandrel::testing
