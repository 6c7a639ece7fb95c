#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <climits>
#include <random>

#include "grid.h"
#include "lookahead/cell.h"
#include "lookahead/danger.h"
#include "lookahead/tick.h"

namespace {

// The danger of every cell drawn as rows: a digit per cell, '-' for -1, '='
// for -2.
std::vector<std::string> MapRows(const Board& board, const DangerList& dangers) {
  std::vector<std::string> rows;
  for (int y = 0; y < board.Height(); ++y) {
    std::string row;
    for (int x = 0; x < board.Width(); ++x) {
      const int value = dangers.At(x, y);
      row += value == -1 ? '-' : value == -2 ? '=' : static_cast<char>('0' + value);
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<int> Times(const std::vector<Danger>& dangers) {
  std::vector<int> times;
  for (const Danger& danger : dangers) {
    times.push_back(danger.time);
  }
  return times;
}

// The live state as the reader leaves it; one tick is played with the self
// record staying, then the dangers are listed, chained and mapped.
struct DangerCase {
  const char* name;
  std::vector<std::string_view> map;
  std::vector<Player> players;
  std::vector<Bomb> bombs;
  std::vector<int> times;  // after the chain pass
  std::vector<std::string> danger;
};

TEST(Danger, ListChainAndMapAfterOneTick) {
  const DangerCase cases[] = {
      {"no bombs and no opponents", {"...", "..."}, {At(-1, 0, 0)}, {}, {}, {"777", "777"}},
      {"timer 1 before timer 4: the chain pass lowers the first to -2",
       {"......"},
       {At(-1, 5, 0)},
       {BombAt(0, 0, 1), BombAt(2, 0, 4)},
       {-2, -2},
       {"=====7"}},
      {"timer 4 before timer 1: both end at -1",
       {"......"},
       {At(-1, 5, 0)},
       {BombAt(2, 0, 4), BombAt(0, 0, 1)},
       {-1, -1},
       {"-----7"}},
      {"a bomb at timer 0 goes to -1 without a blast",
       {"....."},
       {At(-1, 4, 0)},
       {BombAt(1, 0, 0)},
       {-1},
       {"----7"}},
      {"dangers two cells apart take the earlier time through a wall",
       {".+...", "....."},
       {At(-1, 4, 1)},
       {BombAt(0, 0, 6), BombAt(2, 0, 3)},
       {2, 2},
       {"22222", "27277"}},
      {"three cells apart are not linked; the later cross decides the overlap",
       {"......", "......"},
       {At(2, 3, 0), At(-1, 5, 1)},
       {BombAt(0, 0, 3)},
       {2, 6},
       {"266666", "277677"}},
      {"an opponent on a bomb it does not own writes 6 over the bomb's cross",
       {".....", ".....", "....."},
       {At(2, 2, 1), At(-1, 0, 2)},
       {BombAt(2, 1, 4)},
       {3, 6},
       {"77677", "66666", "77677"}},
      {"an opponent with a live bomb adds no danger, one whose bomb is gone does",
       {"......."},
       {At(1, 0, 0), At(2, 3, 0), At(-1, 5, 0)},
       {BombAt(0, 0, 4, 1), BombAt(6, 0, 0, 2)},
       {3, -1, 6},
       {"366666-"}},
      {"an opponent killed in the bomb step still adds its danger",
       {"....."},
       {At(3, 1, 0), At(-1, 4, 0)},
       {BombAt(0, 0, 1)},
       {-1, -1},
       {"----7"}},
      // Along the list order a lowered time travels on within the same pass.
      {"updates take effect at once",
       {".........."},
       {At(-1, 9, 0)},
       {BombAt(0, 0, 2), BombAt(2, 0, 7), BombAt(4, 0, 7), BombAt(6, 0, 7), BombAt(8, 0, 7)},
       {1, 1, 1, 1, 1},
       {"1111111111"}},
      // Each pass hands the time one bomb further against the list order.
      {"exactly three chain passes",
       {".........."},
       {At(-1, 9, 0)},
       {BombAt(8, 0, 7), BombAt(6, 0, 7), BombAt(4, 0, 7), BombAt(2, 0, 7), BombAt(0, 0, 2)},
       {6, 1, 1, 1, 1},
       {"1111111116"}},
  };
  for (const DangerCase& c : cases) {
    State state = Grid(c.map);
    state.players = c.players;
    state.bombs = c.bombs;
    Board board;
    board.Reset(state);
    Simulator simulator(&board);
    PlayTick(simulator, Command::Stay);
    DangerList dangers;
    dangers.List(board);
    dangers.Chain();
    EXPECT_EQ(Times(dangers.Items()), c.times) << c.name;
    EXPECT_EQ(MapRows(board, dangers), c.danger) << c.name;
  }
}

TEST(Danger, ListsBombsFirstWithTheirCells) {
  State state = Grid({"....."});
  state.players = {At(4, 3, 0), At(-1, 0, 0)};
  state.bombs = {BombAt(1, 0, -2), BombAt(2, 0, 5, -1)};
  Board board;
  board.Reset(state);
  DangerList dangers;
  dangers.List(board);
  EXPECT_EQ(dangers.Items(), (std::vector<Danger>{{1, 0, -2}, {2, 0, 5}, {3, 0, 6}}));
}

// The chain pass over every pair of dangers and a map with every cross
// painted in list order: the plain reading of the rules.
void PlainChain(std::vector<Danger>& dangers) {
  for (int pass = 0; pass < 3; ++pass) {
    for (const Danger& source : dangers) {
      for (const Direction& d : kDirections) {
        for (int k = 1; k <= 2; ++k) {
          for (Danger& target : dangers) {
            if (target.x == Shift(source.x, d.dx * k) && target.y == Shift(source.y, d.dy * k) &&
                target.time > source.time) {
              target.time = source.time;
            }
          }
        }
      }
    }
  }
}

std::vector<std::string> PlainMap(int width, int height, const std::vector<Danger>& dangers) {
  std::vector<int> map(static_cast<std::size_t>(width * height), DangerList::kNone);
  const auto mark = [&](int x, int y, int time) {
    if (Valid(x, y, width, height)) {
      map[static_cast<std::size_t>(x + y * width)] = time;
    }
  };
  for (const Danger& danger : dangers) {
    mark(danger.x, danger.y, danger.time);
    for (const Direction& d : kDirections) {
      for (int k = 1; k <= 2; ++k) {
        mark(Shift(danger.x, d.dx * k), Shift(danger.y, d.dy * k), danger.time);
      }
    }
  }
  std::vector<std::string> rows;
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      row += std::to_string(map[static_cast<std::size_t>(x + y * width)]) + ' ';
    }
    rows.push_back(row);
  }
  return rows;
}

// Crowded random lists: centres shared, packed in reach of each other, just
// off the map and at the int limits, where shifted cells wrap around.
TEST(DangerList, ChainAndCellDangersMatchThePlainRulesOnRandomLists) {
  std::mt19937 random(11);
  constexpr int kWidth = 9;
  constexpr int kHeight = 7;
  const int far[] = {INT_MIN, INT_MIN + 1, INT_MAX - 1, INT_MAX};
  const auto coordinate = [&](int size) {
    const unsigned roll = random() % 20;
    return roll == 0 ? far[random() % 4] : static_cast<int>(random() % (size + 4)) - 2;
  };
  for (int round = 0; round < 3000; ++round) {
    std::vector<Danger> plain;
    // Past the counts where centres are indexed instead of scanned (16) and,
    // spread wider, where Around looks them up instead (128).
    const bool crowd = round % 30 == 0;
    const int count = static_cast<int>(random() % (crowd ? 300 : 40));
    const int spread = crowd ? 4 : 1;
    for (int i = 0; i < count; ++i) {
      Danger danger{coordinate(spread * kWidth), coordinate(spread * kHeight),
                    static_cast<int>(random() % 10) - 2};
      if (!plain.empty() && random() % 3 == 0) {
        danger.x = plain.back().x;
        danger.y = plain.back().y;
      }
      plain.push_back(danger);
    }
    DangerList dangers;
    for (const Danger& danger : plain) {
      dangers.Add(danger);
    }
    PlainChain(plain);
    dangers.Chain();
    ASSERT_EQ(dangers.Items(), plain) << "round " << round;
    std::vector<std::string> rows;
    for (int y = 0; y < kHeight; ++y) {
      std::string row;
      for (int x = 0; x < kWidth; ++x) {
        row += std::to_string(dangers.At(x, y)) + ' ';
      }
      rows.push_back(row);
    }
    ASSERT_EQ(rows, PlainMap(kWidth, kHeight, plain)) << "round " << round;
    const int x = coordinate(kWidth);
    const int y = coordinate(kHeight);
    int around[5];
    dangers.Around(x, y, around);
    ASSERT_EQ(around[0], dangers.At(x, y)) << "round " << round;
    for (int d = 0; d < 4; ++d) {
      ASSERT_EQ(around[d + 1], dangers.At(Shift(x, kDirections[d].dx), Shift(y, kDirections[d].dy)))
          << "round " << round;
    }
  }
}

TEST(DangerList, RefillingKeepsNothingOfTheLastList) {
  DangerList dangers;
  dangers.Add({0, 0, 1});
  dangers.Add({2, 0, 6});
  dangers.Chain();
  dangers.Clear();
  dangers.Add({2, 0, 6});
  dangers.Chain();
  EXPECT_EQ(dangers.Items(), (std::vector<Danger>{{2, 0, 6}}));
  EXPECT_EQ(dangers.At(0, 0), 6);
  EXPECT_EQ(dangers.At(5, 0), DangerList::kNone);
}

}  // namespace
