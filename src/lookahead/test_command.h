// A one-off look-ahead for callers without a LookAhead of their own (tests,
// fuzzers): the score of one candidate command with its "Evaluated: " line.
// It copies the state and counts its blocks, so it allocates and reads the
// whole map on every call; the turn loop uses a LookAhead instead.
#pragma once

#include <ostream>

#include "state/command.h"
#include "state/state.h"

// As LookAhead::TestCommand, for a `live` whose block count may be stale.
int TestCommand(const State& live, Command command, std::ostream& log);
