#include "statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace tournament {

namespace {

constexpr double kZ95 = 1.959963984540054;
// One standard deviation of a game's score, in Elo near equality.
const double kNeloScale = 800.0 / std::log(10.0);
constexpr double kInf = std::numeric_limits<double>::infinity();

constexpr std::array<double, 3> kGameScores = {1.0, 0.5, 0.0};
// Pair scores on the scale of one game, 0 to 1.
constexpr std::array<double, 5> kPairScores = {0.0, 0.25, 0.5, 0.75, 1.0};

std::array<double, 3> CountsOf(const Wdl& w) {
  return {static_cast<double>(w.wins), static_cast<double>(w.draws), static_cast<double>(w.losses)};
}

std::array<double, 5> CountsOf(const Ptnml& p) {
  return {static_cast<double>(p[0]), static_cast<double>(p[1]), static_cast<double>(p[2]),
          static_cast<double>(p[3]), static_cast<double>(p[4])};
}

// Score values with their counts: the mean and variance of one sample.
struct Moments {
  double n = 0;
  double mean = 0.5;
  double variance = 0;
};

template <std::size_t N>
Moments MomentsOf(const std::array<double, N>& values, const std::array<double, N>& counts) {
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
    e.eloError = kInf;
  } else {
    e.eloError = (ScoreToElo(m.mean + kZ95 * error) - ScoreToElo(m.mean - kZ95 * error)) / 2;
  }
  if (spread > 0) {
    e.nelo = (m.mean - 0.5) / spread * kNeloScale;
    e.neloError = kZ95 * error / spread * kNeloScale;
  } else if (m.mean != 0.5) {
    // Every game (pair) scored the same, far from even: no finite measure.
    e.nelo = std::copysign(kInf, m.mean - 0.5);
    e.neloError = kInf;
  }
  e.los = 0.5 * (1 + std::erf(losZ / std::sqrt(2.0)));
  return e;
}

// The distribution over `values` most likely to give the observed
// frequencies while its mean is `mean`: f_i / (1 + t (v_i - mean)), with t
// found by bisection where every weight stays positive.
template <std::size_t N>
std::array<double, N> FitMean(const std::array<double, N>& values,
                              const std::array<double, N>& freqs, double mean) {
  double lo = -1e12;
  double hi = 1e12;
  for (const double v : values) {
    if (v > mean) {
      lo = std::max(lo, -1 / (v - mean));
    } else if (v < mean) {
      hi = std::min(hi, -1 / (v - mean));
    }
  }
  auto excess = [&](double t) {
    double sum = 0;
    for (std::size_t i = 0; i < N; ++i) {
      sum += freqs[i] * (values[i] - mean) / (1 + t * (values[i] - mean));
    }
    return sum;
  };
  for (int step = 0; step < 200; ++step) {
    const double t = (lo + hi) / 2;
    (excess(t) > 0 ? lo : hi) = t;
  }
  const double t = (lo + hi) / 2;
  std::array<double, N> fit{};
  for (std::size_t i = 0; i < N; ++i) {
    fit[i] = freqs[i] / (1 + t * (values[i] - mean));
  }
  return fit;
}

// The generalized SPRT: the log-likelihood of the counts under the best fit
// with elo1's mean against the best fit with elo0's. An outcome not seen yet
// counts as a thousandth of one, so that both fits may use it.
template <std::size_t N>
double Llr(const std::array<double, N>& values, std::array<double, N> counts, double elo0,
           double elo1) {
  double total = 0;
  for (double& c : counts) {
    c = std::max(c, 1e-3);
    total += c;
  }
  std::array<double, N> freqs{};
  for (std::size_t i = 0; i < N; ++i) {
    freqs[i] = counts[i] / total;
  }
  const auto h0 = FitMean(values, freqs, EloToScore(elo0));
  const auto h1 = FitMean(values, freqs, EloToScore(elo1));
  double llr = 0;
  for (std::size_t i = 0; i < N; ++i) {
    llr += counts[i] * std::log(h1[i] / h0[i]);
  }
  return llr;
}

}  // namespace

double ScoreToElo(double score) {
  if (score <= 0) {
    return -kInf;
  }
  if (score >= 1) {
    return kInf;
  }
  return -400 * std::log10(1 / score - 1);
}

double EloToScore(double elo) {
  return 1 / (1 + std::pow(10.0, -elo / 400));
}

Estimate FromWdl(const Wdl& w) {
  const Moments m = MomentsOf(kGameScores, CountsOf(w));
  // Draws say nothing of who is better: only the decided games count.
  const int decided = w.wins + w.losses;
  const double z = decided == 0 ? 0 : (w.wins - w.losses) / std::sqrt(decided);
  return Estimated(m, std::sqrt(m.variance), z);
}

Estimate FromPtnml(const Ptnml& p) {
  const Moments m = MomentsOf(kPairScores, CountsOf(p));
  const double z = m.variance == 0 ? std::copysign(m.mean == 0.5 ? 0 : kInf, m.mean - 0.5)
                                   : (m.mean - 0.5) / std::sqrt(m.variance / m.n);
  return Estimated(m, std::sqrt(2 * m.variance), z);
}

double LlrWdl(const Wdl& w, double elo0, double elo1) {
  return w.Games() == 0 ? 0 : Llr(kGameScores, CountsOf(w), elo0, elo1);
}

double LlrPtnml(const Ptnml& p, double elo0, double elo1) {
  const int pairs = p[0] + p[1] + p[2] + p[3] + p[4];
  return pairs == 0 ? 0 : Llr(kPairScores, CountsOf(p), elo0, elo1);
}

SprtBounds Bounds(double alpha, double beta) {
  return {std::log(beta / (1 - alpha)), std::log((1 - beta) / alpha)};
}

}  // namespace tournament
