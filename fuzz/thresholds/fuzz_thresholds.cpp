// Feeds arbitrary bytes to the readers of the thresholds window's binary files, the same
// bytes as a threshold file (".als") and as a palette file (".pcs"), and hands what reads to
// the code that uses a record: sorting, phase colours, phase areas and the method dialog's
// grid. A file either reads or raises an Exception; a record that reads is written back
// and must read back the same.
#include <cstdint>
#include <cstdlib>

#include "app/analysis/model/InitialThresholds.h"
#include "app/thresholds/model/PhaseAreas.h"
#include "app/thresholds/model/PhaseColouring.h"
#include "app/thresholds/model/ThresholdFiles.h"
#include "fuzz/support/FuzzFiles.h"
#include "platform/Errors.h"

namespace {

void UseRecord(vandrel::RegistroLimiares r, const vandrel::PaletaFases& paleta) {
  vandrel::ThresholdCells(r);
  vandrel::OrdenarLimiares(r.lim, r.n);
  vandrel::GreyCounts counts{};
  for (int g = 0; g < 256; ++g) counts[size_t(g)] = g * 7 + 1;
  int64_t total = 0;
  for (int32_t c : counts) total += c;
  vandrel::CalcularAreas(counts, total, r.n, r.lim);
  vandrel::CoresDosNiveis(r.n, r.lim, paleta);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vandrel::fuzz::FuzzFolder& folder = vandrel::fuzz::Folder();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string als = folder.Write("x.als", bytes);
  const std::string pcs = folder.Write("x.pcs", bytes);

  vandrel::PaletaFases paleta = vandrel::PaletaPadrao();
  try {
    paleta = vandrel::LerArquivoPaleta(pcs);
    vandrel::GravarArquivoPaleta(folder / "again.pcs", paleta);
    if (vandrel::LerArquivoPaleta(folder / "again.pcs") != paleta) std::abort();
  } catch (const vandrel::Exception&) {
  }
  try {
    const vandrel::RegistroLimiares r = vandrel::LerArquivoLimiares(als);
    if (!vandrel::RegistroValido(r)) std::abort();
    vandrel::GravarArquivoLimiares(folder / "again.als", r);
    if (!(vandrel::LerArquivoLimiares(folder / "again.als") == r)) std::abort();
    UseRecord(r, paleta);
  } catch (const vandrel::Exception&) {
  }
  return 0;
}
