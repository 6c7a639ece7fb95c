// Random game positions for the look-ahead's equivalence test: small maps
// with blocks and walls, players (some sharing cells or on blocks), bombs with
// timers 0 to 6 in chains and under players, now and then coordinates off the
// map or no self record. Built from raw mt19937 output only, so the same seed
// gives the same position with any standard library.
#pragma once

#include <cstdint>

#include "state/state.h"

State RandomPosition(std::uint32_t seed);
