// The keys the keyboard seat understands, decoded from the bytes a terminal
// sends in character-at-a-time mode: arrows (ESC [ A .. D, or ESC O A .. D),
// WASD, space and q. Pure functions; the caller keeps the undecoded bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace arena {

enum class Key { Up, Down, Left, Right, Bomb, Quit };

// Decodes and removes every complete key at the front of `typed`; an escape
// sequence cut off at the end stays for the next read, other bytes are dropped.
std::vector<Key> TakeKeys(std::string& typed);

// The line a client would send for the key ("UP\n" .. "BOMB\n", the wire
// words of the rules' commands); empty for Quit.
std::string KeyLine(Key key);

}  // namespace arena
