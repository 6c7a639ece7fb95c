// Strength from game results as chess testers compute it: Elo with its 95 %
// interval, normalized Elo, likelihood of superiority, and the SPRT
// log-likelihood ratio, from win/draw/loss counts (trinomial) or from the
// scores of game pairs (pentanomial). Pure functions of the counts.
#pragma once

#include <array>

namespace tournament {

struct Wdl {
  int wins = 0;
  int draws = 0;
  int losses = 0;
  int Games() const { return wins + draws + losses; }
  double Points() const { return wins + draws / 2.0; }
};

// Pairs scoring 0, 1/2, 1, 3/2 and 2 points out of 2.
using Ptnml = std::array<int, 5>;

struct Estimate {
  double score = 0.5;   // share of the points, 0 to 1
  double elo = 0;       // +-inf when every game was lost or won
  double eloError = 0;  // half-width of the 95 % interval
  double nelo = 0;
  double neloError = 0;
  double los = 0.5;  // likelihood of superiority, 0 to 1
};

double ScoreToElo(double score);
double EloToScore(double elo);

// Both need at least one game (pair); with none the estimate is the neutral one.
Estimate FromWdl(const Wdl& wdl);
Estimate FromPtnml(const Ptnml& pairs);

// The generalized SPRT of logistic Elo elo0 against elo1, the distribution
// of outcomes fitted by maximum likelihood; 0 before the first game (pair).
double LlrWdl(const Wdl& wdl, double elo0, double elo1);
double LlrPtnml(const Ptnml& pairs, double elo0, double elo1);

struct SprtBounds {
  double lower = 0;  // accept H0 (elo0) at or below
  double upper = 0;  // accept H1 (elo1) at or above
};
SprtBounds Bounds(double alpha, double beta);

}  // namespace tournament
