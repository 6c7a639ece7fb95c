// Measures of the map the styles weigh their moves by.
#pragma once

#include <vector>

#include "position.h"

namespace sparring {

// Cells within `radius` steps of `from` that we would reach before any rival,
// having spent one step getting to `from`; `rivals` as Arrivals gives them.
int Room(const Position& p, arena::Cell from, const std::vector<int>& rivals, int radius);

// Blocks a bomb on `at` would break: the first one on each arm within reach.
int BlocksBroken(const Position& p, arena::Cell at);

// Steps from each cell to a cell in `goals`, over the cells enterable now.
std::vector<int> StepsTo(const Position& p, const std::vector<int>& goals);

// The cost of walking from each cell to the nearest other player, breaking
// blocks on the way (a block costs as much as the wait for a bomb to clear it).
std::vector<int> CostToOthers(const Position& p);

}  // namespace sparring
