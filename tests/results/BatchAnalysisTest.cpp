// The batch analysis model on its own: with workers it hands out what a run on one thread
// gives, image by image in list order; it tells its caller of every image once, in order;
// and the first image that cannot be read stops it in its place, with that image's error.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/analysis/model/AnalysisHistogram.h"
#include "app/analysis/model/BatchAnalysis.h"
#include "app/analysis/model/PatternFiles.h"
#include "app/analysis/model/UMetGradiente.h"
#include "app/analysis/model/UMetPowell.h"
#include "app/analysis/model/Umetodo.h"
#include "tests/results/ResultsTestUtil.h"

namespace vandrel::testing {
namespace {

// What a caller hears of one run.
struct Heard {
  std::vector<std::string> events;  // "start i name", "wait", "done i"
  std::vector<BatchImage> images;
  std::vector<std::string> warnings;
  std::string error;  // the error that stopped the run, empty when none

  // The events without the waits, whose number depends on the workers' speed.
  std::vector<std::string> Steps() const {
    std::vector<std::string> out;
    for (const std::string& e : events)
      if (e != "wait") out.push_back(e);
    return out;
  }
};

bool SameImage(const BatchImage& a, const BatchImage& b) {
  // Bit for bit: the fits of a worker run must be the one-thread fits, not close to them.
  return a.label == b.label && std::memcmp(a.fit.data(), b.fit.data(), sizeof a.fit) == 0 &&
         std::memcmp(&a.chi2, &b.chi2, sizeof a.chi2) == 0;
}

class BatchAnalysisTest : public ::testing::Test {
 protected:
  // The pattern: phase "ferrita" all at grey level 10, "perlita" all at 200.
  void SetUp() override {
    pattern = WriteTestPattern(dir / "aco", {Level(10), Level(200)},
                               {dir / "ferrita.his", dir / "perlita.his"});
    limits.n = 1;
    limits.lim[1] = 100;
  }

  // A `side` x `side` picture whose dark share is set by `seed`.
  std::string Picture(const std::string& name, int side, int seed) const {
    const std::string path = dir / name;
    SaveBmp(TwoLevels(side, side, (seed * 37) % (side * side), 10, 200), path);
    return path;
  }
  // Pictures of growing size, so that a later one often is read before an earlier one.
  std::vector<std::string> Pictures(int count) const {
    std::vector<std::string> out;
    for (int v = 0; v < count; ++v)
      out.push_back(Picture("p" + std::to_string(v) + ".bmp", 64 - 3 * v, v + 1));
    return out;
  }

  Heard Run(const std::vector<std::string>& paths, BatchMethod method, unsigned threads) {
    const ThreadsScope scope(threads);
    Heard heard;
    BatchEvents events;
    events.starting = [&](size_t i, const std::string& name) {
      heard.events.push_back("start " + std::to_string(i) + " " + name);
    };
    events.waiting = [&] { heard.events.push_back("wait"); };
    events.finished = [&](size_t i, const BatchImage& image) {
      heard.events.push_back("done " + std::to_string(i));
      heard.images.push_back(image);
    };
    events.warning = [&](const std::string& text) { heard.warnings.push_back(text); };
    try {
      RunBatch(paths, method, pattern, limits, events);
    } catch (const std::exception& e) {
      heard.error = e.what();
    }
    return heard;
  }

  static void ExpectSameRun(const Heard& got, const Heard& one) {
    EXPECT_EQ(got.Steps(), one.Steps());
    EXPECT_EQ(got.warnings, one.warnings);
    EXPECT_EQ(got.error, one.error);
    ASSERT_EQ(got.images.size(), one.images.size());
    for (size_t i = 0; i < one.images.size(); ++i)
      EXPECT_TRUE(SameImage(got.images[i], one.images[i])) << "image " << i;
  }

  TempDir dir;
  std::string pattern;
  RegistroLimiares limits;
};

constexpr BatchMethod kMethods[] = {BatchMethod::kSVD, BatchMethod::kGradient,
                                    BatchMethod::kSteepestDescent};

TEST_F(BatchAnalysisTest, WorkersGiveTheOneThreadRunInListOrder) {
  const std::vector<std::string> paths = Pictures(14);
  for (BatchMethod method : kMethods) {
    SCOPED_TRACE(int(method));
    const Heard one = Run(paths, method, 0);
    ASSERT_EQ(one.error, "");
    ASSERT_EQ(one.images.size(), paths.size());
    // The one-thread run is the plain run: one row per image, named after its file.
    for (size_t i = 0; i < paths.size(); ++i) {
      const std::string name = "p" + std::to_string(i) + ".bmp";
      EXPECT_TRUE(one.images[i].label == name || one.images[i].label == "*" + name);
    }
    for (unsigned threads : {1u, 2u, 5u, 16u}) {
      SCOPED_TRACE(threads);
      ExpectSameRun(Run(paths, method, threads), one);
    }
  }
}

// Each row is the method's own fit of the image's histogram; only the SVD fit gives a
// chi-square.
TEST_F(BatchAnalysisTest, EachImageGetsTheFitOfItsOwnHistogram) {
  const std::vector<std::string> paths = Pictures(4);
  const PatternSet set = ReadPatternSet(pattern);
  const std::vector<GreyHistogram> columns(set.columns.begin(), set.columns.begin() + 2);
  for (BatchMethod method : kMethods) {
    SCOPED_TRACE(int(method));
    const Heard heard = Run(paths, method, 2);
    ASSERT_EQ(heard.images.size(), paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
      const GreyHistogram h = HistogramaDaImagem(paths[i]);
      BatchImage alone;
      alone.label = "p" + std::to_string(i) + ".bmp";
      bool convergiu = true;
      if (method == BatchMethod::kSVD) {
        alone.chi2 = TMetodo().Ajustar(h, set.columns, set.weights, alone.fit);
      } else if (method == BatchMethod::kGradient) {
        TGradientMethod().Executar(h, columns, limits, convergiu, alone.fit);
      } else {
        TPowellMethod powell;
        powell.Executar(h, columns, limits, alone.fit);
        convergiu = powell.Convergiu();
      }
      if (!convergiu) alone.label = "*" + alone.label;
      EXPECT_TRUE(SameImage(heard.images[i], alone)) << "image " << i;
      if (method != BatchMethod::kSVD) {
        EXPECT_EQ(heard.images[i].chi2, 0.0);
      }
    }
  }
}

TEST_F(BatchAnalysisTest, TellsOfEveryImageOnceAndInOrder) {
  const std::vector<std::string> paths = Pictures(9);
  for (unsigned threads : {0u, 3u}) {
    SCOPED_TRACE(threads);
    const Heard heard = Run(paths, BatchMethod::kSVD, threads);
    std::vector<std::string> expected;
    for (size_t i = 0; i < paths.size(); ++i) {
      expected.push_back("start " + std::to_string(i) + " p" + std::to_string(i) + ".bmp");
      expected.push_back("done " + std::to_string(i));
    }
    EXPECT_EQ(heard.Steps(), expected);
    // Waits come only while an image is awaited: after its start, before it is done.
    for (size_t e = 1; e < heard.events.size(); ++e) {
      if (heard.events[e] == "wait") {
        EXPECT_TRUE(heard.events[e - 1] == "wait" || heard.events[e - 1].rfind("start", 0) == 0);
      }
    }
    if (threads == 0) {
      for (const std::string& e : heard.events) EXPECT_NE(e, "wait");
    }
  }
  // No image: nothing to tell, and the pattern is not even read.
  const Heard none = Run({}, BatchMethod::kSVD, 4);
  EXPECT_TRUE(none.events.empty());
  EXPECT_EQ(none.error, "");
}

TEST_F(BatchAnalysisTest, AnUnreadablePictureStopsTheRunInItsPlace) {
  const std::vector<std::string> good = Pictures(8);
  const std::string missing = dir / "falta.bmp";
  const std::string truncated = dir.write("cortada.bmp", TempDir::read(good[2]).substr(0, 200));
  const std::string garbage = dir.write("lixo.bmp", std::string(300, 'x'));
  for (const std::string& bad : {missing, truncated, garbage}) {
    for (size_t at : {size_t(0), size_t(3), good.size()}) {
      std::vector<std::string> paths = good;
      paths.insert(paths.begin() + long(at), bad);
      // A second bad one later: only the first is reported.
      paths.push_back(missing);
      SCOPED_TRACE(bad + " at " + std::to_string(at));
      const Heard one = Run(paths, BatchMethod::kSVD, 0);
      EXPECT_NE(one.error, "");
      ASSERT_EQ(one.images.size(), at);
      ASSERT_FALSE(one.Steps().empty());
      EXPECT_EQ(one.Steps().back(),
                "start " + std::to_string(at) + " " + bad.substr(bad.rfind('/') + 1));
      for (unsigned threads : {1u, 4u, 16u})
        ExpectSameRun(Run(paths, BatchMethod::kSVD, threads), one);
    }
  }
}

// The pattern is read when the first image needs it: a bad first image is reported before a
// missing pattern, and a missing pattern before any row.
TEST_F(BatchAnalysisTest, AnImageErrorComesBeforeAPatternError) {
  const std::vector<std::string> good = Pictures(3);
  std::vector<std::string> badFirst = good;
  badFirst.insert(badFirst.begin(), dir.write("lixo.bmp", std::string(300, 'x')));
  const std::string imageError = Run(badFirst, BatchMethod::kSVD, 0).error;
  ASSERT_NE(imageError, "");
  pattern = dir / "nenhum.pat";
  for (BatchMethod method : kMethods) {
    SCOPED_TRACE(int(method));
    for (unsigned threads : {0u, 4u}) EXPECT_EQ(Run(badFirst, method, threads).error, imageError);
    const Heard noPattern = Run(good, method, 4);
    EXPECT_EQ(noPattern.error, "File not found");
    EXPECT_TRUE(noPattern.images.empty());
    EXPECT_EQ(noPattern.Steps(), std::vector<std::string>{"start 0 p0.bmp"});
    ExpectSameRun(noPattern, Run(good, method, 0));
  }
}

}  // namespace
}  // namespace vandrel::testing
