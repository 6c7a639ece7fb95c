// The blast model of the look-ahead: what a blast does to one cell, and how a
// detonating bomb spreads along its four arms and sets off other bombs.
// Simulator points at a simulated copy of the state and writes all effects
// into it; it owns nothing and allocates nothing, however long the chain.
#pragma once

#include "state/state.h"

class Simulator {
 public:
  // The blast reaches (x, y): destroys a block, hits the first player record
  // on the cell and detonates the first live bomb there. Returns true when the
  // arm that brought the blast stops at this cell.
  bool Blast(int x, int y);

  // Sets `bomb` off: timer -1, then the arms up, down, left, right at
  // distances 0 to 2. Chained bombs run depth-first, exactly as recursion
  // would, but without using the call stack. `bomb` must be an element of
  // state->bombs.
  void Detonate(Bomb& bomb);

  State* state = nullptr;

 private:
  // Tile and player effects of a blast on (x, y). Returns true when the arm
  // stops here; otherwise sets `bomb` to the first live bomb on the cell, or
  // to nullptr.
  bool Hit(int x, int y, Bomb*& bomb);
};
