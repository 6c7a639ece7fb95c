// Feeding a recorded stream to a reader on the other end of a socket, as a
// server would: the benchmarks' stand-in for the game server's side.
#pragma once

#include <string_view>

// Sends all of `bytes` on the connected `socket`, stopping at the first failure.
void SendAll(int socket, std::string_view bytes);
