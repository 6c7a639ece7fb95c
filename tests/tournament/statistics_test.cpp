// The statistics against figures worked by hand and published by chess
// tournament runners.
#include "statistics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tournament {
namespace {

TEST(Statistics, EloAndIntervalFromGameCounts) {
  struct Case {
    Wdl wdl;
    double score, elo, error;
  };
  const Case cases[] = {
      {{60, 20, 20}, 0.70, 147.19, 66.01},        // by hand: -400 log10(1 / 0.7 - 1)
      {{0, 14, 36}, 0.14, -315.34, 95.43},        // published figures
      {{859, 1329, 772}, 0.5147, 10.21, 9.28},    // published figures
      {{1164, 3049, 1267}, 0.4906, -6.53, 6.12},  // published figures
  };
  for (const Case& c : cases) {
    const Estimate e = FromWdl(c.wdl);
    EXPECT_NEAR(e.score, c.score, 5e-4);
    EXPECT_NEAR(e.elo, c.elo, 0.01 * std::abs(c.elo));
    EXPECT_NEAR(e.eloError, c.error, 0.01 * c.error);
  }
  // LOS and nElo by hand for W60 D20 L20: Phi(40 / sqrt(80)), and the
  // score's distance from even in standard deviations of one game.
  const Estimate e = FromWdl({60, 20, 20});
  EXPECT_NEAR(e.los, 0.9999961, 1e-6);
  EXPECT_NEAR(e.nelo, 0.2 / std::sqrt(0.16) * 800 / std::log(10.0), 1e-9);
}

TEST(Statistics, SprtLlrMatchesPublishedValues) {
  // Trinomial counts and pentanomial pairs with logistic bounds elo0, elo1.
  EXPECT_NEAR(LlrWdl({21404, 40708, 21184}, 0.5, 2.5), -1.57, 0.01);
  EXPECT_NEAR(LlrWdl({57433, 106593, 57030}, 0, 2), -2.59, 0.01);
  EXPECT_NEAR(LlrPtnml({223, 9863, 21279, 10037, 246}, 0.5, 2.5), -3.07, 0.01);
  EXPECT_NEAR(LlrPtnml({871, 26175, 55983, 26678, 821}, 0, 2), -4.98, 0.01);
  const SprtBounds b = Bounds(0.05, 0.05);
  EXPECT_NEAR(b.lower, -2.944, 1e-3);
  EXPECT_NEAR(b.upper, 2.944, 1e-3);
}

TEST(Statistics, OneSidedResultsHaveNoFiniteElo) {
  const Estimate lost = FromPtnml({5, 0, 0, 0, 0});
  EXPECT_TRUE(std::isinf(lost.elo) && lost.elo < 0);
  EXPECT_LT(lost.los, 1e-6);
  // A handful of lost games leans to elo0 without deciding the test.
  const double llr = LlrPtnml({5, 0, 0, 0, 0}, 0, 5);
  EXPECT_LT(llr, 0);
  EXPECT_GT(llr, Bounds(0.05, 0.05).lower);
  EXPECT_EQ(LlrWdl({}, 0, 5), 0);
  const Estimate even = FromWdl({0, 4, 0});
  EXPECT_EQ(even.elo, 0);
  EXPECT_EQ(even.los, 0.5);
}

}  // namespace
}  // namespace tournament
