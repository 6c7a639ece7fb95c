// The LookAhead the Client keeps for the whole connection: nothing of one
// candidate or tick may leak into the next, and a warm one allocates nothing.
#include "lookahead/look_ahead.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "allocation_counter.h"
#include "grid.h"
#include "lookahead/test_command.h"
#include "lookahead/tick.h"

namespace {

// Crowded boards of changing sizes, so that the reused indexes grow, shrink
// back and meet cells they held for an earlier position.
State RandomLive(std::mt19937& random) {
  const int width = 1 + static_cast<int>(random() % 12);
  const int height = 1 + static_cast<int>(random() % 12);
  State live;
  live.SetWidth(width);
  live.SetHeight(height);
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      row += ".#+."[random() % 4];
    }
    live.SetRow(y, row);
  }
  const auto cell = [&](int size) { return static_cast<int>(random() % (size + 2)) - 1; };
  const int others = static_cast<int>(random() % 6);
  for (int i = 0; i < others; ++i) {
    live.players.push_back(At(i, cell(width), cell(height)));
  }
  live.players.push_back(At(-1, cell(width), cell(height)));
  const int bombs = static_cast<int>(random() % 30);
  for (int i = 0; i < bombs; ++i) {
    live.bombs.push_back(BombAt(cell(width), cell(height), static_cast<int>(random() % 8) - 1,
                                static_cast<int>(random() % 4) - 2));
  }
  return live;
}

TEST(LookAhead, ReusedObjectScoresEveryPositionAsAFreshOne) {
  std::mt19937 random(8);
  LookAhead lookAhead;
  for (int round = 0; round < 2000; ++round) {
    const State live = RandomLive(random);
    std::ostringstream reused;
    std::ostringstream fresh;
    for (int command = 0; command <= 5; ++command) {
      const int score = lookAhead.TestCommand(live, static_cast<Command>(command), reused);
      EXPECT_EQ(score, TestCommand(live, static_cast<Command>(command), fresh)) << round;
    }
    ASSERT_EQ(reused.str(), fresh.str()) << "round " << round;
  }
}

TEST(LookAhead, WarmObjectAllocatesNothing) {
  State live = Grid({"......", ".#..#.", "......", "..+..."});
  live.players = {At(1, 0, 0), At(2, 0, 0), At(-1, 2, 2)};
  live.bombs = {BombAt(1, 0, 1), BombAt(2, 0, 4), BombAt(5, 3, 2, -1)};
  LookAhead lookAhead;
  std::ostringstream log;
  for (int command = 0; command <= 5; ++command) {
    lookAhead.TestCommand(live, static_cast<Command>(command), log);
  }
  log.str(std::string(4096, ' '));  // room for every line below
  log.seekp(0);
  const std::size_t before = Allocations();
  for (int tick = 0; tick < 3; ++tick) {
    for (int command = 0; command <= 5; ++command) {
      lookAhead.TestCommand(live, static_cast<Command>(command), log);
    }
  }
  EXPECT_EQ(Allocations(), before);
}

// The Client's state counts its blocks while reading; the count it keeps is
// the one the evaluation relies on.
TEST(LookAhead, TakesTheBlockCountOfTheLiveState) {
  State live = Grid({".....", "....#"});
  live.players = {At(-1, 0, 0)};
  LookAhead lookAhead;
  std::ostringstream counted;
  lookAhead.TestCommand(live, Command::Stay, counted);
  // Exits 2, safe cell, 8 from the reference point; -250 while blocks remain.
  EXPECT_EQ(counted.str(), "Evaluated: 0,0 : 42\n");
  live.At(4, 1) = State::Tile::Empty;
  std::ostringstream stale;
  lookAhead.TestCommand(live, Command::Stay, stale);
  EXPECT_EQ(stale.str(), counted.str());
  live.RecountBlocks();
  std::ostringstream recounted;
  lookAhead.TestCommand(live, Command::Stay, recounted);
  EXPECT_EQ(recounted.str(), "Evaluated: 0,0 : 292\n");
}

// A board reset from a played one must play on exactly as one reset from the
// state the next status block would give: live records only, blocks gone.
TEST(Board, ResetFromAPlayedBoardPlaysOnAsTheNextState) {
  std::mt19937 random(9);
  for (int round = 0; round < 2000; ++round) {
    const State live = RandomLive(random);
    const auto first = static_cast<Command>(random() % 6);
    const auto second = static_cast<Command>(random() % 6);
    Board played;
    played.Reset(live);
    Simulator playing(&played);
    PlayTick(playing, first);

    State next = live;
    next.tick = played.tick;
    next.players.clear();
    for (const Player& p : played.players) {
      if (p.alive)
        next.players.push_back(p);
    }
    next.bombs.clear();
    for (const Bomb& b : played.bombs) {
      if (b.timer >= 0)
        next.bombs.push_back(b);
    }
    for (const auto& [x, y] : played.Destroyed())
      next.At(x, y) = State::Tile::Empty;
    next.RecountBlocks();

    Board fromState;
    fromState.Reset(next);
    Simulator fromStateSim(&fromState);
    PlayTick(fromStateSim, second);
    Board fromBoard;
    fromBoard.Reset(played);
    Simulator fromBoardSim(&fromBoard);
    PlayTick(fromBoardSim, second);

    ASSERT_EQ(fromBoard.players, fromState.players) << round;
    ASSERT_EQ(fromBoard.bombs, fromState.bombs) << round;
    ASSERT_EQ(fromBoard.tick, fromState.tick) << round;
    ASSERT_EQ(fromBoard.Blocks(), fromState.Blocks()) << round;
    ASSERT_EQ(Rows(fromBoard), Rows(fromState)) << round;
  }
}

// Whether a player owns a live bomb is a scan with few records and an index
// with many: both must answer as the bombs do, after a reset and after a tick.
TEST(Board, OwnsLiveBombAsTheBombsSayWithFewAndManyRecords) {
  std::mt19937 random(10);
  for (int round = 0; round < 300; ++round) {
    State live = Grid({"........", "........", "........"});
    const int players = 1 + static_cast<int>(random() % 30);
    for (int id = 0; id < players; ++id)
      live.players.push_back(
          At(id, static_cast<int>(random() % 8), static_cast<int>(random() % 3)));
    const int bombs = static_cast<int>(random() % 50);
    for (int i = 0; i < bombs; ++i) {
      live.bombs.push_back(BombAt(static_cast<int>(random() % 8), static_cast<int>(random() % 3),
                                  static_cast<int>(random() % 7) - 1,
                                  static_cast<int>(random() % (players + 2)) - 2));
    }
    Board board;
    board.Reset(live);
    for (int tick = 0; tick < 2; ++tick) {
      for (int id = -2; id < players; ++id) {
        bool owns = false;
        for (const Bomb& bomb : board.bombs)
          owns = owns || (bomb.owner == id && bomb.timer >= 0);
        ASSERT_EQ(board.OwnsLiveBomb(id), owns) << "round " << round << " tick " << tick;
      }
      for (Player& player : board.players)
        player.command = static_cast<Command>(random() % 6);
      Simulator simulator(&board);
      PlayTick(simulator, Command::DropBomb);
    }
  }
}

}  // namespace
