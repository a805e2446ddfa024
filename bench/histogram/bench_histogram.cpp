// bench_histogram [REPEATS]: times the grey-level histogram of a 4096 x 4096 8-bit image
// next to the memory bandwidth of the machine (a memcpy and a plain read of the same bytes),
// ".his" writing and reading, and the control's drawing at each size. Prints the best of
// REPEATS runs (default 20) of each.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <utility>
#include <vector>

#include "app/histograms/model/GreyLevels.h"
#include "app/histograms/model/HistogramFiles.h"
#include "app/histograms/ui/UDSHistograma.h"
#include "bench/support/BestTime.h"

namespace {

using vandrel::bench::BestMs;

volatile uint64_t sink;

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  using namespace vandrel;

  // 4096 x 4096 stays in the last-level cache of many machines; 16384 x 8192 (128 MB) does
  // not, and shows the speed against main memory.
  GreyCounts counts{};
  for (auto [w, hgt] : {std::pair{4096, 4096}, std::pair{16384, 8192}}) {
    Bitmap image(w, hgt, PixelFormat::pf8bit);
    image.setPalette(GreyRamp());
    std::mt19937 random(1);
    std::normal_distribution<double> grey(110, 35);
    for (size_t i = 0; i < image.byteSize(); ++i)
      image.bits()[i] = uint8_t(std::clamp(grey(random), 0.0, 255.0));
    const double mb = double(image.byteSize()) / (1 << 20);
    std::vector<uint8_t> copy(image.byteSize());
    const int n = w * hgt > (1 << 24) ? std::max(1, repeats / 4) : repeats;
    const double copyMs = BestMs(n, [&] {
      std::memcpy(copy.data(), image.bits(), image.byteSize());
      sink = copy[12345];
    });
    const double readMs = BestMs(n, [&] {
      uint64_t sum = 0;
      const uint64_t* p = reinterpret_cast<const uint64_t*>(image.bits());
      for (size_t i = 0; i < image.byteSize() / 8; ++i) sum += p[i];
      sink = sum;
    });
    const double histMs = BestMs(n, [&] { counts = CountGreyLevels(image); });
    auto rate = [&](double ms) { return mb / 1024 / (ms / 1e3); };
    std::printf("image %dx%d 8-bit, %.0f MB\n", w, hgt, mb);
    std::printf("  memcpy              %8.2f ms  %6.2f GB/s\n", copyMs, rate(copyMs));
    std::printf("  sum of 64-bit words %8.2f ms  %6.2f GB/s\n", readMs, rate(readMs));
    std::printf("  CountGreyLevels     %8.2f ms  %6.2f GB/s\n", histMs, rate(histMs));
  }

  const GreyHistogram h = HistogramOfCounts(counts);
  const std::string his = (std::filesystem::temp_directory_path() / "bench_histogram.his").string();
  std::printf("  WriteHis            %8.3f ms\n", BestMs(repeats, [&] { WriteHis(his, h); }));
  std::printf("  ReadHis             %8.3f ms\n",
              BestMs(repeats, [&] { sink = uint64_t(ReadHis(his)[0]); }));
  std::filesystem::remove(his);

  const char* names[] = {"hs128", "hs256", "hs512", "hs1024", "hs256x256"};
  for (int t = 0; t < 5; ++t) {
    for (TEstilo e : {eGradiente, eLinha}) {
      TDSHistograma control;
      control.SetTamanho(TTamanho(t));
      control.SetEstilo(e);
      control.DefinirValores(h);
      const double ms = BestMs(repeats, [&] {
        control.SetFator(1.0);  // forces a new drawing
        control.Desenhar();
      });
      std::printf("  draw %-9s %-10s %8.3f ms\n", names[t], e == eGradiente ? "bars" : "line", ms);
    }
  }
  return 0;
}
