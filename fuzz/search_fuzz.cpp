// Fuzz target: arbitrary bytes as the server's stream, from memory through
// the line transport and the status reader into the search's turn loop. A
// block is decided unless a whole newer one has already arrived, which must
// agree with the stream model; each decision must leave the live state as it
// was and give every command a value and the bot's cell after its tick.
#include <array>
#include <chrono>
#include <cstdint>
#include <sstream>
#include <string_view>

#include "block_checks.h"
#include "lookahead/evaluator.h"
#include "protocol/network.h"
#include "protocol/reader.h"
#include "search/search.h"
#include "stream_model.h"

namespace {

// Under the fuzzing instrumentation a decision's first depth, which always
// completes, costs far more than its budget, so that cost is what is capped:
// one decision an input, on a position of at most about a thousand cells,
// where each player or bomb counts as 64. The budget still leaves small
// positions time to search a few ticks deep.
constexpr std::chrono::microseconds kBudget{50};
constexpr int kDecisionsPerInput = 1;
constexpr std::int64_t kCostPerInput = 1024;
constexpr std::int64_t kCostPerRecord = 64;

constexpr std::array kCommands = {Command::Stay, Command::Up,    Command::Down,
                                  Command::Left, Command::Right, Command::DropBomb};

void CheckDecision(Search& search, const State& live) {
  const State before = live;
  const Search::Decision& decision = search.Decide(live);
  Require(live == before, "the search leaves the live state unchanged");
  Require(decision.depth >= 0 && decision.depth <= Search::kMaxDepth,
          "the search looks no deeper than its limit");
  const Player* self = live.FindPlayer(State::kSelfId);
  if (self == nullptr) {
    for (const int value : decision.values)
      Require(value == Evaluator::kNoRecord, "without a self record every command is the worst");
    return;
  }
  if (decision.tooBig) {
    Require(decision.depth == 0, "a position too big to search is not searched");
    return;
  }
  Require(decision.depth >= 1 && decision.ticks >= 1, "the first depth always completes");
  std::size_t best = 0;
  for (std::size_t i = 0; i < kCommands.size(); ++i) {
    Require(decision.values[i] >= Search::kDeath, "no line is worth less than a death now");
    CheckMove(live, *self, kCommands[i], decision.x[i], decision.y[i]);
    best = decision.values[i] > decision.values[best] ? i : best;
  }
  Require(decision.lineLength >= 0 && decision.lineLength <= decision.depth,
          "the planned line is no longer than the search looked");
  Require(decision.lineLength == 0 || decision.line[0] == kCommands[best],
          "the planned line starts with the chosen command");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Made once, as the Client makes it once for a connection: its table of
  // searched positions alone is 4 MiB.
  static Search search(kBudget);
  const std::string_view stream(reinterpret_cast<const char*>(data), size);
  const ExpectedStream expected = Expect(stream);

  std::ostringstream log;
  Network network(stream, log);
  State state;
  Reader reader(&network, &state, log);
  int decisions = kDecisionsPerInput;
  std::int64_t cost = kCostPerInput;
  for (const ExpectedBlock& block : expected.blocks) {
    Require(reader.ReadStatus(), "a block where the stream has one");
    Require(log.str() == block.log, "only DEAD and ENDOFROUND are echoed, as read");
    log.str("");
    CheckState(state, block);
    Require(reader.NewerBlockWaiting() == block.newerWaiting,
            "a block is skipped just when a whole newer one has arrived");
    if (block.newerWaiting)
      continue;
    cost -= static_cast<std::int64_t>(state.tiles.size()) +
            kCostPerRecord * static_cast<std::int64_t>(state.players.size() + state.bombs.size());
    if (cost >= 0 && decisions-- > 0)
      CheckDecision(search, state);
  }
  Require(!reader.ReadStatus(), "the end of the stream ends reading");
  Require(log.str() == expected.endLog, "DEAD and ENDOFROUND after the last block are echoed");
  return 0;
}
