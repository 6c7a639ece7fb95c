#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "rules/board.h"

using arena::Board;
using arena::Cell;
using arena::Tile;

namespace {

int CountTiles(const Board& b, Tile t) {
  int n = 0;
  for (const std::string& row : b.Rows()) {
    n += static_cast<int>(std::count(row.begin(), row.end(), static_cast<char>(t)));
  }
  return n;
}

struct LayoutCase {
  int width;
  int height;
  int players;
  double density;
};

class GeneratedLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(GeneratedLayout, WallsSpawnsAndBlockShare) {
  const LayoutCase c = GetParam();
  std::mt19937_64 rng(7);
  const arena::Layout layout = arena::GenerateLayout(c.width, c.height, c.players, c.density, rng);
  const Board& b = layout.board;
  ASSERT_EQ(b.Width(), c.width);
  ASSERT_EQ(b.Height(), c.height);

  int walls = 0;
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      const bool wall =
          x == 0 || y == 0 || x == c.width - 1 || y == c.height - 1 || (x % 2 == 0 && y % 2 == 0);
      EXPECT_EQ(b.At({x, y}) == Tile::Wall, wall) << x << "," << y;
      walls += wall ? 1 : 0;
    }
  }

  ASSERT_EQ(static_cast<int>(layout.spawns.size()), c.players);
  std::vector<Cell> spared;
  for (std::size_t i = 0; i < layout.spawns.size(); ++i) {
    const Cell s = layout.spawns[i];
    EXPECT_EQ(b.At(s), Tile::Floor);
    EXPECT_EQ(std::count(layout.spawns.begin(), layout.spawns.end(), s), 1);
    // On the ring inside the border, with its neighbours along that ring clear.
    const bool onRing = s.x == 1 || s.y == 1 || s.x == c.width - 2 || s.y == c.height - 2;
    EXPECT_TRUE(onRing) << s.x << "," << s.y;
    spared.push_back(s);
    for (const Cell n :
         {Cell{s.x - 1, s.y}, Cell{s.x + 1, s.y}, Cell{s.x, s.y - 1}, Cell{s.x, s.y + 1}}) {
      const bool nOnRing = n.x == 1 || n.y == 1 || n.x == c.width - 2 || n.y == c.height - 2;
      if (b.Contains(n) && nOnRing && b.At(n) != Tile::Wall) {
        EXPECT_EQ(b.At(n), Tile::Floor) << "beside spawn " << i;
        if (std::find(spared.begin(), spared.end(), n) == spared.end()) {
          spared.push_back(n);
        }
      }
    }
  }
  const int free = c.width * c.height - walls - static_cast<int>(spared.size());
  EXPECT_EQ(CountTiles(b, Tile::Block), static_cast<int>(std::lround(c.density * free)));
}

INSTANTIATE_TEST_SUITE_P(Sizes, GeneratedLayout,
                         testing::Values(LayoutCase{15, 13, 4, 0.6}, LayoutCase{7, 7, 8, 0.6},
                                         LayoutCase{7, 7, 2, 1.0}, LayoutCase{9, 11, 5, 0.0},
                                         LayoutCase{31, 21, 8, 0.35}, LayoutCase{255, 255, 3, 0.5}),
                         [](const testing::TestParamInfo<LayoutCase>& info) {
                           const LayoutCase& c = info.param;
                           return std::to_string(c.width) + "x" + std::to_string(c.height) + "_" +
                                  std::to_string(c.players) + "players_density" +
                                  std::to_string(static_cast<int>(c.density * 100));
                         });

TEST(Layout, SameSeedSameMapOtherSeedOtherMap) {
  std::mt19937_64 a(42);
  std::mt19937_64 b(42);
  std::mt19937_64 c(43);
  const auto first = arena::GenerateLayout(15, 13, 4, 0.6, a).board.Rows();
  EXPECT_EQ(first, arena::GenerateLayout(15, 13, 4, 0.6, b).board.Rows());
  EXPECT_NE(first, arena::GenerateLayout(15, 13, 4, 0.6, c).board.Rows());
  // The next map from the same engine differs too, so rounds are not replays.
  EXPECT_NE(first, arena::GenerateLayout(15, 13, 4, 0.6, a).board.Rows());
}

TEST(Spawns, CornersFirstOppositeOnesFirstThenEdgeMiddles) {
  const Board open = arena::ParseBoard(
                         "+++++++++\n"
                         "+.......+\n"
                         "+.+.+.+.+\n"
                         "+.......+\n"
                         "+.+.+.+.+\n"
                         "+.......+\n"
                         "+++++++++\n")
                         .board.value();
  const std::vector<Cell> expected = {{1, 1}, {7, 5}, {7, 1}, {1, 5},
                                      {4, 1}, {4, 5}, {1, 3}, {7, 3}};
  EXPECT_EQ(arena::ChooseSpawns(open, 8), expected);
  EXPECT_EQ(arena::ChooseSpawns(open, 2),
            std::vector<Cell>(expected.begin(), expected.begin() + 2));
}

TEST(Spawns, MoveToNearestFreeFloorAndStopWhenItRunsOut) {
  const Board b = arena::ParseBoard(
                      "+++++\n"
                      "+##.+\n"
                      "+#+#+\n"
                      "+.#.+\n"
                      "+++++\n")
                      .board.value();
  // Corner (1,1) is a block: the nearest floor in row order is (3,1).
  const std::vector<Cell> spawns = arena::ChooseSpawns(b, 6);
  EXPECT_EQ(spawns, (std::vector<Cell>{{3, 1}, {3, 3}, {1, 3}}));
}

TEST(ParseBoard, AcceptsTheThreeTilesAndCrLf) {
  const arena::ParsedBoard p = arena::ParseBoard("+++\r\n+.#\r\n+++\r\n\n");
  ASSERT_TRUE(p.board) << p.error;
  EXPECT_EQ(p.board->Rows(), (std::vector<std::string>{"+++", "+.#", "+++"}));
}

TEST(ParseBoard, RejectsWithAReason) {
  struct Case {
    std::string text;
    std::string reason;
  };
  const Case cases[] = {
      {"", "empty"},
      {"\n\n", "empty"},
      {"+++\n++\n", "row 2 is 2 characters long"},
      {"+++\n+x+\n", "row 2 has the byte 120"},
      {"+++\n+\x1b+\n", "byte 27"},
      {std::string(256, '.') + "\n", "larger than 255x255"},
  };
  for (const Case& c : cases) {
    const arena::ParsedBoard p = arena::ParseBoard(c.text);
    EXPECT_FALSE(p.board) << c.text;
    EXPECT_NE(p.error.find(c.reason), std::string::npos) << p.error;
  }
}

}  // namespace
