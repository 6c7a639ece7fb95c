#include "lookahead/look_ahead.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lookahead/evaluator.h"
#include "lookahead/tick.h"

namespace {

// A line built in place: the log gets it with one write, the same bytes as
// inserting each part with operator<<, at a fraction of the formatting cost.
class Line {
 public:
  Line& operator<<(std::string_view text) {
    size_ += text.copy(chars_.data() + size_, text.size());
    return *this;
  }
  Line& operator<<(int value) {
    // Digits backwards into a scratch buffer; the magnitude is taken unsigned
    // so that INT_MIN has one too.
    std::array<char, 11> digits{};
    std::size_t count = 0;
    std::uint32_t magnitude = static_cast<std::uint32_t>(value);
    if (value < 0) {
      chars_[size_++] = '-';
      magnitude = 0u - magnitude;
    }
    do {
      digits[count++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0)
      chars_[size_++] = digits[--count];
    return *this;
  }
  void WriteTo(std::ostream& out) const {
    out.write(chars_.data(), static_cast<std::streamsize>(size_));
  }

 private:
  std::array<char, 64> chars_{};  // "Evaluated: ", three ints and separators
  std::size_t size_ = 0;
};

}  // namespace

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
      (Line() << "Evaluated: " << self.x << "," << self.y << " : " << score << "\n").WriteTo(log);
      break;
    }
  }
  return score;
}
