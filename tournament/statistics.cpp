#include "statistics.h"

#include <cmath>
#include <limits>
#include <numeric>

namespace tournament {

namespace {

constexpr double kZ95 = 1.959963984540054;
// One standard deviation of a game's score, in Elo near equality.
const double kNeloScale = 800.0 / std::log(10.0);

// Score values with their counts: the mean and variance of one sample.
struct Moments {
  double n = 0;
  double mean = 0.5;
  double variance = 0;
};

// With `regularize`, an outcome never seen counts as a thousandth of one, so
// that one-sided results still have a spread and the SPRT can decide.
template <std::size_t N>
Moments MomentsOf(const std::array<double, N>& values, std::array<double, N> counts,
                  bool regularize) {
  if (regularize) {
    for (double& c : counts) {
      c = c == 0 ? 1e-3 : c;
    }
  }
  Moments m;
  m.n = std::accumulate(counts.begin(), counts.end(), 0.0);
  if (m.n == 0) {
    return m;
  }
  m.mean = 0;
  for (std::size_t i = 0; i < N; ++i) {
    m.mean += values[i] * counts[i] / m.n;
  }
  for (std::size_t i = 0; i < N; ++i) {
    m.variance += counts[i] * (values[i] - m.mean) * (values[i] - m.mean) / m.n;
  }
  return m;
}

Moments OfWdl(const Wdl& w, bool regularize = false) {
  return MomentsOf<3>(
      {1.0, 0.5, 0.0},
      {static_cast<double>(w.wins), static_cast<double>(w.draws), static_cast<double>(w.losses)},
      regularize);
}

// Pair scores on the scale of one game, 0 to 1.
Moments OfPairs(const Ptnml& p, bool regularize = false) {
  return MomentsOf<5>(
      {0.0, 0.25, 0.5, 0.75, 1.0},
      {static_cast<double>(p[0]), static_cast<double>(p[1]), static_cast<double>(p[2]),
       static_cast<double>(p[3]), static_cast<double>(p[4])},
      regularize);
}

// `spread` is the standard deviation that one nElo unit is measured in:
// a game's for trinomial counts, sqrt(2) times a pair's for pentanomial ones.
Estimate Estimated(const Moments& m, double spread, double losZ) {
  Estimate e;
  e.score = m.mean;
  e.elo = ScoreToElo(m.mean);
  if (m.n == 0) {
    return e;
  }
  const double error = std::sqrt(m.variance / m.n);
  if (m.mean <= 0 || m.mean >= 1) {
    e.eloError = std::numeric_limits<double>::infinity();
  } else {
    e.eloError = (ScoreToElo(m.mean + kZ95 * error) - ScoreToElo(m.mean - kZ95 * error)) / 2;
  }
  if (spread > 0) {
    e.nelo = (m.mean - 0.5) / spread * kNeloScale;
    e.neloError = kZ95 * error / spread * kNeloScale;
  } else if (m.mean != 0.5) {
    // Every game (pair) scored the same, far from even: no finite measure.
    e.nelo = std::copysign(std::numeric_limits<double>::infinity(), m.mean - 0.5);
    e.neloError = std::numeric_limits<double>::infinity();
  }
  e.los = 0.5 * (1 + std::erf(losZ / std::sqrt(2.0)));
  return e;
}

double Llr(const Moments& m, double elo0, double elo1) {
  const double s0 = EloToScore(elo0);
  const double s1 = EloToScore(elo1);
  return (s1 - s0) * (2 * m.mean - s0 - s1) / (2 * m.variance / m.n);
}

}  // namespace

double ScoreToElo(double score) {
  if (score <= 0) {
    return -std::numeric_limits<double>::infinity();
  }
  if (score >= 1) {
    return std::numeric_limits<double>::infinity();
  }
  return -400 * std::log10(1 / score - 1);
}

double EloToScore(double elo) {
  return 1 / (1 + std::pow(10.0, -elo / 400));
}

Estimate FromWdl(const Wdl& w) {
  const Moments m = OfWdl(w);
  // Draws say nothing of who is better: only the decided games count.
  const int decided = w.wins + w.losses;
  const double z = decided == 0 ? 0 : (w.wins - w.losses) / std::sqrt(decided);
  return Estimated(m, std::sqrt(m.variance), z);
}

Estimate FromPtnml(const Ptnml& p) {
  const Moments m = OfPairs(p);
  const double z = m.variance == 0 ? (m.mean > 0.5   ? 1e9
                                      : m.mean < 0.5 ? -1e9
                                                     : 0)
                                   : (m.mean - 0.5) / std::sqrt(m.variance / m.n);
  return Estimated(m, std::sqrt(2 * m.variance), z);
}

double LlrWdl(const Wdl& w, double elo0, double elo1) {
  return w.Games() == 0 ? 0 : Llr(OfWdl(w, true), elo0, elo1);
}

double LlrPtnml(const Ptnml& p, double elo0, double elo1) {
  return p[0] + p[1] + p[2] + p[3] + p[4] == 0 ? 0 : Llr(OfPairs(p, true), elo0, elo1);
}

SprtBounds Bounds(double alpha, double beta) {
  return {std::log(beta / (1 - alpha)), std::log((1 - beta) / alpha)};
}

}  // namespace tournament
