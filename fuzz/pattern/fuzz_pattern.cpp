// Feeds arbitrary bytes to the readers of a pattern file set: the input is the ".pat", the
// ".pac" and the ".err", separated by lines "#--#". Every reader of the set runs on it: the
// histogram control's two pattern loaders, the pattern set of the fits, the pattern editor's
// check and the automatic thresholds of the method dialog. A set either reads or raises an
// Exception; a set the control loaded is saved and must load back with the same columns.
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "app/analysis/model/InitialThresholds.h"
#include "app/analysis/model/PatternChecks.h"
#include "app/analysis/model/PatternFiles.h"
#include "app/histograms/model/HistogramData.h"
#include "fuzz/support/FuzzFiles.h"
#include "platform/Errors.h"

namespace {

// The loaded list saved as a pattern set and loaded again gives the same columns.
void CheckSavedPatternLoadsBack(const vandrel::HistogramData& d) {
  const std::string again = vandrel::fuzz::Folder() / "again.pat";
  d.SalvarPadrao(again);
  vandrel::HistogramData back;
  back.CarregarPadrao(again);
  if (back.Histogramas().size() != d.Histogramas().size()) std::abort();
  for (size_t k = 0; k < d.Histogramas().size(); ++k) {
    if (back.Histogramas()[k].Nome != d.Histogramas()[k].Nome) std::abort();
    for (int g = 0; g < 256; ++g)
      if (!vandrel::fuzz::ReadsBackAs(d.Histogramas()[k].Valores[g],
                                      back.Histogramas()[k].Valores[g]))
        std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vandrel::fuzz::FuzzFolder& folder = vandrel::fuzz::Folder();
  const auto parts = vandrel::fuzz::SplitParts(data, size, 3);
  const std::string pat = folder.Write("x.pat", parts[0]);
  const std::string pac = folder.Write("x.pac", parts[1]);
  folder.Write("x.err", parts[2]);

  vandrel::ValidarPadrao(pat);
  try {
    vandrel::ReadPatternLines(pac);
  } catch (const vandrel::Exception&) {
  }
  try {
    const int32_t phases = vandrel::ReadPhaseCount(pac);
    vandrel::UsablePhases(phases);
    vandrel::ThresholdCells(vandrel::AutomaticThresholds(pat, phases));
  } catch (const vandrel::Exception&) {
  }
  try {
    const vandrel::PatternSet set = vandrel::ReadPatternSet(pat);
    if (set.names.size() != set.columns.size()) std::abort();
  } catch (const vandrel::Exception&) {
  }
  // "linha.tmp" goes to the current folder: the private one while the control loads, the
  // fuzzer's own (where its corpus paths start) again afterwards.
  const int previous = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (previous < 0 || ::chdir(folder.path().c_str()) != 0) std::abort();
  try {
    vandrel::HistogramData d;
    d.CarregarPadrao(pat);
    // Saving writes every column; a few are enough to see that they come back.
    if (d.Histogramas().size() <= 16) CheckSavedPatternLoadsBack(d);
    d.SobreporPadrao(pat);
  } catch (const vandrel::Exception&) {
  }
  if (::fchdir(previous) != 0) std::abort();
  ::close(previous);
  return 0;
}
