// The fixed chat lines the bot says when it stays put, and the one counter
// that paces the idle ones. Owned by the Client; the turn loop alone reads and
// writes lastTick.
#pragma once

#include <string>
#include <vector>

struct Insulter {
  Insulter();

  int lastTick = 0;  // tick of the last idle line; 0, so the first may come at tick 20
  std::vector<std::string> idleLines;
  std::vector<std::string> doomLines;
};
