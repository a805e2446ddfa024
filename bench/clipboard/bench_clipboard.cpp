// bench_clipboard [REPEATS]: a 6240 x 4160 (26 megapixels) 24-bit selection put on the
// clipboard and then asked for by a pasting program, the way QClipboard::setImage does it
// (Qt encodes PNG at its default level on request) and the way BitmapMimeData does it
// (a Windows bitmap, or a stored PNG, on request). A memcpy of the pixels is the yardstick.
// Prints the best of REPEATS runs (default 3). Runs on the offscreen platform.
#include <stdlib.h>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "bench/support/BestTime.h"
#include "platform/qt/BitmapView.h"
#include "platform/qt/Clipboard.h"

namespace {

using vandrel::bench::BestMs;

constexpr int kW = 6240, kH = 4160;

void Report(const char* name, double ms, qsizetype bytes = 0) {
  std::printf("%-52s %9.1f ms", name, ms);
  if (bytes) std::printf(" %8.1f MB", double(bytes) / 1e6);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

  // A colour micrograph: three channels around slowly varying means, with noise.
  std::mt19937 random(1);
  vandrel::Bitmap selection(kW, kH, vandrel::PixelFormat::pf24bit);
  for (int y = 0; y < kH; ++y) {
    uint8_t* p = selection.scanLine(y);
    for (int x = 0; x < 3 * kW; ++x) {
      const double mean = 128 + 60 * std::sin(x / 97.0) * std::cos(y / 71.0);
      p[x] = uint8_t(std::clamp(mean + double(random() % 13) - 6, 0.0, 255.0));
    }
  }
  std::printf("Clipboard, %d x %d 24-bit selection (%.1f megapixels), best of %d\n", kW, kH,
              double(kW) * kH / 1e6, repeats);
  std::vector<uint8_t> copy(selection.byteSize());
  Report("memcpy of the pixels (yardstick)",
         BestMs(repeats, [&] { std::memcpy(copy.data(), selection.bits(), copy.size()); }));

  QClipboard* clipboard = QGuiApplication::clipboard();
  qsizetype size = 0;
  std::printf("before: QClipboard::setImage\n");
  Report("  hand over (QImage copy, setImage)",
         BestMs(repeats, [&] { clipboard->setImage(vandrel::BitmapView(selection).copy()); }));
  // What Qt does for a program that asks for "image/png" of an image set with setImage.
  double ms = BestMs(repeats, [&] {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(clipboard->image());
    size = out.size();
  });
  Report("  paste as image/png (Qt's default PNG)", ms, size);
  std::printf("after: BitmapMimeData\n");
  Report("  hand over (bitmap copy, setMimeData)",
         BestMs(repeats, [&] { vandrel::CopyToClipboard(selection); }));
  for (const char* format : {"image/bmp", "image/png"}) {
    const std::string name = std::string("  paste as ") + format;
    ms = BestMs(repeats, [&] { size = clipboard->mimeData()->data(format).size(); });
    Report(name.c_str(), ms, size);
  }
  return 0;
}
