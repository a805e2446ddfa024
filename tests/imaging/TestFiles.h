#pragma once
// Scratch files for the imaging tests: a private folder removed at the end of each test,
// and writers for the raw ".grey" format and small Windows bitmaps.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

namespace vandrel::testing {

class ScratchDir {
 public:
  ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "t";
    for (char& c : name)
      if (c == '/') c = '_';
    path_ = std::filesystem::temp_directory_path() /
            ("vandrel-imaging-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A ".grey" file of `size` bytes: the header filled with 0xEE, pixel (x, y) = (x + 3y) & 255,
// the tail after the pixels 0xDD.
inline std::vector<uint8_t> GreyBytes(size_t size) {
  std::vector<uint8_t> bytes(size, 0xEE);
  for (size_t i = 4808; i < size; ++i) {
    const size_t p = i - 4808;
    bytes[i] = p < 512 * 512 ? uint8_t((p % 512 + 3 * (p / 512)) & 255) : 0xDD;
  }
  return bytes;
}

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A bottom-up 24-bit Windows bitmap whose pixel (x, y) is blue x, green y, red `red`.
inline std::vector<uint8_t> Bmp24(int width, int height, uint8_t red) {
  const uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
  std::vector<uint8_t> out{'B', 'M'};
  Put32(out, 54 + stride * height);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, uint32_t(width));
  Put32(out, uint32_t(height));
  Put16(out, 1);
  Put16(out, 24);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      out.push_back(uint8_t(x));
      out.push_back(uint8_t(y));
      out.push_back(red);
    }
    for (uint32_t pad = uint32_t(width) * 3; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

// An 8-bit Windows bitmap with 256 palette entries, entry i = `entry(i)` as red, green,
// blue, and pixel (x, y) = (x + y) & 255.
template <typename Entry>
std::vector<uint8_t> Bmp8(int width, int height, Entry entry) {
  const uint32_t stride = (uint32_t(width) + 3) & ~3u;
  const uint32_t offset = 54 + 1024;
  std::vector<uint8_t> out{'B', 'M'};
  Put32(out, offset + stride * height);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, uint32_t(width));
  Put32(out, uint32_t(height));
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);
  Put32(out, stride * height);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 256);
  Put32(out, 0);
  for (int i = 0; i < 256; ++i) {
    const auto [r, g, b] = entry(i);
    out.push_back(uint8_t(b));
    out.push_back(uint8_t(g));
    out.push_back(uint8_t(r));
    out.push_back(0);
  }
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) out.push_back(uint8_t((x + y) & 255));
    for (uint32_t pad = uint32_t(width); pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace vandrel::testing
