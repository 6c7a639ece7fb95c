#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid.h"
#include "lookahead/danger.h"
#include "lookahead/tick.h"

namespace {

// The danger map drawn as rows: a digit per entry, '-' for -1, '=' for -2.
std::vector<std::string> MapRows(const State& state, const std::vector<int>& map) {
  std::vector<std::string> rows;
  for (int y = 0; y < state.height; ++y) {
    std::string row;
    for (int x = 0; x < state.width; ++x) {
      const int value = map[state.Index(x, y)];
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
    PlayTick(state, Command::Stay);
    std::vector<Danger> dangers = ListDangers(state);
    ChainDangers(dangers);
    EXPECT_EQ(Times(dangers), c.times) << c.name;
    EXPECT_EQ(MapRows(state, DangerMap(state, dangers)), c.danger) << c.name;
  }
}

TEST(Danger, ListsBombsFirstWithTheirCells) {
  State state = Grid({"....."});
  state.players = {At(4, 3, 0), At(-1, 0, 0)};
  state.bombs = {BombAt(1, 0, -2), BombAt(2, 0, 5, -1)};
  EXPECT_EQ(ListDangers(state), (std::vector<Danger>{{1, 0, -2}, {2, 0, 5}, {3, 0, 6}}));
}

}  // namespace
