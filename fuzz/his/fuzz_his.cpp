// Feeds arbitrary bytes to the readers of a histogram file (".his"): the histogram control's
// reader, the pattern editor's check and the control's vertical scale of what was read. A
// file either reads or raises an Exception; what reads is written back and must read back
// to 15 digits, never a crash, a hang or a runaway allocation.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "app/analysis/model/PatternChecks.h"
#include "app/histograms/model/HistogramData.h"
#include "app/histograms/model/HistogramFiles.h"
#include "app/histograms/model/HistogramLayout.h"
#include "fuzz/support/FuzzFiles.h"
#include "platform/Errors.h"

namespace {

void CheckReadsBack(const vandrel::GreyHistogram& values) {
  const std::string again = vandrel::fuzz::Folder() / "again.his";
  vandrel::WriteHis(again, values);
  const vandrel::GreyHistogram back = vandrel::ReadHis(again);
  for (size_t g = 0; g < values.size(); ++g)
    if (!vandrel::fuzz::ReadsBackAs(values[g], back[g])) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = vandrel::fuzz::Folder().Write(
      "x.his", std::string_view(reinterpret_cast<const char*>(data), size));
  vandrel::ValidarHistograma(path);
  try {
    const vandrel::GreyHistogram values = vandrel::ReadHis(path);
    CheckReadsBack(values);
    for (double fator : {1.0, 0.5, 8.0}) {
      const vandrel::VerticalScale scale = vandrel::ScaleValues(values, 300, fator);
      vandrel::HistogramTexts(vandrel::hs512, scale.max, fator, 4, vandrel::PlotArea(520, 300));
    }
    vandrel::HistogramData d;
    d.CarregarHis(path);
    d.SobreporHis(path);
  } catch (const vandrel::Exception&) {
  }
  return 0;
}
