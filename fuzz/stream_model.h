// What a server stream must do to the status reader, worked out from its
// bytes alone: the blocks it yields and, per block, the facts the reader's
// merge rules promise. The reader fuzz target compares the real reader to it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ExpectedBlock {
  int tick = 0;
  std::string log;            // the "DEAD" and "ENDOFROUND" lines read for this block
  bool playersKnown = false;  // a players section since the start or the last round end
  bool selfListed = false;    // the latest players section itself listed id -1
  int selfX = 0;
  int selfY = 0;
  int width = 0;
  int height = 0;
  // Whether the next block is whole, through its ENDMAP line, with no
  // DISCONNECT line before and within the read-ahead: the search skips this one.
  bool newerWaiting = false;
};

struct ExpectedStream {
  std::vector<ExpectedBlock> blocks;  // in order, each one a ReadStatus that returns true
  std::string endLog;                 // echoed by the call after them, which returns false
};

ExpectedStream Expect(std::string_view stream);
