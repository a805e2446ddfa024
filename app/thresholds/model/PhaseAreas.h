#pragma once
// The area fraction of every phase, from the grey-level counts of an image. Row i (1..n)
// counts the levels lim[i-1] .. lim[i]-1 (none when lim[i] <= lim[i-1]) and the last row
// n+1 the levels lim[n] .. 255: half-open ranges that put a level equal to a threshold in
// the upper phase's row, whereas the colouring gives it the lower phase's colour.
//
// Percentages are truncated, not rounded, to two decimals, and computed in integers so that
// an exact fraction stays exact (29 % of the pixels reads 29, not 28.99).
#include <cstdint>
#include <string>
#include <vector>

#include "app/histograms/model/GreyLevels.h"
#include "app/thresholds/model/ThresholdRecord.h"

namespace vandrel {

struct LinhaDeArea {
  int de = 0;   // lower grey level, lim[i-1]
  int ate = 0;  // upper grey level, lim[i] (255 on the last row)
  int64_t pixels = 0;
  int64_t centesimos = 0;  // area in hundredths of a percent, truncated
  bool operator==(const LinhaDeArea&) const = default;
};

// n + 1 rows, phase 0 first. An image of no pixels (total <= 0) gives areas of 0.
std::vector<LinhaDeArea> CalcularAreas(const GreyCounts& contagens, int64_t total, int n,
                                       const Limiares& lim);

// The area as the table shows it: the shortest general form of centesimos / 100 with the
// process-wide decimal separator ("33.33", "12.5", "100", "0").
std::string TextoDaArea(int64_t centesimos);

}  // namespace vandrel
