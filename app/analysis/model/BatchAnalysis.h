#pragma once
// The analysis of a batch: every image of a list fitted with one method against one
// pattern. The images are read, decoded and counted on the batch's worker threads (see
// BatchRunner), a few ahead of the one being fitted; the fits, and everything the caller is
// told, follow on the calling thread in list order, exactly as a run on one thread. The
// first image that fails stops the run where a run on one thread would stop.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/analysis/model/FitCommon.h"
#include "app/thresholds/model/ThresholdRecord.h"

namespace vandrel {

enum class BatchMethod : uint8_t {
  kGradient,         // conjugate gradient from the thresholds' initial values
  kSteepestDescent,  // fixed-step descent from the thresholds' initial values
  kSVD,              // least squares on the pattern, weighted by its ".err"
};

// One image fitted.
struct BatchImage {
  std::string label;  // the file name, after a "*" when an iterative fit did not converge
  FitResult fit{};
  double chi2 = 0;  // the SVD fit's chi-square; 0 for the iterative methods
};

// What the caller hears of a run; every call comes on the calling thread, and any of them
// may be left empty.
struct BatchEvents {
  // Image `index` is next, before it is waited for; `name` is its file name.
  std::function<void(size_t index, const std::string& name)> starting;
  // Called again and again while the image announced last is still being read.
  std::function<void()> waiting;
  // Image `index` is fitted.
  std::function<void(size_t index, const BatchImage& image)> finished;
  // A warning of the SVD fit ("no convergence" of a singular value).
  std::function<void(const std::string& text)> warning;
};

// Runs `method` over `paths` with the pattern `patternFile` (".pat"; the SVD fit also reads
// its ".err"); the iterative methods start from `limits`. The pattern is read when the
// first image needs it, so that an image that cannot be read is reported before a damaged
// pattern. The error of an image (or of the pattern) is raised after the images before it
// were finished.
void RunBatch(const std::vector<std::string>& paths, BatchMethod method,
              const std::string& patternFile, const RegistroLimiares& limits,
              const BatchEvents& events);

}  // namespace vandrel
