// What the bots were thinking, in the compact form the replay page embeds
// beside the game: per round and seat one string of space-separated tokens,
// one per tick the page shows, each the decision made on that tick's position
// (the log's block whose "Tick:" line is one more). Stateless functions.
#pragma once

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "bot_log/decision_log.h"

namespace arena {

// One seat's log as the page tells of it.
struct SeatDecisions {
  enum class Source { None, Bot, Other, Missing };
  Source source = Source::None;  // None: no log is named for the seat
  std::string path;
  DecisionLog log;
};

// A tick as the page shows it, and the seat's cell then (`placed` false when
// the recording has no such player).
struct SeatTick {
  int tick = 0;
  int x = 0;
  int y = 0;
  bool placed = false;
};

// The tokens for a round whose page ticks are `ticks`: "-" none in the log,
// "?" unknown, "=T" as the previous decision but T microseconds, else
// "x,y,cells,v0,d1,..,d5,chosen,micros[,depth,searched,line,tooBig]": the
// Stay cell, the other five cells as letters a to i ('a' + 3(dx+1) + dy+1
// from the Stay cell) or, when one lies farther, "x.y" pairs joined by '.';
// Stay's value and the others' differences from it (vk = v0 + dk).
// A decision whose Stay cell is not where the recording has the seat belongs
// to some other game: it is shown as unknown and counted in `mismatched`.
std::string EncodeRound(const std::map<int, Decision>& round, const std::vector<SeatTick>& ticks,
                        int& mismatched);

// Adds "seats" (per seat: "", "bot", "other" or "missing") and each round's
// "why" (per seat: its tokens, or null) to the page data of ReplayData.
// Returns, per seat, how many decisions disagreed with the recording.
std::vector<int> AddDecisions(nlohmann::json& data, const std::vector<SeatDecisions>& seats);

}  // namespace arena
