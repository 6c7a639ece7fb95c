// The blast model: what a blast does to one cell, and how a bomb's arms spread
// and set off other bombs, written into a simulated copy of the state. Build it
// once the bombs list is final, so Blast and Detonate allocate nothing.
#pragma once

#include <cstddef>
#include <vector>

#include "state/state.h"

class Simulator {
 public:
  // Bombs may change their timers afterwards but not their cells.
  explicit Simulator(State* state);

  // The blast reaches (x, y): destroys a block, hits the first player record
  // on the cell and detonates the first live bomb there. Returns true when the
  // arm that brought the blast stops at this cell.
  bool Blast(int x, int y);

  // Sets `bomb` off: timer -1, then the arms up, down, left, right at
  // distances 0 to 2. Chained bombs run depth-first, exactly as recursion
  // would, but on an explicit stack. `bomb` must be an element of state->bombs.
  void Detonate(Bomb& bomb);

  State* const state;

 private:
  struct Entry {
    std::size_t cell;
    std::size_t bomb;
    auto operator<=>(const Entry&) const = default;
  };
  struct Frame {
    std::size_t bomb;
    int arm;
    int distance;
  };

  // Indexes the bombs by cell and sizes the chain stack for the whole list.
  void Index();
  // Indexes again if bombs were added or the map was resized since.
  void Refresh();

  // The first live bomb in list order on the (on-map) cell, or nullptr.
  Bomb* LiveBombOn(int x, int y);

  // Tile and player effects of a blast on (x, y). Returns true when the arm
  // stops here; otherwise sets `bomb` to the first live bomb on the cell, or
  // to nullptr.
  bool Hit(int x, int y, Bomb*& bomb);

  // On-map bombs sorted by cell, then list order: a cell's bombs in one run.
  std::vector<Entry> byCell_;
  std::size_t indexedBombs_ = 0;
  int indexedWidth_ = 0;
  int indexedHeight_ = 0;
  // Bombs whose arms wait for a chained bomb; never deeper than the list.
  std::vector<Frame> frames_;
};
