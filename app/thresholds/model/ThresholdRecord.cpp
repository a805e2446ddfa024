#include "app/thresholds/model/ThresholdRecord.h"

#include <algorithm>
#include <utility>

namespace vandrel {

void OrdenarLimiares(Limiares& lim, int n) {
  n = std::clamp(n, 0, kMaxNiveis);
  // At most 15 values: the plain exchange sort is as fast as anything else here.
  for (int i = 1; i < n; ++i)
    for (int j = i + 1; j <= n; ++j)
      if (lim[size_t(j)] <= lim[size_t(i)]) std::swap(lim[size_t(i)], lim[size_t(j)]);
}

}  // namespace vandrel
