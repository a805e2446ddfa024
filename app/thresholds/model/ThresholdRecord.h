#pragma once
// The threshold record: a level count n and 17 grey levels lim[0..16], lim[0] = 0, the n
// thresholds in ascending order, then bytes without meaning, and lim[16] = 255. n
// thresholds split 0..255 into n + 1 phases. Stored as 18 bytes in a ".als" file and passed
// between the thresholds window, the fitting method dialog and the analysis run.
#include <array>
#include <cstddef>
#include <cstdint>

namespace vandrel {

// The most thresholds a record holds, and so the most levels the thresholds window has.
constexpr int kMaxNiveis = 15;
// Phases: one more than the thresholds.
constexpr int kMaxFases = kMaxNiveis + 1;
// Bytes of a record: the count and lim[0..16].
constexpr size_t kTamanhoRegistroLimiares = 18;

// lim[0..16].
using Limiares = std::array<uint8_t, 17>;

// lim[0] = 0, lim[16] = 255, every other byte 0: the thresholds of a fresh window.
constexpr Limiares LimiaresIniciais() {
  Limiares lim{};
  lim[16] = 255;
  return lim;
}

struct RegistroLimiares {
  uint8_t n = 0;  // 1..15; 0 marks a record that was not accepted
  Limiares lim = LimiaresIniciais();
  bool operator==(const RegistroLimiares&) const = default;
};

// Sorts lim[1..n] ascending by exchanges (for i < j, swap when lim[j] <= lim[i]); lim[0] and
// lim[n+1..16] stay as they are. n is clamped to 0..15.
void OrdenarLimiares(Limiares& lim, int n);

}  // namespace vandrel
