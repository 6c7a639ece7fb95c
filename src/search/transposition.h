// Values of searched positions, so that a position reached again by another
// order of moves is not searched again. A fixed table sized once, always
// replacing; a new decision makes every old entry stale in O(1).
#pragma once

#include <cstdint>
#include <vector>

#include "lookahead/board.h"

// The hash of what a searched position holds that its future depends on:
// players, live bombs, destroyed blocks, and where in the line it is.
std::uint64_t PositionKey(const Board& board, int ply, int depthLeft);

class TranspositionTable {
 public:
  explicit TranspositionTable(int log2Entries);

  void NewDecision();
  bool Probe(std::uint64_t key, int& value) const;
  void Store(std::uint64_t key, int value);

 private:
  struct Entry {
    std::uint64_t key = 0;
    int value = 0;
    std::uint32_t decision = 0;  // current when equal to decision_
  };

  std::vector<Entry> entries_;
  std::uint64_t mask_;
  std::uint32_t decision_ = 1;
};
