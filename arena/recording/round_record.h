// What each seat did in one finished round, as the arena's --results file
// and the tournament's results file store it: one JSON object a line. Plain
// values; RoundTracker builds them from the snapshots a match shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "view/snapshot.h"

namespace arena {

struct SeatResult {
  std::string name;
  std::string command;           // empty unless the arena spawned it
  std::string end = "survived";  // or "suicide", "killed", "left"
  int tick = -1;                 // of the death or the leaving
  int killer = -1;               // seat whose bomb killed it
  int kills = 0;
  int commands = 0;
  int disconnects = 0;
  std::optional<int> exit;    // once a spawned program has ended by itself
  std::optional<int> signal;  // or was ended by a signal
  friend bool operator==(const SeatResult&, const SeatResult&) = default;
};

struct RoundOutcome {
  int round = 1;
  std::uint64_t seed = 0;
  std::vector<SeatResult> seats;
  friend bool operator==(const RoundOutcome&, const RoundOutcome&) = default;
};

nlohmann::json ToJson(const RoundOutcome& r);
// One JSON line, newline excluded; client text cut inside a UTF-8 sequence
// is replaced rather than lost to an exception.
std::string JsonLine(const nlohmann::json& j);
// Throws nlohmann::json::exception on a missing or mistyped field.
RoundOutcome RoundOutcomeFromJson(const nlohmann::json& j);

// Follows a match through the snapshots it shows and hands out each round's
// result once, when the round is over. Call See with every snapshot and the
// standings as they are at that moment.
class RoundTracker {
 public:
  explicit RoundTracker(std::uint64_t seed) : seed_(seed) {}
  std::optional<RoundOutcome> See(const Snapshot& s, const std::vector<Standing>& standings);

 private:
  std::uint64_t seed_;
  int round_ = 0;  // the round being followed
  bool reported_ = false;
  std::vector<Standing> atStart_;
  std::vector<SeatResult> seats_;
};

}  // namespace arena
