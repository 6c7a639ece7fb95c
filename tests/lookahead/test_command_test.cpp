#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "grid.h"
#include "lookahead/test_command.h"
#include "lookahead/tick.h"

namespace {

const std::vector<std::string_view> kOpen = {".....", ".....", ".....", ".....", "....."};

State Live(const std::vector<std::string_view>& map, std::vector<Player> players,
           std::vector<Bomb> bombs = {}) {
  State state = Grid(map);
  state.players = std::move(players);
  state.bombs = std::move(bombs);
  return state;
}

// The "Evaluated: X,Y : SCORE" line of one candidate, checked against the
// returned score; gives back the position part "X,Y".
std::string Position(const State& live, Command command) {
  std::ostringstream log;
  const int score = TestCommand(live, command, log);
  const std::string line = log.str();
  const std::string prefix = "Evaluated: ";
  const std::size_t colon = line.find(" : ");
  EXPECT_EQ(line.rfind(prefix, 0), 0u) << line;
  EXPECT_NE(colon, std::string::npos) << line;
  EXPECT_EQ(line.substr(colon + 3), std::to_string(score) + "\n") << line;
  return line.substr(prefix.size(), colon - prefix.size());
}

TEST(TestCommand, MovesAcceptedAndRefused) {
  struct Case {
    const char* name;
    State live;
    Command command;
    const char* position;
  };
  const Case cases[] = {
      {"stay", Live(kOpen, {At(-1, 2, 2)}), Command::Stay, "2,2"},
      {"up", Live(kOpen, {At(-1, 2, 2)}), Command::Up, "2,1"},
      {"down", Live(kOpen, {At(-1, 2, 2)}), Command::Down, "2,3"},
      {"left", Live(kOpen, {At(-1, 2, 2)}), Command::Left, "1,2"},
      {"right", Live(kOpen, {At(-1, 2, 2)}), Command::Right, "3,2"},
      {"up from row 0", Live(kOpen, {At(-1, 2, 0)}), Command::Up, "2,0"},
      {"left from column 0", Live(kOpen, {At(-1, 0, 2)}), Command::Left, "0,2"},
      {"down from the last row", Live(kOpen, {At(-1, 2, 4)}), Command::Down, "2,4"},
      {"right from the last column", Live(kOpen, {At(-1, 4, 2)}), Command::Right, "4,2"},
      {"onto a block", Live({"...", ".#.", "..."}, {At(-1, 1, 0)}), Command::Down, "1,0"},
      {"onto a wall", Live({"...", ".+.", "..."}, {At(-1, 0, 1)}), Command::Right, "0,1"},
      {"onto a live bomb", Live(kOpen, {At(-1, 2, 2)}, {BombAt(2, 1, 3)}), Command::Up, "2,2"},
      {"onto a bomb at timer 0", Live(kOpen, {At(-1, 2, 2)}, {BombAt(3, 2, 0)}), Command::Right,
       "2,2"},
      {"onto a gone bomb", Live(kOpen, {At(-1, 2, 2)}, {BombAt(1, 2, -1)}), Command::Left, "1,2"},
      {"onto a player", Live(kOpen, {At(4, 2, 3), At(-1, 2, 2)}), Command::Down, "2,2"},
      {"onto a dead player", Live(kOpen, {{4, 2, 3, false, Command::Stay}, At(-1, 2, 2)}),
       Command::Down, "2,2"},
      {"onto the cell a player earlier in the list moved to",
       Live(kOpen, {{4, 1, 1, true, Command::Right}, At(-1, 2, 2)}), Command::Up, "2,2"},
      {"onto the cell a player earlier in the list left",
       Live(kOpen, {{4, 2, 1, true, Command::Left}, At(-1, 2, 2)}), Command::Up, "2,1"},
      {"up from INT_MIN", Live(kOpen, {At(-1, 0, INT_MIN)}), Command::Up, "0,-2147483648"},
      {"left from INT_MIN", Live(kOpen, {At(-1, INT_MIN, 0)}), Command::Left, "-2147483648,0"},
      {"down from INT_MAX", Live(kOpen, {At(-1, 0, INT_MAX)}), Command::Down, "0,2147483647"},
      {"right from INT_MAX", Live(kOpen, {At(-1, INT_MAX, 0)}), Command::Right, "2147483647,0"},
      {"onto the map from outside", Live(kOpen, {At(-1, -1, 0)}), Command::Right, "0,0"},
      {"an unknown command is a stay", Live(kOpen, {At(-1, 2, 2)}), static_cast<Command>(9), "2,2"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Position(c.live, c.command), c.position) << c.name;
  }
}

TEST(TestCommand, ScoresTheWorkedOpenMap) {
  const State live = Live(kOpen, {At(-1, 2, 2)});
  struct Case {
    Command command;
    const char* line;
  };
  const Case cases[] = {
      {Command::Stay, "Evaluated: 2,2 : 500\n"},
      // One cell off the reference point: -2; corners 14.
      {Command::Up, "Evaluated: 2,1 : 498\n"},
      {Command::DropBomb, "Evaluated: 2,2 : 300\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream log;
    TestCommand(live, c.command, log);
    EXPECT_EQ(log.str(), c.line);
  }
}

TEST(TestCommand, WithoutSelfRecordScoresLowestAndSimulatesNothing) {
  const State live = Live(kOpen, {At(3, 1, 1)}, {BombAt(1, 2, 1)});
  for (Command command : {Command::Stay, Command::Up, Command::DropBomb}) {
    std::ostringstream log;
    EXPECT_EQ(TestCommand(live, command, log), -1000000);
    EXPECT_EQ(log.str(), "Evaluated: 0,0 : -1000000\n");
  }
  std::ostringstream log;
  EXPECT_EQ(TestCommand(State{}, Command::Stay, log), -1000000);
}

TEST(TestCommand, LeavesTheLiveStateUnchanged) {
  const State live = Live({".#...", ".....", "..+..", "....."}, {At(2, 4, 3), At(-1, 1, 1)},
                          {BombAt(0, 0, 1), BombAt(3, 1, 4, 2), BombAt(1, 3, 0)});
  const State copy = live;
  std::ostringstream log;
  for (int command = 0; command <= 5; ++command) {
    TestCommand(live, static_cast<Command>(command), log);
  }
  EXPECT_EQ(live, copy);
  std::istringstream lines(log.str());
  int count = 0;
  for (std::string line; std::getline(lines, line);) {
    EXPECT_EQ(line.rfind("Evaluated: ", 0), 0u) << line;
    ++count;
  }
  EXPECT_EQ(count, 6);
}

// One tick on a copy: who survives, which bombs remain and with what timers.
TEST(PlayTick, DropsBlastsAndTimers) {
  struct Case {
    const char* name;
    State state;
    Command command;
    std::vector<Bomb> bombs;
    bool alive;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"a drop adds the self record's bomb, seen at timer 5",
       Live({"..."}, {At(-1, 1, 0)}),
       Command::DropBomb,
       {BombAt(1, 0, 5, -1)},
       true,
       {"..."}},
      {"no drop while an own bomb is live",
       Live({"..."}, {At(-1, 1, 0)}, {BombAt(0, 0, 3, -1)}),
       Command::DropBomb,
       {BombAt(0, 0, 2, -1)},
       true,
       {"..."}},
      {"an own bomb that is gone does not prevent the drop",
       Live({"..."}, {At(-1, 1, 0)}, {BombAt(0, 0, -1, -1)}),
       Command::DropBomb,
       {BombAt(0, 0, -2, -1), BombAt(1, 0, 5, -1)},
       true,
       {"..."}},
      {"another owner's bomb on the cell does not prevent the drop",
       Live({"..."}, {At(-1, 1, 0)}, {BombAt(1, 0, 4)}),
       Command::DropBomb,
       {BombAt(1, 0, 3), BombAt(1, 0, 5, -1)},
       true,
       {"..."}},
      {"a bomb two cells away kills a staying bot",
       Live({"....."}, {At(-1, 2, 0)}, {BombAt(0, 0, 1)}),
       Command::Stay,
       {BombAt(0, 0, -1)},
       false,
       {"....."}},
      {"a block in between shields it",
       Live({".#..."}, {At(-1, 2, 0)}, {BombAt(0, 0, 1)}),
       Command::Stay,
       {BombAt(0, 0, -1)},
       true,
       {"....."}},
      {"moving away first escapes",
       Live({"....."}, {At(-1, 2, 0)}, {BombAt(0, 0, 1)}),
       Command::Right,
       {BombAt(0, 0, -1)},
       true,
       {"....."}},
      {"a bomb at timer 0 goes to -1 without a blast",
       Live({".#..."}, {At(-1, 2, 0)}, {BombAt(1, 0, 0), BombAt(0, 0, 0)}),
       Command::Stay,
       {BombAt(1, 0, -1), BombAt(0, 0, -1)},
       true,
       {".#..."}},
      {"a bomb set off earlier in the step counts on down",
       Live({"......"}, {At(-1, 5, 0)}, {BombAt(0, 0, 1), BombAt(2, 0, 4)}),
       Command::Stay,
       {BombAt(0, 0, -1), BombAt(2, 0, -2)},
       true,
       {"......"}},
      {"a bomb set off by a later one keeps -1",
       Live({"......"}, {At(-1, 5, 0)}, {BombAt(2, 0, 4), BombAt(0, 0, 1)}),
       Command::Stay,
       {BombAt(2, 0, -1), BombAt(0, 0, -1)},
       true,
       {"......"}},
      {"the bot's own fresh bomb does not go off",
       Live({"..."}, {At(-1, 0, 0)}),
       Command::DropBomb,
       {BombAt(0, 0, 5, -1)},
       true,
       {"..."}},
      {"a gone bomb at the int limit stays gone instead of overflowing",
       Live({"..."}, {At(-1, 0, 0)}, {BombAt(2, 0, INT_MIN), BombAt(1, 0, INT_MAX)}),
       Command::Stay,
       {BombAt(2, 0, INT_MIN), BombAt(1, 0, INT_MAX - 1)},
       true,
       {"..."}},
  };
  for (const Case& c : cases) {
    Board board;
    board.Reset(c.state);
    Simulator simulator(&board);
    PlayTick(simulator, c.command);
    EXPECT_EQ(board.bombs, c.bombs) << c.name;
    EXPECT_EQ(board.players.back().alive, c.alive) << c.name;
    EXPECT_EQ(Rows(board), c.rows) << c.name;
    EXPECT_EQ(board.tick, c.state.tick + 1) << c.name;
  }
}

TEST(PlayTick, GivesTheCommandOnlyToTheSelfRecord) {
  const State state = Live(kOpen, {At(3, 0, 0), At(-1, 2, 2)});
  Board board;
  board.Reset(state);
  Simulator simulator(&board);
  PlayTick(simulator, Command::Down);
  EXPECT_EQ(board.players[0], At(3, 0, 0));
  EXPECT_EQ(board.players[1].command, Command::Down);
  EXPECT_EQ(board.players[1].y, 3);
}

}  // namespace
