#pragma once
// The initial values of the iterative fits as the fitting method dialog proposes them: the
// number of phases of a pattern, the automatic thresholds that lie halfway between the mean
// grey levels of neighbouring phases, and the texts of the one-row grid that shows a
// record. A ".als" file is read by the thresholds window's reader (ThresholdFiles.h).
#include <array>
#include <string>

#include "app/thresholds/model/ThresholdRecord.h"

namespace vandrel {

// The first integer of a pattern's name file (".pac"), as written there. A text that is not
// an integer raises "Invalid numeric input"; an empty file gives 0.
int32_t ReadPhaseCount(const std::string& pacPath);

// The phase count the dialog works with: `count` limited to 0..16, the phases that take
// part in a fit.
uint8_t UsablePhases(int32_t count);

// The mean grey level of each phase histogram of a ".pat": the file read as a stream of
// reals, for g = 0..255 and j = 1..`phases` the next value v adding g * v to mean j. Line
// ends are plain separators. Only the first 16 means are kept, but every column is read,
// so that the stream stays aligned; the reading stops at the end of the file, since what
// would follow reads as 0.
std::array<double, kMaxFases> PhaseMeans(const std::string& patPath, int32_t phases);

// Sorts m[0..n-1] ascending by exchanges: for i < j, swap when m[i] >= m[j].
void OrdenarMedias(std::array<double, kMaxFases>& m, int n);

// The record of `phases` sorted means: n = phases - 1 thresholds (0 for one phase or none),
// lim[k] the rounded middle (halves to even) of means k and k + 1, kept within 0..255;
// lim[n+1..15] = 0, lim[16] = 255.
RegistroLimiares ThresholdsFromMeans(std::array<double, kMaxFases> m, int phases);

// PhaseMeans then ThresholdsFromMeans: the automatic thresholds of a pattern.
RegistroLimiares AutomaticThresholds(const std::string& patPath, int32_t phases);

// The grid's 17 cells for a record: cells 0..n show lim[0..n] in decimal, cell n + 1 shows
// "255", the others are empty (n limited to 15).
std::array<std::string, 17> ThresholdCells(const RegistroLimiares& r);

}  // namespace vandrel
