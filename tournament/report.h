// The tournament's report: scores every pair of seats held by different
// bots (the seat that outlived the other wins; the same tick, or both
// surviving, is a draw) and prints stable lines that scripts can read.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "results_file.h"
#include "statistics.h"

namespace tournament {

struct Sprt {
  double elo0 = 0;
  double elo1 = 5;
  double alpha = 0.05;
  double beta = 0.05;
};

// Results as they stand; Add each finished game once.
class Tally {
 public:
  explicit Tally(const Config& c);
  void Add(const GameRecord& g);

  int Games() const { return games_; }
  // From the first bot's side against the second.
  Wdl FirstAgainstSecond() const { return wdl_[0][1]; }
  // Pairs of games on one map, when there are two seats and two bots.
  std::optional<Ptnml> Pairs() const;
  // The two-bot estimate: from the pairs where there are any, else per game.
  Estimate Current() const;
  double Llr(const Sprt& s) const;
  // A short summary for the progress line: Elo or the leader.
  std::string Standing() const;
  std::string Report(const std::optional<Sprt>& sprt) const;

 private:
  struct BotCounts {
    int games = 0;
    int survived = 0;
    int kills = 0;
    int suicides = 0;
    int killed = 0;
    int disconnects = 0;
    int crashes = 0;
  };
  Wdl Overall(std::size_t bot) const;

  Config config_;
  int games_ = 0;
  std::vector<std::vector<Wdl>> wdl_;  // [a][b]: a's results against b
  std::vector<BotCounts> bots_;
  std::map<int, int> pairPoints_;  // map -> first bot's half points so far
  std::map<int, int> pairGames_;   // map -> games of it finished
};

}  // namespace tournament
