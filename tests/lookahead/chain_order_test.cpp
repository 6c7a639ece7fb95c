// The explicit chain stack against the blast written as plain recursion, on
// random crowded boards where arm order decides which blocks fall.
#include <gtest/gtest.h>

#include <random>

#include "grid.h"
#include "lookahead/cell.h"
#include "lookahead/simulator.h"

namespace {

bool RecursiveBlast(State& s, int x, int y);

void RecursiveDetonate(State& s, Bomb& bomb) {
  bomb.timer = -1;
  for (const Direction& d : kDirections) {
    for (int i = 0; i <= 2; ++i) {
      if (RecursiveBlast(s, bomb.x + d.dx * i, bomb.y + d.dy * i)) {
        break;
      }
    }
  }
}

bool RecursiveBlast(State& s, int x, int y) {
  if (!Valid(x, y, s.width, s.height) || s.At(x, y) == State::Tile::Wall) {
    return true;
  }
  if (s.At(x, y) == State::Tile::Block) {
    s.At(x, y) = State::Tile::Empty;
    return true;
  }
  for (Player& p : s.players) {
    if (p.x == x && p.y == y) {
      p.alive = false;
      break;
    }
  }
  for (Bomb& b : s.bombs) {
    if (b.timer >= 0 && b.x == x && b.y == y) {
      RecursiveDetonate(s, b);
      break;
    }
  }
  return false;
}

TEST(Detonate, SameOutcomeAsPlainRecursionOnRandomBoards) {
  std::mt19937 random(4);
  for (int round = 0; round < 2000; ++round) {
    State state =
        Grid({".......", ".......", ".......", ".......", ".......", ".......", "......."});
    for (State::Tile& tile : state.tiles) {
      const unsigned roll = random() % 10;
      tile = roll < 4 ? State::Tile::Block : roll < 5 ? State::Tile::Wall : State::Tile::Empty;
    }
    for (int i = 0; i < 6; ++i) {
      state.players.push_back(
          At(i, static_cast<int>(random() % 7), static_cast<int>(random() % 7)));
    }
    for (int i = 0; i < 12; ++i) {
      state.bombs.push_back(BombAt(static_cast<int>(random() % 7), static_cast<int>(random() % 7),
                                   static_cast<int>(random() % 4) - 1));
    }
    State expected = state;
    const std::size_t first = random() % state.bombs.size();
    RecursiveDetonate(expected, expected.bombs[first]);
    Board board;
    board.Reset(state);
    Simulator simulator(&board);
    simulator.Detonate(board.bombs[first]);
    ASSERT_EQ(board.players, expected.players) << "round " << round;
    ASSERT_EQ(board.bombs, expected.bombs) << "round " << round;
    ASSERT_EQ(Rows(board), Rows(expected)) << "round " << round;
  }
}

}  // namespace
