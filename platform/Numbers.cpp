#include "platform/Numbers.h"

#include <atomic>
#include <cmath>

namespace vandrel {

namespace {
std::atomic<char> separator{'.'};
}

char DecimalSeparator() { return separator.load(std::memory_order_relaxed); }
void SetDecimalSeparator(char s) { separator.store(s, std::memory_order_relaxed); }

int64_t Round(double value) {
  const double r = std::round(value);  // halves away from zero
  if (std::fabs(value - std::trunc(value)) == 0.5)
    return static_cast<int64_t>(2.0 * std::round(value / 2.0));
  return static_cast<int64_t>(r);
}

}  // namespace vandrel
