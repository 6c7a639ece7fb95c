// The JSON form of snapshots and standings, one object per tick, shared by
// the recorder that writes a game and the replay that reads it back.
#pragma once

#include <nlohmann/json.hpp>

#include "view/snapshot.h"

namespace arena {

nlohmann::json ToJson(const Snapshot& s);
nlohmann::json ToJson(const std::vector<Standing>& standings);
// Both throw nlohmann::json::exception on a missing or mistyped field.
Snapshot SnapshotFromJson(const nlohmann::json& j);
std::vector<Standing> StandingsFromJson(const nlohmann::json& j);

}  // namespace arena
