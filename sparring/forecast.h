// The bombs on the board ticking down with nobody dropping more, played out by
// the arena's own rules engine: in which step each cell is blasted (chains
// included) and which cells can be walked onto as each step begins.
#pragma once

#include <vector>

#include "position.h"

namespace sparring {

struct Forecast {
  arena::Board cleared{0, 0, arena::Tile::Wall};  // the map once every bomb has gone off
  int cells = 0;
  int horizon = 0;  // the step in which the last bomb goes off; 0 without bombs
  // Steps count from 1, the next tick; [t * cells + i] for cell index i.
  std::vector<char> open;     // floor without a bomb as step t begins
  std::vector<char> blasted;  // covered by a blast during step t

  bool Open(int t, int i) const { return open[static_cast<std::size_t>(t * cells + i)] != 0; }
  bool Blasted(int t, int i) const { return blasted[static_cast<std::size_t>(t * cells + i)] != 0; }
};

// `extra` are bombs that may yet be dropped: timer kBombTimer for a drop in
// the next step, one more for each step later.
Forecast Foresee(const Position& p, const std::vector<arena::Bomb>& extra = {});

}  // namespace sparring
