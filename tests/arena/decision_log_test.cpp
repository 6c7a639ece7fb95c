// The bot's log read back: what each tick decided, and what a damaged log
// leaves unknown rather than wrong.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "bot_log/decision_log.h"

namespace {

// One tick's block as the bot writes it, the Stay cell at (x, 1).
std::string Block(int tick, int x, const std::string& search = "") {
  std::string text;
  for (int i = 0; i < 6; ++i) {
    text += "Evaluated: " + std::to_string(x) + ",1 : " + std::to_string(10 * i - tick) + "\n";
  }
  if (!search.empty()) {
    text += "Search: " + search + "\n";
  }
  return text + "Best: 5 : 50\nTime: 41\nTick: " + std::to_string(tick) + "\n";
}

arena::DecisionLog Read(const std::string& text) {
  std::istringstream in(text);
  return arena::ReadDecisionLog(in);
}

const std::string kStart = "Networking started\nConnection created\nClient created\n";

TEST(DecisionLog, ReadsRoundsTicksAndBothSearchLines) {
  const arena::DecisionLog log = Read(
      kStart + Block(1, 2) + Block(3, 3, "depth 14, 21337 ticks") + "DEAD\nENDOFROUND\n" +
      Block(1, 4, "depth 2, 9 ticks, line UP UP BOMB, too big to search: one-tick look-ahead") +
      "Connection closed\nNetworking stopped\nClient destroyed\n");
  ASSERT_TRUE(log.botFormat);
  EXPECT_EQ(log.Faults(), "");
  ASSERT_EQ(log.rounds.size(), 2u);
  EXPECT_EQ(log.rounds[0].size(), 2u);  // tick 2 was skipped
  const arena::Decision& first = log.rounds[0].at(1);
  EXPECT_TRUE(first.known);
  EXPECT_EQ(first.candidates[4].value, 39);
  EXPECT_EQ(first.candidates[4].x, 2);
  EXPECT_EQ(first.chosen, 5);
  EXPECT_EQ(first.micros, 41);
  EXPECT_FALSE(first.searched);
  const arena::Decision& deep = log.rounds[0].at(3);
  EXPECT_EQ(std::make_tuple(deep.depth, deep.searchedTicks, deep.tooBig),
            std::make_tuple(14, std::int64_t{21337}, false));
  EXPECT_TRUE(deep.line.empty());
  const arena::Decision& next = log.rounds[1].at(1);
  EXPECT_EQ(next.line, (std::vector<int>{1, 1, 5}));
  EXPECT_TRUE(next.tooBig);
}

// Each damage: the fault it is reported as, and which ticks stay known.
TEST(DecisionLog, DamageIsReportedAndItsTicksAreUnknown) {
  const std::string two = Block(2, 3);
  const std::string cutInTick = two.substr(0, two.find("Best"));
  const std::string cutInLine = Block(2, 3).substr(0, Block(2, 3).size() - 2);  // "Tick: " only
  struct Case {
    std::string name;
    std::string text;
    std::string faults;
    std::vector<bool> known;  // of ticks 1, 2 and 3 of round 1, absent counting as false
  };
  const std::vector<Case> cases = {
      {"cut in the middle of a tick",
       kStart + Block(1, 2) + cutInTick,
       "cut short in the middle of a tick",
       {true, false, false}},
      {"cut in the middle of a line",
       kStart + Block(1, 2) + cutInLine,
       "cut short in the middle of a tick",
       {true, false, false}},
      {"best before the candidates",
       kStart + "Best: 1 : 3\n" + Block(1, 2) + Block(2, 2),
       "1 ticks with lines out of order",
       {false, true, false}},
      {"a tick told twice",
       kStart + Block(1, 2) + Block(2, 2) + Block(2, 2) + Block(3, 2),
       "1 ticks with lines out of order",
       {true, false, true}},
      {"a value that is no number",
       kStart + Block(1, 2) + "Evaluated: 1,1 : lots\n" +
           Block(2, 2).substr(Block(2, 2).find('\n') + 1) + Block(3, 2),
       "1 ticks whose lines do not parse",
       {true, false, true}},
      {"a command the search cannot plan",
       kStart + Block(1, 2, "depth 3, 9 ticks, line JUMP"),
       "1 ticks whose lines do not parse",
       {false, false, false}},
  };
  for (const Case& c : cases) {
    const arena::DecisionLog log = Read(c.text);
    EXPECT_EQ(log.Faults(), c.faults) << c.name;
    for (int tick = 1; tick <= 3; ++tick) {
      const bool known =
          !log.rounds.empty() && log.rounds[0].count(tick) > 0 && log.rounds[0].at(tick).known;
      EXPECT_EQ(known, c.known[static_cast<std::size_t>(tick - 1)]) << c.name << " tick " << tick;
    }
  }
}

TEST(DecisionLog, AnotherProgramsOutputIsNotTheBots) {
  EXPECT_FALSE(Read("").botFormat);
  EXPECT_FALSE(Read("hello\nTick: 3\nmoving up\n").botFormat);
}

}  // namespace
