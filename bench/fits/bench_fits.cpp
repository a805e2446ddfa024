// bench_fits [REPEATS]: times one fit of a 16-phase pattern by each method and prints the
// best of REPEATS runs (default 20) in microseconds, with the images per second that makes
// and the method's own count of work (sweeps, driver iterations). The image is the
// histogram of a million pixels drawn from a known mixture, as a micrograph gives it; the
// phases are Gaussian bumps 14 grey levels apart, of spread 9 (neighbours overlap a little)
// and 15 (they overlap much, where the fixed-step search ends on a cycle).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include "app/analysis/model/UMetGradiente.h"
#include "app/analysis/model/UMetPowell.h"
#include "app/analysis/model/Umetodo.h"
#include "platform/Numbers.h"

namespace {

using namespace vandrel;

double BestUs(int repeats, const std::function<void()>& f) {
  double best = 1e30;
  for (int i = 0; i < repeats; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::micro>(t1 - t0).count());
  }
  return best;
}

GreyHistogram Bump(double mean, double sd) {
  GreyHistogram h{};
  double sum = 0.0;
  for (int g = 0; g < 256; ++g)
    sum += h[g] = std::exp(-0.5 * ((g - mean) / sd) * ((g - mean) / sd));
  for (double& v : h) v /= sum;
  return h;
}

double MaxError(const FitResult& a, const std::vector<double>& f) {
  double e = 0.0;
  for (size_t j = 0; j < f.size(); ++j) e = std::max(e, std::fabs(a[j] - f[j]));
  return e;
}

void Report(const char* name, double us, double error, const char* work, int count) {
  std::printf("  %-22s %10.1f us %10.0f images/s   max |a - f| %.1e   %s %d\n", name, us, 1e6 / us,
              error, work, count);
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  constexpr int kPhases = 16;

  for (double sd : {9.0, 15.0}) {
    std::vector<GreyHistogram> phases;
    std::vector<double> means, f;
    double total = 0.0;
    for (int k = 0; k < kPhases; ++k) {
      means.push_back(20.0 + 215.0 * k / (kPhases - 1));
      phases.push_back(Bump(means.back(), sd));
      total += f.emplace_back(1.0 + (k * 7) % kPhases);
    }
    for (double& v : f) v /= total;

    std::mt19937 random(1);
    std::discrete_distribution<int> phase(f.begin(), f.end());
    std::vector<std::discrete_distribution<int>> level;
    for (const auto& p : phases) level.emplace_back(p.begin(), p.end());
    GreyCounts counts{};
    for (int i = 0; i < 1000000; ++i) ++counts[level[phase(random)](random)];
    const GreyHistogram h = HistogramOfCounts(counts);

    RegistroLimiares limiares;
    limiares.n = kPhases - 1;
    for (int k = 1; k < kPhases; ++k)
      limiares.lim[k] = uint8_t(Round((means[k - 1] + means[k]) / 2));
    GreyHistogram ones;
    ones.fill(1.0);

    std::printf("16 phases of spread %.0f\n", sd);
    FitResult a;
    double us = BestUs(repeats, [&] { TMetodo().Ajustar(h, phases, ones, a); });
    Report("SVD", us, MaxError(a, f), "phases", kPhases);

    TPowellMethod powell;
    us = BestUs(repeats, [&] { powell.Executar(h, phases, limiares, a); });
    Report(!powell.Convergiu()        ? "fixed-step (not settled)"
           : powell.TerminouEmCiclo() ? "fixed-step (cycle)"
                                      : "fixed-step",
           us, MaxError(a, f), "sweeps", powell.Varreduras());

    TGradientMethod gradient;
    bool convergiu = false;
    us = BestUs(repeats, [&] { gradient.Executar(h, phases, limiares, convergiu, a); });
    Report(convergiu ? "conjugate gradient" : "conj. gradient (not c.)", us, MaxError(a, f),
           "iterations", gradient.Iteracoes());
  }
  return 0;
}
