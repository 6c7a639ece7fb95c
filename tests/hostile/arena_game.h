// A short headless arena game on 127.0.2.x for the hostile-client tests: the
// real marrowlark-arena with three seats, two well-behaved clients that stay
// put and log what they get, and one seat left to the test's hostile client.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "hostile_server.h"

// What a well-behaved client saw: every block, round end and the goodbye.
struct CalmLog {
  int blocks = 0;
  int rounds = 0;
  bool goodbye = false;                      // "DISCONNECT", then the arena closed
  std::chrono::milliseconds longestWait{0};  // between one block and the next
};

struct ArenaRun {
  int status = -1000;
  bool timedOut = false;
  std::string out;
  std::vector<CalmLog> calm;
};

struct HostileClient {
  int receiveBuffer = 0;  // bytes; 0 keeps the system's size
  HostileServer::Script script;
  // After the script: neither read nor close until the calm clients are done.
  bool holdToTheEnd = false;
};

// Plays `rounds` x `maxTicks` ticks of `tickMs` on 127.0.2.`host`.
ArenaRun PlayArena(int host, const HostileClient& hostile,
                   const std::vector<std::string>& arguments);

// The hostile seat's row of the results table: its name and the seven
// numbers (won, kills, deaths, suicides, commands, ignored, disconnects).
struct Results {
  std::string name;
  std::vector<int> numbers;
};
Results HostileResults(const std::string& out);
