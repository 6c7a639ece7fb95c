#include "lookahead/danger.h"

#include <cstddef>

#include "lookahead/cell.h"
#include "lookahead/evaluator.h"

namespace {

constexpr int kReach = 2;
constexpr int kDropTime = 6;  // a bomb dropped now, seen after one tick more
constexpr int kChainPasses = 3;

bool OwnsLiveBomb(const State& state, int id) {
  for (const Bomb& bomb : state.bombs) {
    if (bomb.timer >= 0 && bomb.owner == id) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::vector<Danger> ListDangers(const State& state) {
  std::vector<Danger> dangers;
  dangers.reserve(state.bombs.size() + state.players.size());
  for (const Bomb& bomb : state.bombs) {
    dangers.push_back({bomb.x, bomb.y, bomb.timer});
  }
  for (const Player& player : state.players) {
    if (player.id != State::kSelfId && !OwnsLiveBomb(state, player.id)) {
      dangers.push_back({player.x, player.y, kDropTime});
    }
  }
  return dangers;
}

void ChainDangers(std::vector<Danger>& dangers) {
  // Updates take effect at once, so a lowered time travels on within a pass.
  // Walls and blocks do not separate dangers; nor does a shared cell link them.
  for (int pass = 0; pass < kChainPasses; ++pass) {
    for (const Danger& source : dangers) {
      for (const Direction& d : kDirections) {
        for (int k = 1; k <= kReach; ++k) {
          const int x = Shift(source.x, d.dx * k);
          const int y = Shift(source.y, d.dy * k);
          for (Danger& target : dangers) {
            if (target.x == x && target.y == y && target.time > source.time) {
              target.time = source.time;
            }
          }
        }
      }
    }
  }
}

std::vector<int> DangerMap(const State& state, const std::vector<Danger>& dangers) {
  std::vector<int> map(state.tiles.size(), Evaluator::kNoDanger);
  const auto mark = [&](int x, int y, int time) {
    if (Valid(x, y, state.width, state.height)) {
      map[state.Index(x, y)] = time;
    }
  };
  // Later dangers overwrite earlier ones, whatever their times.
  for (const Danger& danger : dangers) {
    mark(danger.x, danger.y, danger.time);
    for (const Direction& d : kDirections) {
      for (int k = 1; k <= kReach; ++k) {
        mark(Shift(danger.x, d.dx * k), Shift(danger.y, d.dy * k), danger.time);
      }
    }
  }
  return map;
}
