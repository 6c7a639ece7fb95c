// One tick's position in the rules engine's terms. The arena does not say who
// dropped a bomb, so an OwnerBook remembers it from tick to tick.
#pragma once

#include <string>
#include <vector>

#include "rules/board.h"
#include "rules/round.h"
#include "status.h"

namespace sparring {

inline constexpr int kUs = 0;  // our index among a position's players
inline constexpr int kNobody = -1;

struct Position {
  arena::Board board;
  std::vector<arena::Cell> players;  // [kUs] is us, then the others as listed
  std::vector<arena::Bomb> bombs;    // owner: an index into players, or kNobody

  int Cells() const { return board.Width() * board.Height(); }
  int Index(arena::Cell c) const { return c.y * board.Width() + c.x; }
  bool Armed(int player) const;
  bool HasBomb(arena::Cell c) const;
  // A cell a player may step onto now: floor, no bomb, nobody on it.
  bool Enterable(arena::Cell c) const;
};

// The map that rows of text draw: floor and blocks as they stand, anything
// else, and anything the rows leave out, wall.
arena::Board BoardFromRows(const std::vector<std::string>& rows, int width, int height);

// A living player, by the arena's id.
struct Seat {
  int id;
  arena::Cell at;
};

// The position as the player `self` sees it: it first, the others in the
// order given; `bombs` come owned by ids and leave owned by indexes into the
// players (kNobody for an id not among them).
Position Facing(arena::Board board, int self, const std::vector<Seat>& living,
                std::vector<arena::Bomb> bombs);

class OwnerBook {
 public:
  Position Observe(const Status& status);
  void Clear() { owners_.clear(); }

 private:
  static constexpr int kSelfId = -1;  // the arena numbers players from 0
  static constexpr int kUnknown = -2;
  struct Owner {
    arena::Cell at;
    int id = kUnknown;
  };
  std::vector<Owner> owners_;
};

inline constexpr arena::Cell kSteps[] = {{0, 0}, {0, -1}, {0, 1}, {-1, 0}, {1, 0}};

// The cell a command aims at: the four moves, and our own cell for the rest.
inline arena::Cell Target(arena::Cell from, arena::Command c) {
  const int i = c == arena::Command::Bomb ? 0 : static_cast<int>(c);
  return {from.x + kSteps[i].x, from.y + kSteps[i].y};
}

}  // namespace sparring
