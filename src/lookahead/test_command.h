// The look-ahead's answer for one candidate command: the score of the bot's
// position one tick after giving it. Works on a copy of the live state and
// writes exactly one "Evaluated: " line; needs no connection.
#pragma once

#include <ostream>

#include "state/command.h"
#include "state/state.h"

// Simulates `command` for the self record on a copy of `live` and returns the
// score. Without a self record nothing is simulated: the line reads
// "Evaluated: 0,0 : -1000000" and the score is that lowest one.
int TestCommand(const State& live, Command command, std::ostream& log);
