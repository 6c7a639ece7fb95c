// What one line from a client means to the arena: in the lobby, a name; in
// a running match, a command, a chat line or one more ignored line. The
// server and the arena fuzzer share this, so both play by the same reading.
#pragma once

#include <optional>
#include <string_view>

#include "server/connection.h"
#include "server/match.h"

namespace arena {

// The name a client's first line gives, if it is a "NAME " line.
std::optional<std::string_view> NameIn(const Line& line);

// Applies a seated client's line to the match.
void PlayLine(Match& match, int seat, const Line& line);

}  // namespace arena
