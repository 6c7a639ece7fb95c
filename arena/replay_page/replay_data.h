// The compact form of a recorded game that the replay page plays: each
// round's map once, then per tick only what changed (tiles, moved players)
// plus that tick's bombs, blasts, deaths and chat. Pure function of the
// snapshots; the caller owns the result.
#pragma once

#include <nlohmann/json.hpp>
#include <vector>

#include "view/snapshot.h"

namespace arena {

nlohmann::json ReplayData(const std::vector<Snapshot>& ticks, const std::vector<Standing>& results);

}  // namespace arena
