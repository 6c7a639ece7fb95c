// A listening socket for test servers, on the bot's fixed port at one
// loopback address, so that tests never reach past this machine.
#pragma once

#include <string>

// Listens on `address` (127.x.y.z only), port 54321; throws when it cannot.
int ListenOnLoopback(const std::string& address);
