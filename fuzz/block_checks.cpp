#include "block_checks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <utility>

namespace {

// The cell a command takes the self record to, if the move is allowed.
std::pair<std::int64_t, std::int64_t> Target(const Player& self, Command command) {
  std::int64_t x = self.x;
  std::int64_t y = self.y;
  switch (command) {
    case Command::Up:
      return {x, y - 1};
    case Command::Down:
      return {x, y + 1};
    case Command::Left:
      return {x - 1, y};
    case Command::Right:
      return {x + 1, y};
    case Command::Stay:
    case Command::DropBomb:
      break;
  }
  return {x, y};
}

}  // namespace

void Require(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

void CheckState(const State& state, const ExpectedBlock& expected) {
  Require(state.tick == expected.tick, "tick counts the maps since the round began");
  Require(state.width == expected.width && state.height == expected.height,
          "width and height follow the value lines and their limits");
  Require(state.tiles.size() ==
              static_cast<std::size_t>(state.width) * static_cast<std::size_t>(state.height),
          "tiles holds width x height elements");

  if (!expected.playersKnown) {
    Require(state.players.empty(), "no players before a players section");
  } else {
    std::set<int> ids;
    int selves = 0;
    for (const Player& p : state.players) {
      Require(p.alive, "every listed player is alive");
      Require(ids.insert(p.id).second, "no two player records share an id");
      selves += p.id == State::kSelfId ? 1 : 0;
    }
    Require(selves == 1, "exactly one self record after a players section");
    Require(expected.selfListed || state.players.back().id == State::kSelfId,
            "the self record is last unless the server listed it");
    const Player& self = *state.FindPlayer(State::kSelfId);
    Require(self.x == expected.selfX && self.y == expected.selfY,
            "the self record stands where the block put it");
  }

  std::set<std::pair<int, int>> cells;
  for (const Bomb& b : state.bombs) {
    Require(b.timer >= 0, "every bomb kept after a bombs section is live");
    Require(cells.insert({b.x, b.y}).second, "no two bombs share a cell");
  }
}

void CheckMove(const State& live, const Player& self, Command command, long long x, long long y) {
  const auto [tx, ty] = Target(self, command);
  const bool moved = x != self.x || y != self.y;
  Require(!moved || (x == tx && y == ty), "a move goes one cell in its own direction");
  Require(!moved || (tx >= 0 && tx < live.width && ty >= 0 && ty < live.height),
          "a move stays on the map");
}
