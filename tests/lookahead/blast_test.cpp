#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "grid.h"
#include "lookahead/cell.h"
#include "lookahead/simulator.h"

namespace {

std::vector<bool> Alive(const Board& board) {
  std::vector<bool> alive;
  for (const Player& player : board.players) {
    alive.push_back(player.alive);
  }
  return alive;
}

std::vector<int> Timers(const Board& board) {
  std::vector<int> timers;
  for (const Bomb& bomb : board.bombs) {
    timers.push_back(bomb.timer);
  }
  return timers;
}

TEST(Valid, AcceptsExactlyTheMap) {
  struct Case {
    int x, y, width, height;
    bool valid;
  };
  const Case cases[] = {
      {0, 0, 0, 0, false},       {0, 0, 1, 1, true},        {4, 2, 5, 3, true},
      {5, 2, 5, 3, false},       {4, 3, 5, 3, false},       {-1, 0, 5, 3, false},
      {0, -1, 5, 3, false},      {INT_MIN, 0, 5, 3, false}, {INT_MAX, 0, 5, 3, false},
      {0, INT_MIN, 5, 3, false}, {0, INT_MAX, 5, 3, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Valid(c.x, c.y, c.width, c.height), c.valid)
        << c.x << "," << c.y << " on " << c.width << "x" << c.height;
  }
}

// One blast on each kind of cell of the row ". # + . ." with a player on
// (3, 0) and a live bomb on (4, 0).
TEST(Blast, EffectsAndStopOnOneCell) {
  struct Case {
    const char* name;
    int x, y;
    bool stops;
    std::string row;
    bool alive;
    int timer;
  };
  const Case cases[] = {
      {"left of the map", -1, 0, true, ".#+..", true, 2},
      {"right of the map", 5, 0, true, ".#+..", true, 2},
      {"above the map", 0, -1, true, ".#+..", true, 2},
      {"far off the map", INT_MIN, INT_MAX, true, ".#+..", true, 2},
      {"empty cell", 0, 0, false, ".#+..", true, 2},
      {"block is destroyed", 1, 0, true, "..+..", true, 2},
      {"wall stays", 2, 0, true, ".#+..", true, 2},
      {"player is hit", 3, 0, false, ".#+..", false, 2},
      // The bomb's left arm hits the player and stops at the wall.
      {"bomb is set off", 4, 0, false, ".#+..", false, -1},
  };
  for (const Case& c : cases) {
    State state = Grid({".#+.."});
    state.players = {At(1, 3, 0)};
    state.bombs = {BombAt(4, 0, 2)};
    Board board;
    board.Reset(state);
    Simulator simulator(&board);
    EXPECT_EQ(simulator.Blast(c.x, c.y), c.stops) << c.name;
    EXPECT_EQ(Rows(board), std::vector<std::string>{c.row}) << c.name;
    EXPECT_EQ(board.players[0].alive, c.alive) << c.name;
    EXPECT_EQ(board.bombs[0].timer, c.timer) << c.name;
  }
}

// A blast arrives at one cell and spreads through the bombs it sets off.
struct SpreadCase {
  const char* name;
  std::vector<std::string_view> before;
  std::vector<Player> players;
  std::vector<Bomb> bombs;
  int x, y;  // where the first blast arrives
  std::vector<std::string> after;
  std::vector<bool> alive;
  std::vector<int> timers;
};

State Build(const SpreadCase& c) {
  State state = Grid(c.before);
  state.players = c.players;
  state.bombs = c.bombs;
  return state;
}

TEST(Blast, SpreadsAlongArmsAndChains) {
  const SpreadCase cases[] = {
      {"block stops the up arm and shields the cell behind",
       {".......", ".......", ".......", ".......", ".......", ".......", "......."},
       {At(1, 3, 1), At(2, 3, 5)},
       {BombAt(3, 3, 3)},
       3,
       3,
       {".......", ".......", ".......", ".......", ".......", ".......", "......."},
       {false, false},
       {-1}},
      {"a block between bomb and player",
       {".......", ".......", "...#...", ".......", ".......", ".......", "......."},
       {At(1, 3, 1), At(2, 3, 5)},
       {BombAt(3, 3, 3)},
       3,
       3,
       {".......", ".......", ".......", ".......", ".......", ".......", "......."},
       {true, false},
       {-1}},
      {"wall at distance 1 stops the arm",
       {"....+.."},
       {At(1, 5, 0), At(2, 1, 0)},
       {BombAt(3, 0, 3)},
       3,
       0,
       {"....+.."},
       {true, false},
       {-1}},
      {"arms leave the map at its border",
       {"...", "...", "..."},
       {At(1, 0, 2), At(2, 2, 0), At(3, 2, 2)},
       {BombAt(0, 0, 3)},
       0,
       0,
       {"...", "...", "..."},
       {false, false, true},
       {-1}},
      {"only the first record on a cell is hit",
       {"....."},
       {At(1, 2, 0), At(2, 2, 0)},
       {BombAt(0, 0, 3)},
       0,
       0,
       {"....."},
       {false, true},
       {-1}},
      {"a dead first record still absorbs the hit",
       {"....."},
       {{1, 2, 0, false, Command::Stay}, At(2, 2, 0)},
       {BombAt(0, 0, 3)},
       0,
       0,
       {"....."},
       {false, true},
       {-1}},
      {"a player on a block is not hit",
       {".#."},
       {At(1, 1, 0)},
       {BombAt(0, 0, 3)},
       0,
       0,
       {"..."},
       {true},
       {-1}},
      // B's right arm destroys (3, 0) before A's right arm goes on, so A then
      // passes (3, 0) and (4, 0) keeps its block.
      {"a chained bomb runs all its arms before the arm that set it off goes on",
       {"...##."},
       {},
       {BombAt(1, 0, 3), BombAt(2, 0, 4)},
       1,
       0,
       {"....#."},
       {},
       {-1, -1}},
      {"a gone bomb is passed as if it were not there",
       {"...#."},
       {},
       {BombAt(0, 0, 3), BombAt(1, 0, -2)},
       0,
       0,
       {"...#."},
       {},
       {-1, -2}},
      {"two bombs on one cell go off together, a bomb out of reach stays",
       {".....", ".....", ".....", ".....", "....."},
       {},
       {BombAt(2, 2, 3), BombAt(2, 2, 5), BombAt(0, 0, 3)},
       2,
       2,
       {".....", ".....", ".....", ".....", "....."},
       {},
       {-1, -1, 3}},
      // P's down arm sets off Q, whose right arm destroys the block; P's right
      // arm then sets off R, whose down arm passes the cleared cell.
      {"blocks destroyed earlier in the chain let later arms through",
       {".....", ".....", "..#..", ".....", "....."},
       {At(1, 2, 3)},
       {BombAt(0, 1, 3), BombAt(0, 2, 3), BombAt(2, 1, 3)},
       0,
       1,
       {".....", ".....", ".....", ".....", "....."},
       {false},
       {-1, -1, -1}},
      {"the same chain without R destroys the block but misses the player",
       {".....", ".....", "..#..", ".....", "....."},
       {At(1, 2, 3)},
       {BombAt(0, 1, 3), BombAt(0, 2, 3)},
       0,
       1,
       {".....", ".....", ".....", ".....", "....."},
       {true},
       {-1, -1}},
  };
  for (const SpreadCase& c : cases) {
    const State state = Build(c);
    Board board;
    board.Reset(state);
    Simulator simulator(&board);
    EXPECT_FALSE(simulator.Blast(c.x, c.y)) << c.name;
    EXPECT_EQ(Rows(board), c.after) << c.name;
    EXPECT_EQ(Alive(board), c.alive) << c.name;
    EXPECT_EQ(Timers(board), c.timers) << c.name;
  }
}

TEST(Blast, AllocatesNothingEvenInAChain) {
  State state = Grid({".....", ".....", "..#..", ".....", "....."});
  state.players = {At(1, 2, 3)};
  state.bombs = {BombAt(0, 1, 3), BombAt(0, 2, 3), BombAt(2, 1, 3)};
  Board board;
  board.Reset(state);
  Simulator simulator(&board);
  const std::size_t before = Allocations();
  simulator.Blast(0, 0);
  simulator.Blast(4, 4);
  simulator.Blast(0, 1);
  EXPECT_EQ(Allocations(), before);
  EXPECT_EQ(Timers(board), (std::vector<int>{-1, -1, -1}));
}

TEST(Blast, SeesBombsAddedAfterTheSimulatorWasBuilt) {
  State state = Grid({"....."});
  state.players = {At(1, 4, 0)};
  Board board;
  board.Reset(state);
  Simulator simulator(&board);
  board.AddBomb(BombAt(2, 0, 3));
  EXPECT_FALSE(simulator.Blast(2, 0));
  EXPECT_EQ(board.bombs[0].timer, -1);
  EXPECT_FALSE(board.players[0].alive);
}

TEST(Detonate, ChainOfAHundredThousandBombsNeedsNoCallStack) {
  constexpr int kBombs = 100000;
  State state;
  state.width = kBombs;
  state.height = 1;
  state.tiles.assign(kBombs, State::Tile::Empty);
  for (int x = 0; x < kBombs; ++x) {
    state.bombs.push_back(BombAt(x, 0, 3));
  }
  state.players = {At(1, kBombs - 1, 0)};
  Board board;
  board.Reset(state);
  Simulator simulator(&board);
  simulator.Detonate(board.bombs[0]);
  for (const Bomb& bomb : board.bombs) {
    ASSERT_EQ(bomb.timer, -1) << bomb.x;
  }
  EXPECT_FALSE(board.players[0].alive);
}

// Every arm starts on the bomb's own cell, so a bomb on a block destroys it
// with its up arm and is blasted again by its down arm, which sets off a
// second bomb on the same cell.
TEST(Detonate, BombOnABlockSetsOffItsNeighbourWithTheDownArm) {
  State state = Grid({"#.", ".."});
  state.players = {At(1, 0, 1)};
  state.bombs = {BombAt(0, 0, 3), BombAt(0, 0, 4)};
  Board board;
  board.Reset(state);
  Simulator simulator(&board);
  simulator.Detonate(board.bombs[0]);
  EXPECT_EQ(Rows(board), (std::vector<std::string>{"..", ".."}));
  EXPECT_EQ(Timers(board), (std::vector<int>{-1, -1}));
  EXPECT_FALSE(board.players[0].alive);
}

// Centres off the map, up to the int limits: the arms wrap instead of
// overflowing, and since every arm starts on the centre none touches the map.
TEST(Detonate, CentresOffTheMapTouchNothing) {
  struct Case {
    int x, y;
  };
  const Case cases[] = {{-1, 0},      {1, -2},          {3, 1},           {INT_MAX, INT_MAX},
                        {INT_MIN, 0}, {INT_MIN + 1, 1}, {0, INT_MAX - 1}, {INT_MIN, INT_MIN}};
  for (const Case& c : cases) {
    State state = Grid({"...", ".#.", "..."});
    state.players = {At(1, 0, 0), At(2, 2, 1)};
    state.bombs = {BombAt(c.x, c.y, 3), BombAt(0, 1, 3)};
    Board board;
    board.Reset(state);
    Simulator simulator(&board);
    simulator.Detonate(board.bombs[0]);
    EXPECT_EQ(Alive(board), (std::vector<bool>{true, true})) << c.x << "," << c.y;
    EXPECT_EQ(Timers(board), (std::vector<int>{-1, 3})) << c.x << "," << c.y;
    EXPECT_EQ(Rows(board), (std::vector<std::string>{"...", ".#.", "..."}));
  }
}

}  // namespace
