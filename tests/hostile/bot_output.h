// The bot's output and its bytes on the wire as the rules allow them, checked
// over a whole run: the start-up and teardown lines around ticks of six
// "Evaluated: " lines, the search's "Search: " line when it is on, "Best: ",
// "Time: " and "Tick: "; the name line, then only commands and the taunt texts.
#pragma once

#include <string>
#include <vector>

struct BotOutput {
  std::string fault;                   // empty when every line is one the rules give
  std::vector<int> ticks;              // the numbers of the "Tick: " lines, in order
  std::vector<std::string> positions;  // the six "Evaluated: " cells of each tick, joined
  std::vector<long> micros;            // the "Time: " of each tick
  std::vector<std::string> searches;   // the "Search: " line of each tick, or ""
  int searchLines = 0;                 // ticks with a "Search: " line
};

BotOutput ReadOutput(const std::string& out);

// Empty when `sent` is the name line followed by whole command and taunt lines.
std::string SentFault(const std::string& sent);
