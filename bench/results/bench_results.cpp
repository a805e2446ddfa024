// bench_results [IMAGES] [REPEATS]: first the batch as users run it: an SVD analysis run in
// the results window of IMAGES (default 64) different 8-bit 2048 x 2048 LZW TIFFs, on the
// machine's cores and on one thread, each as a ratio to libtiff decoding the same files one
// after another on one core (opening each, reading its strips into a fresh buffer) in the
// same run. Then a run of IMAGES 8-bit 4096 x 4096 BMP images (one file named IMAGES times,
// so it comes from the page cache) and each step of one image next to a plain read of its
// bytes; then the homogeneity levels and the volume file of mosaics of 256 and 1024 images
// with 16 phases. Prints the best of REPEATS runs (default 5) of each step.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>

#include <tiffio.h>

#include <thread>

#include "app/analysis/model/AnalysisHistogram.h"
#include "app/analysis/model/BatchRunner.h"
#include "app/analysis/model/Homogeneity.h"
#include "app/analysis/model/PatternFiles.h"
#include "app/analysis/model/Umetodo.h"
#include "app/analysis/model/VolumeFile.h"
#include "app/analysis/ui/UResultado.h"
#include "app/histograms/model/HistogramFiles.h"
#include "app/settings/model/URecursos.h"
#include "bench/support/BestTime.h"
#include "codecs/tiff/TiffImage.h"
#include "platform/Bmp.h"
#include "platform/PictureLoader.h"

namespace {

using vandrel::bench::BestMs;

volatile double sink;

// Writes an 8-bit grey 2048 x 2048 LZW TIFF with libtiff, in strips of the size libtiff
// proposes: grains of a few phases, edges and a little noise, different for every `seed`.
void WriteLzwTiff(const std::string& path, uint32_t seed) {
  constexpr uint32_t side = 2048;
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  if (!tif) std::abort();
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, side);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, side);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
  std::vector<uint8_t> row(side);
  for (uint32_t y = 0; y < side; ++y) {
    for (uint32_t x = 0; x < side; ++x) {
      const uint32_t grain = ((x / 37 + seed) * 2654435761u ^ (y / 29) * 40503u) >> 29;
      const uint32_t noise = ((x * 1103515245u + y * 12345u + seed * 7u) >> 16) & 7;
      row[x] = uint8_t(20 + 28 * grain + noise);
    }
    TIFFWriteScanline(tif, row.data(), y, 0);
  }
  TIFFClose(tif);
}

// libtiff's serial decode of one file: open it, read every strip into a fresh buffer.
double LibtiffDecode(const std::string& path) {
  TIFF* tif = TIFFOpen(path.c_str(), "r");
  if (!tif) std::abort();
  const tmsize_t stripSize = TIFFStripSize(tif);
  const uint32_t strips = TIFFNumberOfStrips(tif);
  std::vector<uint8_t> pixels(size_t(stripSize) * strips);
  for (uint32_t s = 0; s < strips; ++s)
    if (TIFFReadEncodedStrip(tif, s, pixels.data() + size_t(s) * size_t(stripSize), -1) < 0)
      std::abort();
  TIFFClose(tif);
  return pixels[pixels.size() / 2];
}

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

  // The batch of LZW TIFFs: the program against libtiff, in this run.
  {
    RegisterTiffFormat();
    TIFFSetWarningHandler(nullptr);
    std::vector<std::string> tiffs;
    for (int i = 0; i < images; ++i) {
      tiffs.push_back((dir / ("lzw" + std::to_string(i) + ".tif")).string());
      WriteLzwTiff(tiffs.back(), uint32_t(i));
    }
    double bytes = 0;
    for (const std::string& t : tiffs) bytes += double(fs::file_size(t));
    const double libtiffMs = BestMs(repeats, [&] {
      for (const std::string& t : tiffs) sink = LibtiffDecode(t);
    });
    auto batch = [&](unsigned threads) {
      SetBatchThreads(threads);
      return BestMs(repeats, [&] {
        std::unique_ptr<TFormResultado> window(TFormResultado::CreateComPadrao(nullptr, pat));
        window->Analisar(tiffs, TFormResultado::kSVD, {}, false);
        sink = window->Tabela().Valor(1, 1);
      });
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const double oneMs = batch(0);
    const double poolMs = batch(cores);
    SetBatchThreads(cores);
    std::printf("batch of %d x 2048 x 2048 8-bit LZW TIFFs (%.0f MB of files), best of %d:\n",
                images, bytes / 1e6, repeats);
    std::printf("  libtiff, serial decode on one core      %8.1f ms  (reference)\n", libtiffMs);
    std::printf("  analysis run, one thread                %8.1f ms  %6.3f x libtiff\n", oneMs,
                oneMs / libtiffMs);
    std::printf("  analysis run, %2u threads                %8.1f ms  %6.3f x libtiff\n", cores,
                poolMs, poolMs / libtiffMs);
    for (const std::string& t : tiffs) fs::remove(t);
  }

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
