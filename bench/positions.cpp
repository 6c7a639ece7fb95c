#include "positions.h"

#include <algorithm>
#include <random>
#include <vector>

namespace {

struct Cell {
  int x, y;
};

}  // namespace

State MakePosition(const PositionShape& shape) {
  std::mt19937 random(shape.seed);
  State s;
  s.SetWidth(shape.width);
  s.SetHeight(shape.height);
  std::vector<Cell> free;
  std::bernoulli_distribution block(shape.blocks);
  for (int y = 0; y < shape.height; ++y) {
    for (int x = 0; x < shape.width; ++x) {
      const bool border = x == 0 || y == 0 || x == shape.width - 1 || y == shape.height - 1;
      State::Tile& tile = s.At(x, y);
      if (border || (x % 2 == 0 && y % 2 == 0)) {
        tile = State::Tile::Wall;
      } else if (block(random)) {
        tile = State::Tile::Block;
      } else {
        free.push_back({x, y});
      }
    }
  }
  s.RecountBlocks();
  std::shuffle(free.begin(), free.end(), random);
  std::size_t next = 0;
  auto take = [&] { return free.empty() ? Cell{1, 1} : free[next++ % free.size()]; };

  s.BeginPlayers();
  for (int id = 0; id + 1 < shape.players; ++id) {
    const Cell c = take();
    s.MergePlayer(id, c.x, c.y);
  }
  s.EndPlayers();
  const Cell self = take();
  s.SetOwnX(self.x);
  s.SetOwnY(self.y);

  s.BeginBombs();
  std::uniform_int_distribution<int> timer(1, 5);
  for (int i = 0; i < shape.bombs; ++i) {
    const Cell c = take();
    s.MergeBomb(c.x, c.y, timer(random));
  }
  s.EndBombs();
  s.EndMap();
  return s;
}

State MakeChain(int bombs) {
  State s;
  s.SetWidth(bombs + 4);
  s.SetHeight(3);
  for (int x = 0; x < s.width; ++x) {
    s.At(x, 0) = State::Tile::Wall;
    s.At(x, 2) = State::Tile::Wall;
  }
  s.BeginPlayers();
  s.EndPlayers();
  s.SetOwnX(bombs + 3);
  s.SetOwnY(1);
  s.BeginBombs();
  for (int i = 0; i < bombs; ++i)
    s.MergeBomb(i, 1, i == 0 ? 1 : 4);
  s.EndBombs();
  s.EndMap();
  return s;
}

std::string StatusBlock(const State& s) {
  std::string out = "PLAYERS\n";
  const Player* self = nullptr;
  for (const Player& p : s.players) {
    if (p.id == State::kSelfId) {
      self = &p;
      continue;
    }
    out += std::to_string(p.id) + " " + std::to_string(p.x) + "," + std::to_string(p.y) + "\n";
  }
  out += "ENDPLAYERS\nBOMBS\n";
  for (const Bomb& b : s.bombs) {
    out += std::to_string(b.x) + "," + std::to_string(b.y) + " " + std::to_string(b.timer) + "\n";
  }
  out += "ENDBOMBS\n";
  if (self != nullptr)
    out += "X " + std::to_string(self->x) + "\nY " + std::to_string(self->y) + "\n";
  out += "WIDTH " + std::to_string(s.width) + "\nHEIGHT " + std::to_string(s.height) + "\nMAP\n";
  static constexpr char kChars[] = {'.', '#', '+'};
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x)
      out += kChars[static_cast<int>(s.At(x, y))];
    out += '\n';
  }
  return out + "ENDMAP\n";
}
