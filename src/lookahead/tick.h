// One simulated tick on a copy of the state: the candidate command goes to
// the self record, every player acts, every bomb ticks (due ones detonate
// with their chains) and the tick counter moves on.
#pragma once

#include "state/command.h"
#include "state/state.h"

// Plays the tick in place on `state`, which the caller has copied.
void PlayTick(State& state, Command command);
