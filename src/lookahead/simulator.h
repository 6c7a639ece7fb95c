// The blast model: what a blast does to one cell, and how a bomb's arms spread
// and set off other bombs, written into the Board of one candidate command.
// The look-ahead owns one Simulator for its Board; the chain stack it keeps
// is reused from candidate to candidate, so a blast allocates nothing.
#pragma once

#include <cstddef>
#include <vector>

#include "lookahead/board.h"

class Simulator {
 public:
  // Sizes the chain stack for the board's bombs; Detonate grows it if a
  // later candidate has more.
  explicit Simulator(Board* board) : board(board) { frames_.reserve(board->bombs.size()); }

  // Room for chains of up to `bombs` bombs, so that none of them allocates.
  void Reserve(std::size_t bombs) { frames_.reserve(bombs); }

  // The blast reaches (x, y): destroys a block, hits the first player record
  // on the cell and detonates the first live bomb there. Returns true when the
  // arm that brought the blast stops at this cell.
  bool Blast(int x, int y);

  // Sets `bomb` off: timer -1, then the arms up, down, left, right at
  // distances 0 to 2. Chained bombs run depth-first, exactly as recursion
  // would, but on an explicit stack. `bomb` must be an element of board->bombs.
  void Detonate(Bomb& bomb);

  Board* const board;

 private:
  struct Frame {
    std::size_t bomb;
    int arm;
    int distance;
  };

  // Tile and player effects of a blast on (x, y). Returns true when the arm
  // stops here; otherwise sets `bomb` to the first live bomb on the cell, or
  // to nullptr.
  bool Hit(int x, int y, Bomb*& bomb);

  // Bombs whose arms wait for a chained bomb; never deeper than the list.
  std::vector<Frame> frames_;
};
