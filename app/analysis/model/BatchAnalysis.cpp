#include "app/analysis/model/BatchAnalysis.h"

#include <chrono>
#include <optional>

#include "app/analysis/model/AnalysisHistogram.h"
#include "app/analysis/model/BatchRunner.h"
#include "app/analysis/model/PatternFiles.h"
#include "app/analysis/model/UMetGradiente.h"
#include "app/analysis/model/UMetPowell.h"
#include "app/analysis/model/Umetodo.h"
#include "app/histograms/model/HistogramFiles.h"
#include "platform/FileNames.h"
#include "platform/TextFile.h"

namespace vandrel {

namespace {

// How long the caller waits for an image before it hears `waiting` again.
constexpr std::chrono::milliseconds kWaitStep(40);

// The first columns of the pattern, as many as the thresholds make phases (the iterative
// methods read no ".pac" and no ".err").
std::vector<GreyHistogram> PatternColumns(const std::string& patternFile,
                                          const RegistroLimiares& limits) {
  TextReader pat(patternFile);
  return ReadPatternValues(pat, CoefficientCount(limits));
}

// Fits one histogram with one method; the pattern is read at the first fit.
class Fitter {
 public:
  Fitter(BatchMethod method, const std::string& patternFile, const RegistroLimiares& limits,
         const BatchEvents& events)
      : method_(method), patternFile_(patternFile), limits_(limits), events_(events) {}

  void Fit(const GreyHistogram& h, BatchImage& image) {
    switch (method_) {
      case BatchMethod::kSVD: {
        if (!pattern_) pattern_ = ReadPatternSet(patternFile_);
        TMetodo metodo;
        metodo.Aviso = events_.warning;
        image.chi2 = metodo.Ajustar(h, pattern_->columns, pattern_->weights, image.fit);
        break;
      }
      case BatchMethod::kSteepestDescent: {
        if (!columns_) columns_ = PatternColumns(patternFile_, limits_);
        TPowellMethod metodo;
        metodo.Executar(h, *columns_, limits_, image.fit);
        if (!metodo.Convergiu()) image.label = "*" + image.label;
        break;
      }
      case BatchMethod::kGradient: {
        if (!columns_) columns_ = PatternColumns(patternFile_, limits_);
        TGradientMethod metodo;
        bool convergiu = true;
        metodo.Executar(h, *columns_, limits_, convergiu, image.fit);
        if (!convergiu) image.label = "*" + image.label;
        break;
      }
    }
  }

 private:
  const BatchMethod method_;
  const std::string& patternFile_;
  const RegistroLimiares& limits_;
  const BatchEvents& events_;
  std::optional<PatternSet> pattern_;
  std::optional<std::vector<GreyHistogram>> columns_;
};

}  // namespace

void RunBatch(const std::vector<std::string>& paths, BatchMethod method,
              const std::string& patternFile, const RegistroLimiares& limits,
              const BatchEvents& events) {
  if (paths.empty()) return;
  const unsigned workers = BatchThreads();
  BatchRunner<GreyHistogram> batch(
      paths.size(), workers, 2 * size_t(workers),
      // Each worker counts its image on its own thread: the workers already fill the cores.
      // The job keeps its own list: the caller's may change while it is told of progress.
      [paths, counting = workers ? 1u : 0u](size_t i) {
        return HistogramaDaImagem(paths[i], counting);
      });
  Fitter fitter(method, patternFile, limits, events);
  for (size_t i = 0; i < paths.size(); ++i) {
    BatchImage image;
    image.label = FileNameOf(paths[i]);
    if (events.starting) events.starting(i, image.label);
    while (!batch.Ready(i, kWaitStep))
      if (events.waiting) events.waiting();
    const GreyHistogram h = batch.Take(i);
    fitter.Fit(h, image);
    if (events.finished) events.finished(i, image);
  }
}

}  // namespace vandrel
