// What the search already knows of positions it has met, so that a position
// reached again by another order of moves is not worked out again. Fixed
// tables sized once, always replacing; a new decision makes every old entry
// stale in O(1).
#pragma once

#include <cstdint>
#include <vector>

#include "lookahead/board.h"

// The hash of what a position holds that its future depends on: players,
// live bombs and destroyed blocks.
std::uint64_t BoardKey(const Board& board);
// The same position at `ply` of a line with `depthLeft` ticks still to search.
std::uint64_t PositionKey(std::uint64_t boardKey, int ply, int depthLeft);

template <typename Value>
class KeyedTable {
 public:
  explicit KeyedTable(int log2Entries)
      : entries_(std::size_t{1} << log2Entries), mask_((std::uint64_t{1} << log2Entries) - 1) {}

  void NewDecision() {
    if (++decision_ == 0) {
      // After 2^32 decisions old stamps could match again: wipe them once.
      for (Entry& e : entries_) {
        e.decision = 0;
      }
      decision_ = 1;
    }
  }

  bool Probe(std::uint64_t key, Value& value) const {
    const Entry& e = entries_[key & mask_];
    if (e.decision != decision_ || e.key != key) {
      return false;
    }
    value = e.value;
    return true;
  }

  void Store(std::uint64_t key, const Value& value) {
    entries_[key & mask_] = {key, value, decision_};
  }

 private:
  struct Entry {
    std::uint64_t key = 0;
    Value value{};
    std::uint32_t decision = 0;  // current when equal to decision_
  };

  std::vector<Entry> entries_;
  std::uint64_t mask_;
  std::uint32_t decision_ = 1;
};

// The values of the lines searched from positions.
using TranspositionTable = KeyedTable<int>;
