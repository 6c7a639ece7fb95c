#include "lookahead/test_command.h"

#include <vector>

#include "lookahead/danger.h"
#include "lookahead/evaluator.h"
#include "lookahead/tick.h"

int TestCommand(const State& live, Command command, std::ostream& log) {
  if (live.FindPlayer(State::kSelfId) == nullptr) {
    log << "Evaluated: 0,0 : " << Evaluator::kNoRecord << "\n";
    return Evaluator::kNoRecord;
  }
  // Step 1 to 5. Copy, give the command, let players act and bombs tick.
  State copy = live;
  PlayTick(copy, command);
  // Step 6 to 8. The dangers of the next ticks, chained, as a map.
  std::vector<Danger> dangers = ListDangers(copy);
  ChainDangers(dangers);
  Evaluator evaluator{&copy, DangerMap(copy, dangers)};
  // Step 9 and 10. Score the self record; players stand still after step 3,
  // so its cell is where the moves left it.
  const int score = evaluator.Eval(State::kSelfId);
  const Player& self = *copy.FindPlayer(State::kSelfId);
  log << "Evaluated: " << self.x << "," << self.y << " : " << score << "\n";
  return score;
}
