// What one tick of a match looked like: the unit the view draws and the
// recording stores, one per tick (tick 0 is the round's start). Plain values,
// built by the Match and owned by whoever holds them.
#pragma once

#include <string>
#include <vector>

namespace arena {

struct SnapshotPlayer {
  int id = 0;
  std::string name;
  int x = 0;
  int y = 0;
  bool alive = true;
  int wins = 0;         // rounds won so far, this one excluded until it ends
  std::string command;  // the wire word it played this tick, empty for none
  friend bool operator==(const SnapshotPlayer&, const SnapshotPlayer&) = default;
};

struct SnapshotBomb {
  int owner = 0;
  int x = 0;
  int y = 0;
  int timer = 0;
  friend bool operator==(const SnapshotBomb&, const SnapshotBomb&) = default;
};

struct SnapshotDeath {
  int victim = 0;
  int killer = 0;  // owner of the bomb; the victim itself for a suicide
  friend bool operator==(const SnapshotDeath&, const SnapshotDeath&) = default;
};

struct SnapshotChat {
  int id = 0;
  std::string text;
  friend bool operator==(const SnapshotChat&, const SnapshotChat&) = default;
};

struct SnapshotCell {
  int x = 0;
  int y = 0;
  friend bool operator==(const SnapshotCell&, const SnapshotCell&) = default;
};

struct Snapshot {
  int round = 1;  // counted from 1
  int rounds = 1;
  int tick = 0;
  std::vector<std::string> rows;
  std::vector<SnapshotPlayer> players;  // every seat, dead or gone included
  std::vector<SnapshotBomb> bombs;
  std::vector<SnapshotCell> blasts;
  std::vector<SnapshotDeath> deaths;
  std::vector<SnapshotChat> chat;  // lines said since the previous snapshot
  bool roundOver = false;
  int winner = -1;  // id of the round's winner once it is over, -1 for none
  friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

// One row of the results table.
struct Standing {
  std::string name;
  int wins = 0;
  int kills = 0;
  int deaths = 0;
  int suicides = 0;
  int commands = 0;
  int ignored = 0;
  int disconnects = 0;
  friend bool operator==(const Standing&, const Standing&) = default;
};

}  // namespace arena
