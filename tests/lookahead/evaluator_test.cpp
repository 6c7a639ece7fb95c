#include <gtest/gtest.h>

#include <climits>
#include <string_view>
#include <vector>

#include "allocation_counter.h"
#include "grid.h"
#include "lookahead/evaluator.h"

namespace {

const std::vector<std::string_view> kOpen = {".....", ".....", ".....", ".....", "....."};
// Danger 5 on row 2 and column 2 of a 5 x 5 map, 7 elsewhere.
const std::vector<Danger> kCross5 = {{2, 2, 5}};

// Danger `time` on (x, y) alone: a danger with time 7 marks nothing, so four
// of them three cells away cover the rest of the first one's cross.
std::vector<Danger> OnlyCell(int x, int y, int time) {
  return {{x, y, time}, {x, y - 3, 7}, {x, y + 3, 7}, {x - 3, y, 7}, {x + 3, y, 7}};
}

struct EvalCase {
  const char* name;
  std::vector<std::string_view> map;
  std::vector<Player> players;
  std::vector<Bomb> bombs;
  std::vector<Danger> dangers;  // none: 7 everywhere
  int score;
};

// The evaluated position as the command simulation leaves it.
struct Position {
  explicit Position(const EvalCase& c) : live(Grid(c.map)) {
    live.players = c.players;
    live.bombs = c.bombs;
    board.Reset(live);
    for (const Danger& danger : c.dangers) {
      dangers.Add(danger);
    }
  }

  State live;
  Board board;
  DangerList dangers;
  const Evaluator evaluator{&board, &dangers};
};

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
      {"own cell blasted this tick", kOpen, {At(-1, 2, 2)}, {}, OnlyCell(2, 2, -1), 320},
      {"danger above 7", kOpen, {At(-1, 2, 2)}, {}, OnlyCell(2, 2, 8), 410},
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
    const Position position(c);
    EXPECT_EQ(position.evaluator.Eval(-1), c.score) << c.name;
  }
}

TEST(Evaluator, MissingRecordScoresLowest) {
  const Position position({"no self", kOpen, {At(3, 2, 2)}, {}, {}, 0});
  EXPECT_EQ(position.evaluator.Eval(-1), -1000000);
  EXPECT_EQ(position.evaluator.Eval(3), 500);
}

TEST(Evaluator, ChangesAndAllocatesNothing) {
  const Position position(
      {"", kOpen, {At(1, 2, 0), At(-1, 2, 2)}, {BombAt(2, 2, 5, -1)}, kCross5, 0});
  const std::vector<Player> players = position.board.players;
  const std::vector<Bomb> bombs = position.board.bombs;
  const std::vector<Danger> dangers = position.dangers.Items();
  const std::size_t allocations = Allocations();
  position.evaluator.Eval(-1);
  position.evaluator.Eval(1);
  EXPECT_EQ(Allocations(), allocations);
  EXPECT_EQ(position.board.players, players);
  EXPECT_EQ(position.board.bombs, bombs);
  EXPECT_EQ(Rows(position.board), Rows(position.live));
  EXPECT_EQ(position.dangers.Items(), dangers);
}

}  // namespace
