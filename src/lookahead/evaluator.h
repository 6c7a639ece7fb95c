// Position evaluation: one hand-weighted score of a simulated state seen from
// one player, with the danger map the command simulation built. Evaluator
// points at that state and owns the map; Eval changes and allocates nothing.
#pragma once

#include <vector>

#include "state/state.h"

class Evaluator {
 public:
  // The score of a player without a record: lower than any real position.
  static constexpr int kNoRecord = -1000000;

  // Danger map value for a cell where no blast is expected.
  static constexpr int kNoDanger = 7;

  // Score of the position of the first player record with `id`.
  int Eval(int id) const;

  const State* state = nullptr;
  // One entry per cell, row-major like tiles: ticks until a blast is
  // expected there, kNoDanger for none, negative for a blast this tick.
  std::vector<int> danger;
};
