#pragma once
// The best of several timed runs, in milliseconds: the figure least disturbed by whatever
// else the machine is doing.
#include <algorithm>
#include <chrono>
#include <functional>

namespace vandrel::bench {

inline double BestMs(int repeats, const std::function<void()>& f) {
  double best = 1e30;
  for (int i = 0; i < repeats; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  return best;
}

}  // namespace vandrel::bench
