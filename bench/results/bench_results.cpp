// bench_results [IMAGES] [REPEATS]: times an SVD analysis run of IMAGES (default 64) 8-bit
// 4096 x 4096 BMP images (one file named IMAGES times, so it comes from the page cache) in
// the results window, and each step of one image next to a plain read of its bytes; then
// the homogeneity levels and the volume file of mosaics of 256 and 1024 images with 16
// phases. Prints the best of REPEATS runs (default 5) of each step.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>

#include "app/analysis/model/AnalysisHistogram.h"
#include "app/analysis/model/Homogeneity.h"
#include "app/analysis/model/PatternFiles.h"
#include "app/analysis/model/Umetodo.h"
#include "app/analysis/model/VolumeFile.h"
#include "app/analysis/ui/UResultado.h"
#include "app/histograms/model/HistogramFiles.h"
#include "app/shell/model/URecursos.h"
#include "bench/support/BestTime.h"
#include "platform/Bmp.h"
#include "platform/PictureLoader.h"

namespace {

using vandrel::bench::BestMs;

volatile double sink;

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  // The offscreen platform's notes on window hints say nothing about the times.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  const int images = argc > 1 ? std::max(1, std::atoi(argv[1])) : 64;
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  using namespace vandrel;
  namespace fs = std::filesystem;

  const fs::path dir = fs::temp_directory_path() / "vandrel-bench-results";
  fs::create_directories(dir / "temp");
  DefinirPastaPrograma(dir.string() + "/");

  // A pattern of 16 phases, each a bump of grey levels, and an image mixing them.
  std::vector<GreyHistogram> phases(16);
  std::vector<std::string> names;
  for (int j = 0; j < 16; ++j) {
    double sum = 0;
    for (int g = 0; g < 256; ++g) {
      const double z = (g - (8 + 15.0 * j)) / 6.0;
      phases[size_t(j)][size_t(g)] = std::exp(-0.5 * z * z);
      sum += phases[size_t(j)][size_t(g)];
    }
    for (double& v : phases[size_t(j)]) v /= sum;
    names.push_back("fase" + std::to_string(j + 1));
  }
  std::vector<const GreyHistogram*> columns;
  for (const GreyHistogram& p : phases) columns.push_back(&p);
  WritePattern((dir / "aco").string(), columns, names);
  const std::string pat = (dir / "aco.pat").string();

  Bitmap image(4096, 4096, PixelFormat::pf8bit);
  image.setPalette(GreyRamp());
  std::mt19937 random(1);
  std::discrete_distribution<int> phase({3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 8, 9, 7, 9, 3});
  std::normal_distribution<double> spread(0, 6);
  for (int y = 0; y < image.height(); ++y) {
    uint8_t* row = image.scanLine(y);
    for (int x = 0; x < image.width(); ++x)
      row[x] = uint8_t(std::clamp(8 + 15.0 * phase(random) + spread(random), 0.0, 255.0));
  }
  const std::string bmp = (dir / "amostra.bmp").string();
  SaveBmp(image, bmp);
  const double mb = double(fs::file_size(bmp)) / 1e6;

  std::printf("one 4096 x 4096 image (%.1f MB file), best of %d:\n", mb, repeats);
  const double read = BestMs(repeats, [&] { sink = double(ReadWholeFile(bmp).size()); });
  std::printf("  read the file            %8.2f ms  (%.2f GB/s)\n", read, mb / read);
  const double load = BestMs(repeats, [&] { sink = double(LoadPicture(bmp).width()); });
  std::printf("  read and decode          %8.2f ms\n", load);
  const Bitmap decoded = LoadPicture(bmp);
  const double count = BestMs(repeats, [&] { sink = double(CountGreyLevels(decoded)[100]); });
  std::printf("  count the grey levels    %8.2f ms\n", count);
  const double whole = BestMs(repeats, [&] { sink = HistogramaDaImagem(bmp)[100]; });
  // Decoding a fresh picture while the Qt application runs pays for its new pages (the
  // allocator hands them back between images); that is most of an image's time.
  std::printf("  histogram of the image   %8.2f ms  (read, decode and count, as a run does)\n",
              whole);
  const GreyHistogram h = HistogramaDaImagem(bmp);
  const PatternSet set = ReadPatternSet(pat);
  const double fit = BestMs(repeats, [&] {
    TMetodo m;
    FitResult a{};
    sink = m.Ajustar(h, set.columns, set.weights, a);
  });
  std::printf("  SVD fit of 16 phases     %8.3f ms\n", fit);

  const std::vector<std::string> paths(size_t(images), bmp);
  TFormResultado* window = nullptr;
  const double run = BestMs(repeats, [&] {
    delete window;
    window = TFormResultado::CreateComPadrao(nullptr, pat);
    window->Analisar(paths, TFormResultado::kSVD, {}, false);
  });
  std::printf("run of %d images in the results window: %.0f ms (%.1f ms an image)\n", images, run,
              run / images);

  // Homogeneity of large mosaics: the volume file written from a table, read back, and
  // every level computed.
  for (int n : {256, 1024}) {
    TabelaResultado table(names);
    std::uniform_real_distribution<double> share(0, 0.125);
    for (int v = 0; v < n; ++v) {
      ResultadoAjuste f{};
      for (double& x : f) x = share(random);
      table.AdicionarResultado("img" + std::to_string(v), f);
    }
    const std::string vol = (dir / "temp/temp.vol").string();
    const double write = BestMs(repeats, [&] { EscreverArquivoVol(vol, table, {}); });
    ValoresVol values;
    const double readVol = BestMs(repeats, [&] { values = LerArquivoVol(vol, n, 16); });
    const double levels = BestMs(repeats, [&] { sink = CalcularNiveis(values, n).back().Sigma; });
    std::printf(
        "mosaic of %4d images, 16 phases: temp.vol written %.2f ms, read %.2f ms, "
        "levels %.3f ms\n",
        n, write, readVol, levels);
  }
  delete window;
  fs::remove_all(dir);
  return 0;
}
