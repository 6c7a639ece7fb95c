#include <gtest/gtest.h>

#include <climits>
#include <string_view>
#include <vector>

#include "allocation_counter.h"
#include "grid.h"
#include "lookahead/evaluator.h"

namespace {

const std::vector<std::string_view> kOpen = {".....", ".....", ".....", ".....", "....."};
const std::vector<std::string_view> kCross5 = {"77577", "77577", "55555", "77577", "77577"};

struct EvalCase {
  const char* name;
  std::vector<std::string_view> map;
  std::vector<Player> players;
  std::vector<Bomb> bombs;
  // One digit per cell, '-' for -1; empty means 7 everywhere.
  std::vector<std::string_view> danger;
  int score;
};

Evaluator Build(const EvalCase& c, State& state) {
  state = Grid(c.map);
  state.players = c.players;
  state.bombs = c.bombs;
  Evaluator evaluator{&state, std::vector<int>(state.tiles.size(), Evaluator::kNoDanger)};
  for (std::size_t y = 0; y < c.danger.size(); ++y) {
    for (std::size_t x = 0; x < c.danger[y].size(); ++x) {
      const char ch = c.danger[y][x];
      evaluator.danger[x + y * c.danger[y].size()] = ch == '-' ? -1 : ch - '0';
    }
  }
  return evaluator;
}

Player Dead(int id, int x, int y) {
  return {id, x, y, false, Command::Stay};
}

TEST(Evaluator, ScoresOfWorkedPositions) {
  const std::vector<std::string_view> corridor = {"+++++", "+++++", ".....", "+++++", "+++++"};
  const EvalCase cases[] = {
      {"alone on an open map", kOpen, {At(-1, 2, 2)}, {}, {}, 500},
      {"own bomb just dropped", kOpen, {At(-1, 2, 2)}, {BombAt(2, 2, 5, -1)}, kCross5, 300},
      {"corridor without corners", corridor, {At(-1, 2, 2)}, {}, {}, -300},
      {"bomb dropped in the corridor",
       corridor,
       {At(-1, 2, 2)},
       {BombAt(2, 2, 5, -1)},
       kCross5,
       -10000},
      {"dead", kOpen, {Dead(-1, 2, 2)}, {}, {}, -9500},
      {"rows measured against half the width", {"......", "......"}, {At(-1, 0, 1)}, {}, {}, 290},
      {"dead record above", kOpen, {Dead(3, 2, 1), At(-1, 2, 2)}, {}, {}, 498},
      {"own cell blasted this tick",
       kOpen,
       {At(-1, 2, 2)},
       {},
       {"77777", "77777", "77-77", "77777", "77777"},
       320},
      {"danger above 7",
       kOpen,
       {At(-1, 2, 2)},
       {},
       {"77777", "77777", "77877", "77777", "77777"},
       410},
      {"older own bomb first: standing on a live bomb",
       kOpen,
       {At(-1, 2, 2)},
       {BombAt(0, 0, 3, -1), BombAt(2, 2, 5, -1)},
       {},
       -500},
      {"fresh own bomb first",
       kOpen,
       {At(-1, 2, 2)},
       {BombAt(2, 2, 5, -1), BombAt(0, 0, 3, -1)},
       {},
       400},
      {"a gone bomb on a neighbour is no bomb", kOpen, {At(-1, 2, 2)}, {BombAt(2, 1, -1)}, {}, 500},
      // exits 3, corners 12, +100 safe, -250 blocks left, +250 adjacent block.
      {"block above, no bomb anywhere",
       {".....", "..#..", ".....", ".....", "....."},
       {At(-1, 2, 2)},
       {},
       {},
       400},
      {"block above, an unattributed bomb lies elsewhere",
       {".....", "..#..", ".....", ".....", "....."},
       {At(-1, 2, 2)},
       {BombAt(0, 0, 3)},
       {},
       650},
      // Dropped next to the block with an opponent two cells down: exits 3,
      // threat 2 on all five cells, +500 and +200, no pull while threatened.
      {"fresh bomb next to a block and a player",
       {".....", "..#..", ".....", ".....", "....."},
       {At(4, 2, 4), At(-1, 2, 2)},
       {BombAt(2, 2, 5, -1)},
       kCross5,
       300 - 10 * 10 + 500 + 200},
      {"an opponent on the row counts once per cell",
       kOpen,
       {At(1, 4, 2), At(2, 4, 2), At(-1, 2, 2)},
       {},
       {},
       400 + 100 + 100 - 2 * 2 - 2 * 2},
      {"the evaluated player off the map at the int limits",
       kOpen,
       {At(-1, INT_MIN, INT_MAX), At(1, INT_MAX, INT_MIN)},
       {},
       {},
       // Distances go the shorter way round 32 bits: 2^31 - 2 and 2^31 - 3
       // to the reference point (sum -5), and INT_MAX is one step from INT_MIN.
       -100 + 100 - 500 + 10 - 4},
  };
  for (const EvalCase& c : cases) {
    State state;
    const Evaluator evaluator = Build(c, state);
    EXPECT_EQ(evaluator.Eval(-1), c.score) << c.name;
  }
}

TEST(Evaluator, MissingRecordScoresLowest) {
  State state;
  const Evaluator evaluator = Build({"no self", kOpen, {At(3, 2, 2)}, {}, {}, 0}, state);
  EXPECT_EQ(evaluator.Eval(-1), -1000000);
  EXPECT_EQ(evaluator.Eval(3), 500);
}

TEST(Evaluator, ChangesAndAllocatesNothing) {
  State state;
  const Evaluator evaluator =
      Build({"", kOpen, {At(1, 2, 0), At(-1, 2, 2)}, {BombAt(2, 2, 5, -1)}, kCross5, 0}, state);
  const State before = state;
  const std::vector<int> danger = evaluator.danger;
  const std::size_t allocations = Allocations();
  evaluator.Eval(-1);
  evaluator.Eval(1);
  EXPECT_EQ(Allocations(), allocations);
  EXPECT_EQ(state, before);
  EXPECT_EQ(evaluator.danger, danger);
}

}  // namespace
