// The danger map of the look-ahead: after the simulated tick, where and in
// how many ticks blasts are expected, from the bombs that remain and from the
// bomb every opponent without one could drop now.
#pragma once

#include <vector>

#include "state/state.h"

// One expected blast centre.
struct Danger {
  int x = 0;
  int y = 0;
  int time = 0;  // ticks until the blast; negative: it went off this tick

  bool operator==(const Danger&) const = default;
};

// Every bomb (gone ones too) in list order, then every opponent that owns no
// live bomb, dead or alive, as a bomb it could drop now.
std::vector<Danger> ListDangers(const State& state);

// Dangers within blast reach of each other take the earliest time among them.
void ChainDangers(std::vector<Danger>& dangers);

// One entry per cell of `state`, row-major: the time of the last danger in
// list order whose cross covers the cell, or Evaluator::kNoDanger.
std::vector<int> DangerMap(const State& state, const std::vector<Danger>& dangers);
