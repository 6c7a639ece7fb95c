// Generated game positions and status streams for the benchmarks: classic
// maps with walls on a grid, random blocks, players and bombs, and long rows
// of chained bombs. Deterministic for a seed.
#pragma once

#include <string>

#include "state/state.h"

struct PositionShape {
  int width = 15;
  int height = 13;
  int players = 4;  // the bot included
  int bombs = 4;
  unsigned seed = 1;
  double blocks = 0.5;  // share of the free cells holding a block
};

// Walls on the border and where x and y are both even, blocks on a share of
// the rest; players and bombs on free cells, bombs with timers 1 to 5.
State MakePosition(const PositionShape& shape);

// One open row holding `bombs` adjacent bombs, the first due now: the whole
// row goes off in one chain. The bot stands just past its end.
State MakeChain(int bombs);

// The status block a server would send for `state` (the bot's own record
// is the one with id -1 and comes out as the "X " and "Y " lines).
std::string StatusBlock(const State& state);
