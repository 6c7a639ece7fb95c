// Position evaluation: one hand-weighted score of a candidate's simulated
// Board seen from one player, with the dangers the command simulation listed
// and chained. Evaluator points at both; Eval changes and allocates nothing.
#pragma once

#include "lookahead/board.h"
#include "lookahead/danger.h"

class Evaluator {
 public:
  // The score of a player without a record: lower than any real position.
  static constexpr int kNoRecord = -1000000;

  // Score of the position of the first player record with `id`.
  int Eval(int id) const;

  const Board* board = nullptr;
  const DangerList* dangers = nullptr;
};
