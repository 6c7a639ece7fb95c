// What a bot said it was thinking, read back from its log (the bot's standard
// output): per round and per tick, the six candidates' cells and values, the
// choice, the decision's time and, with the search, its depth and planned
// line. The reader trusts nothing: a tick whose lines do not parse, or come
// out of order, is kept as unknown rather than guessed at, and the log's
// faults are counted for one line of report. Plain values, no I/O but the
// stream handed in.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <map>
#include <string>
#include <vector>

namespace arena {

struct Candidate {
  int x = 0;  // the bot's cell after the command
  int y = 0;
  int value = 0;  // the bot scores in ints: a wider number does not parse
};

struct Decision {
  bool known = false;                   // false: the tick's lines do not parse
  std::array<Candidate, 6> candidates;  // Stay, Up, Down, Left, Right, DropBomb
  int chosen = 0;
  std::int64_t micros = 0;
  bool searched = false;  // the rest only with the search
  int depth = 0;
  std::int64_t searchedTicks = 0;
  std::vector<int> line;  // the planned commands, first first
  bool tooBig = false;    // the map was too big: it looked one tick ahead
};

struct DecisionLog {
  bool botFormat = false;  // false: some other program's output
  // rounds[r] holds round r + 1, by the number of its "Tick:" line.
  std::vector<std::map<int, Decision>> rounds;
  bool cutShort = false;  // it ends in the middle of a tick
  int outOfOrder = 0;     // ticks whose lines came out of order
  int unparsed = 0;       // ticks with lines that do not parse

  // The faults in one line, empty when there are none.
  std::string Faults() const;
};

DecisionLog ReadDecisionLog(std::istream& in);

}  // namespace arena
