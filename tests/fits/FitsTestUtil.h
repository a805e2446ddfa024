#pragma once
// Synthetic phase histograms and their mixtures for the fitting tests.
#include <cmath>
#include <vector>

#include "app/analysis/model/FitCommon.h"
#include "platform/Numbers.h"

namespace vandrel::fits_test {

// A Gaussian bump of grey levels, normalised to sum 1 like a phase histogram.
inline GreyHistogram Bump(double mean, double sd) {
  GreyHistogram h{};
  double sum = 0.0;
  for (int g = 0; g < 256; ++g) {
    const double z = (g - mean) / sd;
    h[g] = std::exp(-0.5 * z * z);
    sum += h[g];
  }
  for (double& v : h) v /= sum;
  return h;
}

// Even mass over the levels from..to.
inline GreyHistogram Flat(int from, int to) {
  GreyHistogram h{};
  for (int g = from; g <= to; ++g) h[g] = 1.0 / (to - from + 1);
  return h;
}

// `count` phases with means spread evenly over 20..235, each of spread `sd`.
inline std::vector<double> Means(int count) {
  std::vector<double> m;
  for (int k = 0; k < count; ++k) m.push_back(count == 1 ? 128.0 : 20.0 + 215.0 * k / (count - 1));
  return m;
}
inline std::vector<GreyHistogram> Phases(int count, double sd) {
  std::vector<GreyHistogram> p;
  for (double m : Means(count)) p.push_back(Bump(m, sd));
  return p;
}

// sum_j f[j] P_j.
inline GreyHistogram Mix(const std::vector<GreyHistogram>& phases,
                         const std::vector<double>& fractions) {
  GreyHistogram h{};
  for (size_t j = 0; j < phases.size(); ++j)
    for (int g = 0; g < 256; ++g) h[g] += fractions[j] * phases[j][g];
  return h;
}

// Fractions that sum to 1 and differ from phase to phase (1, 2, 3, ... in proportion,
// rotated so that the largest is not always last).
inline std::vector<double> Fractions(int count) {
  std::vector<double> f(count);
  double sum = 0.0;
  for (int k = 0; k < count; ++k) sum += f[k] = 1.0 + (k * 7) % count;
  for (double& v : f) v /= sum;
  return f;
}

// The record that the method dialog builds automatically: n = count - 1 thresholds, each
// halfway between the means of two neighbouring phases.
inline RegistroLimiares ThresholdsBetween(const std::vector<double>& means) {
  RegistroLimiares r;
  r.n = uint8_t(means.size() - 1);
  for (size_t k = 1; k < means.size(); ++k)
    r.lim[k] = uint8_t(Round((means[k - 1] + means[k]) / 2));
  return r;
}

// A record of the given thresholds.
inline RegistroLimiares Record(std::initializer_list<int> thresholds) {
  RegistroLimiares r;
  r.n = uint8_t(thresholds.size());
  int k = 1;
  for (int t : thresholds) r.lim[k++] = uint8_t(t);
  return r;
}

inline GreyHistogram Ones() {
  GreyHistogram w;
  w.fill(1.0);
  return w;
}

}  // namespace vandrel::fits_test
