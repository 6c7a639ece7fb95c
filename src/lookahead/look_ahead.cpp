#include "lookahead/look_ahead.h"

#include "lookahead/evaluator.h"
#include "lookahead/tick.h"

int LookAhead::TestCommand(const State& live, Command command, std::ostream& log) {
  if (live.FindPlayer(State::kSelfId) == nullptr) {
    log << "Evaluated: 0,0 : " << Evaluator::kNoRecord << "\n";
    return Evaluator::kNoRecord;
  }
  // Step 1 to 5. Start from the live records, give the command, let players
  // act and bombs tick.
  board_.Reset(live);
  PlayTick(simulator_, command);
  // Step 6 and 7. The dangers of the next ticks, chained.
  dangers_.List(board_);
  dangers_.Chain();
  // Step 8 to 10. Score the self record; players stand still after step 3,
  // so its cell is where the moves left it.
  const Evaluator evaluator{&board_, &dangers_};
  const int score = evaluator.Eval(State::kSelfId);
  for (const Player& self : board_.players) {
    if (self.id == State::kSelfId) {
      log << "Evaluated: " << self.x << "," << self.y << " : " << score << "\n";
      break;
    }
  }
  return score;
}
