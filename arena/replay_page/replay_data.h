// The compact form of a recorded game that the replay page plays: each
// round's map once, then per tick only what changed (tiles, moved players)
// plus that tick's bombs, blasts, deaths and chat. Built a tick at a time,
// holding only the previous snapshot, so a recording need not fit in memory;
// Add every tick in order, then Finish once.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "view/snapshot.h"

namespace arena {

class ReplayData {
 public:
  void Add(const Snapshot& s);
  int Ticks() const { return ticks_; }
  nlohmann::json Finish();

 private:
  nlohmann::json rounds_ = nlohmann::json::array();
  std::optional<Snapshot> previous_;
  int ticks_ = 0;
};

}  // namespace arena
