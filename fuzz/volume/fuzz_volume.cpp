// Feeds arbitrary bytes to the reader of "temp.vol" as a 16-image mosaic of 4 phases and,
// when the file is accepted, computes the homogeneity levels: every accepted file must give
// finite numbers, and every refused one an Exception, never a crash or a hang.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/analysis/model/Homogeneity.h"
#include "app/analysis/model/VolumeFile.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One file per process, removed when the process ends.
  static const struct Arquivo {
    std::string path = "/tmp/fuzz_volume_" + std::to_string(getpid()) + ".vol";
    ~Arquivo() { std::remove(path.c_str()); }
  } arquivo;
  const std::string& path = arquivo.path;
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  } else {
    return 0;
  }
  try {
    const vandrel::ValoresVol v = vandrel::LerArquivoVol(path, 16, 4);
    for (const vandrel::NivelHomogeneidade& n : vandrel::CalcularNiveis(v, 16))
      if (!std::isfinite(n.Sigma)) std::abort();
  } catch (const vandrel::Exception&) {
  }
  return 0;
}
