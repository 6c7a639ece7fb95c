// The checks the fuzz targets share: a broken invariant aborts with its
// description, so libFuzzer keeps the input.
#pragma once

#include "state/command.h"
#include "state/state.h"
#include "stream_model.h"

void Require(bool holds, const char* what);

// The live state after a block against what the stream model expects of it.
void CheckState(const State& state, const ExpectedBlock& expected);

// The bot's cell (x, y) after `command` from `self`'s cell on `live`: where
// it stood, or the one cell the command moves it to, on the map.
void CheckMove(const State& live, const Player& self, Command command, long long x, long long y);
