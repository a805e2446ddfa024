// Writes an 8-bit Windows bitmap of 256 x 1 pixels whose palette is the grey ramp
// (index = grey level) and whose pixel x holds index x. The program gives this palette
// to the 8-bit images it creates.
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {
void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: greyramp_bmp FILE\n");
    return 2;
  }
  const uint32_t width = 256, height = 1, palette = 256 * 4, header = 14 + 40;
  const uint32_t pixels = width * height;  // rows of 256 bytes need no padding
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  put32(out, header + palette + pixels);
  put32(out, 0);
  put32(out, header + palette);
  put32(out, 40);
  put32(out, width);
  put32(out, height);
  put16(out, 1);
  put16(out, 8);
  put32(out, 0);
  put32(out, pixels);
  put32(out, 2835);
  put32(out, 2835);
  put32(out, 256);
  put32(out, 0);
  for (uint32_t i = 0; i < 256; ++i) {
    out.push_back(i);
    out.push_back(i);
    out.push_back(i);
    out.push_back(0);
  }
  for (uint32_t i = 0; i < 256; ++i) out.push_back(i);
  FILE* f = std::fopen(argv[1], "wb");
  if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
