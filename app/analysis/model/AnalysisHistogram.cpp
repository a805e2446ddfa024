#include "app/analysis/model/AnalysisHistogram.h"

#include "app/histograms/model/HistogramFiles.h"
#include "app/imaging/model/GreyImage.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/PictureLoader.h"

namespace vandrel {

GreyCounts ContagemDaImagem(const std::string& path, unsigned threads) {
  if (FileExtension(path) == ".grey") {
    Bitmap raw;
    ReadGrey(path, GreyRamp(), raw);
    return CountGreyLevels(raw, threads);
  }
  const Bitmap picture = LoadPicture(path);
  // Only in an 8-bit palette-indexed picture is every pixel byte a grey level; the bytes of
  // other formats would count colour channels or packed indices as levels.
  if (picture.format() != PixelFormat::pf8bit)
    throw Exception("A imagem " + FileNameOf(path) + " não é uma imagem de 8 bits");
  // Without pixels there is no fraction to fit.
  if (picture.empty()) throw Exception("A imagem " + FileNameOf(path) + " não tem pixels");
  return CountGreyLevels(picture, threads);
}

GreyHistogram HistogramaDaImagem(const std::string& path, unsigned threads) {
  return HistogramOfCounts(ContagemDaImagem(path, threads));
}

}  // namespace vandrel
