#include "safety.h"

#include <algorithm>
#include <cstdlib>

#include "escape.h"
#include "forecast.h"

namespace sparring {

namespace {

// Beyond this many steps away a player's fresh bomb cannot reach the cells
// we could flee to before it goes off.
constexpr int kThreatDistance = 7;

// Before our own bomb goes off its blast pins us to a few cells for a while,
// so a bomb of ours must also outlive drops a few steps away from the others.
constexpr int kStepsBeforeDropWhileOursTicks = 3;

// The bombs the players near us could drop: now where they stand, or after
// up to `steps` steps on a cell they walk to.
void Threats(const Position& p, int steps, std::vector<arena::Bomb>& now,
             std::vector<arena::Bomb>& later) {
  const arena::Cell us = p.players[kUs];
  for (std::size_t i = 1; i < p.players.size(); ++i) {
    const arena::Cell at = p.players[i];
    const int owner = static_cast<int>(i);
    if (p.Armed(owner) || std::abs(at.x - us.x) + std::abs(at.y - us.y) > kThreatDistance) {
      continue;
    }
    now.push_back(arena::Bomb{owner, at, arena::kBombTimer});
    const std::vector<int> walk = Arrivals(p, {owner});
    for (int j = 0; j < p.Cells(); ++j) {
      const int d = walk[static_cast<std::size_t>(j)];
      if (d >= 1 && d <= steps) {
        const arena::Cell c{j % p.board.Width(), j / p.board.Width()};
        later.push_back(arena::Bomb{owner, c, arena::kBombTimer + d});
      }
    }
  }
}

}  // namespace

arena::Bomb OurDrop(const Position& p) {
  return arena::Bomb{kUs, p.players[kUs], arena::kBombTimer};
}

Levels Assess(const Position& p) {
  const arena::Cell us = p.players[kUs];
  std::vector<int> others;
  for (std::size_t i = 1; i < p.players.size(); ++i) {
    others.push_back(static_cast<int>(i));
  }
  const std::vector<int> standing = Standing(p, others);

  Levels levels;
  levels.fill(kPointless);
  // Moves share the forecasts without our bomb; dropping has its own.
  for (const bool drop : {false, true}) {
    if (drop && p.Armed(kUs)) {
      continue;
    }
    std::vector<arena::Bomb> now, next;
    Threats(p, drop ? kStepsBeforeDropWhileOursTicks : 1, now, next);
    std::vector<int> cells;  // the cell each command of this kind leaves us on
    std::vector<int> commands;
    for (int c = 0; c < 6; ++c) {
      const auto command = static_cast<arena::Command>(c);
      const arena::Cell to = Target(us, command);
      if ((command == arena::Command::Bomb) == drop && (to == us || p.Enterable(to))) {
        commands.push_back(c);
        cells.push_back(p.Index(to));
      }
    }
    const std::vector<arena::Bomb> ours =
        drop ? std::vector<arena::Bomb>{OurDrop(p)} : std::vector<arena::Bomb>{};
    const Forecast base = Foresee(p, ours);
    // The others race us over the map as the blasts open it, bombs gone.
    const Position opened{base.cleared, p.players, {}};
    const std::vector<int> reach = Arrivals(opened, others);
    // Holds: the command's cell is safe, and nobody can take it from us first.
    const auto holds = [&](const Refuges& r, std::size_t k) {
      return r.Safe(1, cells[k]) &&
             (cells[k] == p.Index(us) || 1 < reach[static_cast<std::size_t>(cells[k])]);
    };
    const Refuges still(base, p, standing);
    const Refuges racing(base, p, reach);
    std::vector<char> passing(commands.size());
    for (std::size_t k = 0; k < commands.size(); ++k) {
      int& level = levels[static_cast<std::size_t>(commands[k])];
      level = !still.Safe(1, cells[k]) ? kDoomed : holds(racing, k) ? kEscapes : kCornered;
      passing[k] = level == kEscapes;
    }
    // Each threat in turn; a command climbs a level once it passes all of a kind.
    int stage = kEscapes;
    for (const auto* threats : {&now, &next}) {
      ++stage;
      for (const arena::Bomb& b : *threats) {
        if (std::find(passing.begin(), passing.end(), 1) == passing.end()) {
          break;
        }
        std::vector<arena::Bomb> extra = ours;
        extra.push_back(b);
        const Forecast f = Foresee(p, extra);
        const Refuges r(f, p, reach);
        for (std::size_t k = 0; k < commands.size(); ++k) {
          passing[k] = passing[k] && holds(r, k);
        }
      }
      for (std::size_t k = 0; k < commands.size(); ++k) {
        if (passing[k]) {
          levels[static_cast<std::size_t>(commands[k])] = stage;
        }
      }
    }
    for (std::size_t k = 0; k < commands.size(); ++k) {
      if (passing[k] && racing.Safe(2, cells[k])) {
        levels[static_cast<std::size_t>(commands[k])] = kUnhurried;
      }
    }
  }
  return levels;
}

}  // namespace sparring
