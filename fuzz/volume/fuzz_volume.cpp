// Feeds arbitrary bytes to the reader of "temp.vol" as a 16-image mosaic of 4 phases and,
// when the file is accepted, computes the homogeneity levels: every accepted file must give
// finite numbers, and every refused one an Exception, never a crash or a hang.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/analysis/model/Homogeneity.h"
#include "app/analysis/model/VolumeFile.h"
#include "fuzz/support/FuzzFiles.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = vandrel::fuzz::Folder().Write(
      "temp.vol", std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    const vandrel::ValoresVol v = vandrel::LerArquivoVol(path, 16, 4);
    for (const vandrel::NivelHomogeneidade& n : vandrel::CalcularNiveis(v, 16))
      if (!std::isfinite(n.Sigma)) std::abort();
  } catch (const vandrel::Exception&) {
  }
  return 0;
}
