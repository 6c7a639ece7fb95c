// One simulated tick on a candidate's Board: the candidate command goes to
// the self record, every player acts, every bomb ticks (due ones detonate
// with their chains) and the tick counter moves on.
#pragma once

#include "lookahead/simulator.h"
#include "state/command.h"

// Plays the tick in place on `simulator.board`, freshly reset from the live state.
void PlayTick(Simulator& simulator, Command command);
