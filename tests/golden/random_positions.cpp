#include "random_positions.h"

#include <random>

namespace {

class Dice {
 public:
  explicit Dice(std::uint32_t seed) : engine(seed) {}
  // A number from 0 to n - 1 (n > 0).
  int Below(int n) { return static_cast<int>(engine() % static_cast<std::uint32_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }

 private:
  std::mt19937 engine;
};

}  // namespace

State RandomPosition(std::uint32_t seed) {
  Dice dice(seed);
  // One position in five is larger and busier, for long chains and crowds.
  const bool large = seed % 5 == 0;
  State s;
  s.tick = dice.Below(50);
  s.width = 1 + dice.Below(large ? 40 : 12);
  s.height = 1 + dice.Below(large ? 40 : 12);
  s.tiles.resize(static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height));
  const int blockShare = dice.Below(60);
  const int wallShare = dice.Below(30);
  for (State::Tile& t : s.tiles) {
    const int roll = dice.Below(100);
    t = roll < blockShare               ? State::Tile::Block
        : roll < blockShare + wallShare ? State::Tile::Wall
                                        : State::Tile::Empty;
  }

  // Cells: mostly on the map, now and then just off it or far away.
  auto coordinate = [&](int size) {
    const int roll = dice.Below(100);
    if (roll < 3)
      return -1 - dice.Below(3);
    if (roll < 5)
      return size + dice.Below(3);
    if (roll < 6)
      return dice.Chance(50) ? 2147483647 - dice.Below(2) : -2147483647 - 1 + dice.Below(2);
    return dice.Below(size);
  };

  const int others = dice.Below(large ? 12 : 6);
  for (int i = 0; i < others; ++i) {
    Player p{i * 3 + dice.Below(3), coordinate(s.width), coordinate(s.height), dice.Chance(90),
             Command::Stay};
    // Some players share a cell with the one before them.
    if (i > 0 && dice.Chance(20)) {
      p.x = s.players.back().x;
      p.y = s.players.back().y;
    }
    s.players.push_back(p);
  }
  if (!dice.Chance(3)) {
    s.players.push_back(
        {State::kSelfId, coordinate(s.width), coordinate(s.height), true, Command::Stay});
    if (others > 0 && dice.Chance(15)) {
      s.players.back().x = s.players.front().x;
      s.players.back().y = s.players.front().y;
    }
  }

  // Bombs on distinct cells, as the reader leaves them; runs of neighbours
  // make chains, and some lie under players.
  const int bombs = dice.Below(large ? 60 : 9);
  for (int i = 0; i < bombs; ++i) {
    Bomb b{-2, coordinate(s.width), coordinate(s.height), dice.Below(7)};
    const bool chainable = !s.bombs.empty() && s.bombs.back().x >= 0 && s.bombs.back().x < 100 &&
                           s.bombs.back().y >= 0 && s.bombs.back().y < 100;
    if (chainable && dice.Chance(large ? 70 : 40)) {
      const Bomb& last = s.bombs.back();
      const int step = 1 + dice.Below(2);
      b.x = dice.Chance(50) ? last.x + step : last.x;
      b.y = b.x == last.x ? last.y + step : last.y;
    } else if (!s.players.empty() && dice.Chance(25)) {
      const Player& p =
          s.players[static_cast<std::size_t>(dice.Below(static_cast<int>(s.players.size())))];
      b.x = p.x;
      b.y = p.y;
    }
    if (s.FindBomb(b.x, b.y) != nullptr)
      continue;
    const int owner = dice.Below(4);
    if (owner == 1)
      b.owner = State::kSelfId;
    if (owner == 2 && !s.players.empty()) {
      b.owner =
          s.players[static_cast<std::size_t>(dice.Below(static_cast<int>(s.players.size())))].id;
    }
    s.bombs.push_back(b);
  }
  return s;
}
