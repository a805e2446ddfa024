// Reading a file into many pieces of memory at once (the rows of a bitmap): every byte goes
// to its place, pieces of no bytes are passed over, a batch of pieces larger than one
// system call takes is carried on into the next, and a file shorter than the pieces fills
// what it holds and says how much that was. Checked against a plain copy of the file, on
// seeded random pieces and lengths.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <span>
#include <vector>

#include "platform/ByteSource.h"
#include "platform/RegularFile.h"
#include "tests/support/TempDir.h"

namespace vandrel::testing {
namespace {

TEST(ReadFileInto, EveryByteGoesToItsPieceAndAShortFileSaysHowMuchItHeld) {
  std::mt19937 random(77);
  TempDir dir;
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const size_t count = 1 + random() % 900;  // beyond one batch of pieces
    std::vector<size_t> sizes(count);
    size_t total = 0;
    for (size_t& s : sizes) total += s = random() % 4 == 0 ? 0 : random() % 3000;
    const uint64_t offset = random() % 5000;
    // A file that holds all the pieces, or ends somewhere among them.
    const size_t held = random() % 3 == 0 ? size_t(random() % (total + 1)) : total;
    std::vector<uint8_t> content(size_t(offset) + held);
    for (uint8_t& b : content) b = uint8_t(random());
    const std::string path = dir.write("pieces.bin", content);

    std::vector<std::vector<uint8_t>> memory(count);
    std::vector<std::span<uint8_t>> pieces(count);
    for (size_t i = 0; i < count; ++i) {
      memory[i].assign(sizes[i], 0xEE);
      pieces[i] = memory[i];
    }
    FileSource source(path);
    const size_t got = source.readInto(offset, pieces);
    EXPECT_EQ(got, held);
    size_t at = size_t(offset);
    for (size_t i = 0; i < count; ++i) {
      for (size_t k = 0; k < sizes[i]; ++k, ++at) {
        const uint8_t want = at < content.size() ? content[at] : 0xEE;
        if (memory[i][k] != want) {
          ADD_FAILURE() << "piece " << i << " byte " << k;
          break;
        }
      }
    }
  }
}

// A source never reads beyond the size the file had when it was opened, also when the
// file has grown since.
TEST(FileSource, ReadsNoFurtherThanTheSizeAtOpening) {
  TempDir dir;
  const std::string path = dir.write("grows.bin", std::vector<uint8_t>(1000, 1));
  FileSource source(path);
  dir.write("grows.bin", std::vector<uint8_t>(5000, 2));
  EXPECT_EQ(source.size(), 1000u);
  std::vector<uint8_t> buffer(5000);
  EXPECT_EQ(source.readAt(0, buffer.data(), buffer.size()), 1000u);
  EXPECT_EQ(source.readAt(1000, buffer.data(), buffer.size()), 0u);
  std::vector<std::span<uint8_t>> pieces{std::span<uint8_t>(buffer).first(600),
                                         std::span<uint8_t>(buffer).subspan(600)};
  EXPECT_EQ(source.readInto(0, pieces), 1000u);
  EXPECT_EQ(source.readAll(UINT64_MAX).size(), 1000u);
}

}  // namespace
}  // namespace vandrel::testing
