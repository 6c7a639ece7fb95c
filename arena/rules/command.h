// What a player asks for in one tick, and the wire words for it.
// Plain enumeration; the server parses client lines into it.
#pragma once

#include <optional>
#include <string_view>

namespace arena {

enum class Command { Stay, Up, Down, Left, Right, Bomb };

// The command a client line names, exactly as sent ("UP" .. "BOMB").
std::optional<Command> ParseCommand(std::string_view line);
// The wire word of a command; empty for Stay, which is never sent.
std::string_view CommandWord(Command c);

}  // namespace arena
