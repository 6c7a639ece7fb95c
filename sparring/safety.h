// How safe each of our six commands is, in levels: every later level also
// holds the earlier ones, and a player takes the highest level it can get.
#pragma once

#include <array>

#include "position.h"

namespace sparring {

enum Level : int {
  kPointless = -1,         // a move into a closed cell, or a bomb while ours still ticks
  kDoomed = 0,             // no way to outlive the bombs already ticking
  kCornered = 1,           // a way out, if the others stand still
  kEscapes = 2,            // a way out on cells we reach before anyone else could
  kSafeFromDrops = 3,      // ... also when a player near us drops a bomb now
  kSafeFromNextDrops = 4,  // ... or after a step (three for our bomb) on a cell it walks to
  // ... and with a tick to spare: an answer that reaches the server a tick
  // late (a busy machine) still leaves us a way out.
  kUnhurried = 5,
};

using Levels = std::array<int, 6>;  // indexed by arena::Command

Levels Assess(const Position& p);

// The bomb we would drop now, as Foresee takes it.
arena::Bomb OurDrop(const Position& p);

}  // namespace sparring
