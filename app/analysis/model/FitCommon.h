#pragma once
// What the three fitting methods share: the fit result, the phase histograms they are
// given, and the start point of the two iterative methods.
//
// Every method fits an image's grey-level histogram h by a weighted sum of phase histograms,
// h(g) ~ sum_j a_j P_j(g), and returns the coefficients a_j as the image's phase fractions.
#include <array>
#include <span>
#include <string>

#include "app/histograms/model/GreyLevels.h"
#include "app/thresholds/model/ThresholdRecord.h"

namespace vandrel {

// The most phases that take part in a fit.
constexpr int kFitPhases = 16;

// One coefficient per phase, 0 beyond the phases fitted.
using FitResult = std::array<double, kFitPhases>;

// The phase histograms of a pattern, column j being phase j at every grey level (the
// columns of PatternSet).
using PhaseHistograms = std::span<const GreyHistogram>;

// The first `count` phase histograms, copied so that the model loops run down contiguous
// columns. Phases that the pattern lacks are columns of zeros. `zero[j]` marks a column that
// is 0 at every grey level: its coefficient does not change the model at all.
struct PhaseColumns {
  int count = 0;
  std::array<GreyHistogram, kFitPhases> p{};
  std::array<bool, kFitPhases> zero{};
};
// `count` is clamped to 0..kFitPhases.
PhaseColumns TakeColumns(PhaseHistograms phases, int count);

// Coefficients of an iterative fit: one more than the record's thresholds. A count outside
// 0..15 (a damaged record) is clamped into it, so there are never more than 16.
int CoefficientCount(const RegistroLimiares& limiares);

// The largest coefficient the iterative fits give. A phase histogram and an image histogram
// both sum to 1, so a real phase fraction lies between 0 and 1; a coefficient that climbs
// to twice that belongs to a column that runs away (one too small to change the error, or
// one the others can stand in for), and the fit that stops it there does not converge.
constexpr double kMaiorCoeficiente = 2.0;

// Whether the record gives the iterative fits a start point for a pattern of `phases`
// phases: its level count is one less than the phase count.
bool ThresholdsFitPattern(const RegistroLimiares& limiares, int phases);

// The message of a run whose initial values do not fit the pattern of `phases` phases.
std::string ThresholdMismatchMessage(int phases);

// The start point of the iterative fits: the sum of h over each grey-level interval of the
// thresholds, coefficient k (k = 1..n) over lim[k-1] .. lim[k]-1 (nothing when lim[k] <=
// lim[k-1]) and coefficient n+1 over lim[n] .. 255. For a histogram that sums to 1 these are
// the pixel fractions of the intervals and sum to 1. Entries beyond n+1 are 0.
FitResult StartFractions(const GreyHistogram& h, const RegistroLimiares& limiares);

}  // namespace vandrel
