// The six commands a player can give in one tick. The numbering is also the
// order in which the turn loop tries them. The wire texts live with the line
// transport (Network::WireText); the state only records who does what.
#pragma once

#include <cstdint>

enum class Command : std::int32_t {
  Stay = 0,
  Up = 1,
  Down = 2,
  Left = 3,
  Right = 4,
  DropBomb = 5,
};
