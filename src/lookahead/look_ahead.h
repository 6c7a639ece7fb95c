// The look-ahead's answer for one candidate command: the score of the bot's
// position one tick after giving it, with its "Evaluated: " line. The Client
// owns one LookAhead for the whole connection; its board, chain stack and
// danger list keep their storage, so a tick allocates nothing once warm.
#pragma once

#include <ostream>

#include "lookahead/board.h"
#include "lookahead/danger.h"
#include "lookahead/simulator.h"
#include "state/command.h"
#include "state/state.h"

class LookAhead {
 public:
  LookAhead() = default;
  // The simulator points into this object.
  LookAhead(const LookAhead&) = delete;
  LookAhead& operator=(const LookAhead&) = delete;

  // Simulates `command` for the self record one tick ahead of `live` and
  // returns the score; `live` is only read, and its block count must be
  // current. Without a self record nothing is simulated: the line reads
  // "Evaluated: 0,0 : -1000000" and the score is that lowest one.
  int TestCommand(const State& live, Command command, std::ostream& log);

 private:
  Board board_;
  Simulator simulator_{&board_};
  DangerList dangers_;
};
