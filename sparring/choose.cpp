#include "choose.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "escape.h"
#include "forecast.h"
#include "safety.h"
#include "terrain.h"

namespace sparring {

namespace {

constexpr std::array<std::string_view, 3> kWords = {"random", "runner", "hunter"};
constexpr std::array<std::string_view, 3> kNames = {"Random", "Runner", "Hunter"};

constexpr double kUnwanted = -1e9;
constexpr int kRoomRadius = 8;
// Opponents this far away are not worth trapping with a bomb dropped now.
constexpr int kTrapDistance = 6;

// What dropping a bomb now would leave each nearby opponent: a score that
// grows as their ways out shrink, none at all being a sure kill.
double TrapValue(const Position& p) {
  const Forecast f = Foresee(p, {OurDrop(p)});
  const arena::Cell us = p.players[kUs];
  double value = 0;
  for (std::size_t i = 1; i < p.players.size(); ++i) {
    const arena::Cell them = p.players[i];
    if (std::abs(them.x - us.x) + std::abs(them.y - us.y) > kTrapDistance) {
      continue;
    }
    std::vector<int> rivals;
    for (std::size_t j = 0; j < p.players.size(); ++j) {
      if (j != i) {
        rivals.push_back(static_cast<int>(j));
      }
    }
    const std::vector<int> reach = Arrivals(p, rivals, kUs);
    const int ways = Refuges(f, p, reach).WaysOut(them);
    value += ways == 0 ? 100 : ways <= 2 ? 30 : ways <= 4 ? 10 : 0;
  }
  return value;
}

struct Scorer {
  const Position& p;
  Style style;
  std::vector<int> reach;     // when another player could first stand on each cell
  std::vector<int> toSpot;    // steps to a cell where a bomb breaks blocks
  std::vector<int> toOthers;  // the hunter's way to its prey
  std::vector<int> blastIn;   // the step in which a ticking bomb first blasts each cell

  double Score(arena::Command c) const {
    const arena::Cell to = Target(p.players[kUs], c);
    const auto i = static_cast<std::size_t>(p.Index(to));
    const double room = std::min(Room(p, to, reach, kRoomRadius), 30);
    if (c == arena::Command::Bomb) {
      const int blocks = BlocksBroken(p, to);
      const double trap = TrapValue(p);
      if (blocks == 0 && trap == 0) {
        return kUnwanted;
      }
      return style == Style::Hunter ? 2 * room + trap + 4 * blocks
                                    : 2 * room + (trap >= 100 ? trap : 0) + 12 * blocks;
    }
    const double spot = std::min(toSpot[i], 20);
    // Off a blast's path early rather than at the last safe tick.
    const double hurry = blastIn[i] == kNever ? 0 : 200.0 / blastIn[i];
    if (style == Style::Hunter) {
      return room - 6.0 * std::min(toOthers[i], 60) - 0.5 * spot - hurry;
    }
    return 2 * room + 3 * std::min(reach[i], 6) - 2 * spot - hurry;
  }
};

}  // namespace

std::optional<Style> ParseStyle(std::string_view word) {
  for (std::size_t i = 0; i < kWords.size(); ++i) {
    if (word == kWords[i]) {
      return static_cast<Style>(i);
    }
  }
  return std::nullopt;
}

std::string_view StyleName(Style style) {
  return kNames[static_cast<std::size_t>(style)];
}

arena::Command Choose(const Position& p, Style style, std::mt19937_64& rng) {
  if (p.players.empty() || !p.board.Contains(p.players[kUs])) {
    return arena::Command::Stay;
  }
  const Levels levels = Assess(p);
  const int best = *std::max_element(levels.begin(), levels.end());
  std::vector<arena::Command> choices;
  for (int c = 0; c < 6; ++c) {
    const auto command = static_cast<arena::Command>(c);
    // A bomb of ours is worth it only when we survive any drop near us.
    if (levels[static_cast<std::size_t>(c)] == best &&
        (command != arena::Command::Bomb || best >= kSafeFromDrops)) {
      choices.push_back(command);
    }
  }
  if (choices.empty()) {
    return arena::Command::Stay;
  }
  if (style == Style::Random) {
    const bool bombing = choices.back() == arena::Command::Bomb;
    if (bombing && (choices.size() == 1 || rng() % 8 == 0)) {
      return arena::Command::Bomb;
    }
    return choices[rng() % (choices.size() - (bombing ? 1 : 0))];
  }
  Scorer scorer{p, style, {}, {}, {}, {}};
  std::vector<int> others;
  for (std::size_t i = 1; i < p.players.size(); ++i) {
    others.push_back(static_cast<int>(i));
  }
  scorer.reach = Arrivals(p, others);
  std::vector<int> spots;
  for (int i = 0; i < p.Cells(); ++i) {
    const arena::Cell c{i % p.board.Width(), i / p.board.Width()};
    if ((c == p.players[kUs] || p.Enterable(c)) && BlocksBroken(p, c) > 0) {
      spots.push_back(i);
    }
  }
  scorer.toSpot = StepsTo(p, spots);
  if (style == Style::Hunter) {
    scorer.toOthers = CostToOthers(p);
  }
  const Forecast ticking = Foresee(p);
  scorer.blastIn.assign(static_cast<std::size_t>(p.Cells()), kNever);
  for (int t = ticking.horizon; t >= 1; --t) {
    for (int i = 0; i < p.Cells(); ++i) {
      if (ticking.Blasted(t, i)) {
        scorer.blastIn[static_cast<std::size_t>(i)] = t;
      }
    }
  }
  std::uniform_real_distribution<double> tie(0, 0.5);
  arena::Command chosen = choices.front();
  double top = kUnwanted * 2;
  for (const arena::Command c : choices) {
    const double score = scorer.Score(c) + tie(rng);
    if (score > top) {
      top = score;
      chosen = c;
    }
  }
  return chosen;
}

}  // namespace sparring
