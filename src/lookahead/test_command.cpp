#include "lookahead/test_command.h"

#include "lookahead/look_ahead.h"

int TestCommand(const State& live, Command command, std::ostream& log) {
  State counted = live;
  counted.RecountBlocks();
  LookAhead lookAhead;
  return lookAhead.TestCommand(counted, command, log);
}
