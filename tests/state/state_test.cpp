#include "state/state.h"

#include <gtest/gtest.h>

namespace {

using Tile = State::Tile;

struct PlayerLine {
  int id, x, y;
};

void PlayersSection(State& s, std::initializer_list<PlayerLine> lines) {
  s.BeginPlayers();
  for (const PlayerLine& l : lines)
    s.MergePlayer(l.id, l.x, l.y);
  s.EndPlayers();
}

struct BombLine {
  int x, y, timer;
};

void BombsSection(State& s, std::initializer_list<BombLine> lines) {
  s.BeginBombs();
  for (const BombLine& l : lines)
    s.MergeBomb(l.x, l.y, l.timer);
  s.EndBombs();
}

std::vector<int> Ids(const State& s) {
  std::vector<int> ids;
  for (const Player& p : s.players)
    ids.push_back(p.id);
  return ids;
}

TEST(PlayersSection, EmptySectionLeavesOnlyTheSelfRecord) {
  State s;
  PlayersSection(s, {});
  ASSERT_EQ(s.players.size(), 1u);
  EXPECT_EQ(s.players[0], (Player{-1, 0, 0, true, Command::Stay}));
}

TEST(PlayersSection, SelfRecordIsRecreatedLastEveryTime) {
  State s;
  PlayersSection(s, {{3, 1, 1}});
  s.SetOwnX(7);
  s.SetOwnY(8);
  PlayersSection(s, {{3, 1, 2}, {4, 5, 5}});
  EXPECT_EQ(Ids(s), (std::vector<int>{3, 4, -1}));
  // Not listed, so the old self record went and a fresh one came at 0,0.
  EXPECT_EQ(s.players.back(), (Player{-1, 0, 0, true, Command::Stay}));
}

TEST(PlayersSection, LeavingAndRejoiningPlayerGoesToTheEnd) {
  State s;
  PlayersSection(s, {{1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
  PlayersSection(s, {{1, 0, 0}, {3, 0, 0}});
  EXPECT_EQ(Ids(s), (std::vector<int>{1, 3, -1}));
  PlayersSection(s, {{2, 4, 4}, {1, 0, 0}, {3, 0, 0}});
  EXPECT_EQ(Ids(s), (std::vector<int>{1, 3, 2, -1}));
}

TEST(PlayersSection, DuplicateIdKeepsOneRecordWithTheLaterValues) {
  State s;
  PlayersSection(s, {{5, 1, 1}, {5, 2, 3}});
  ASSERT_EQ(Ids(s), (std::vector<int>{5, -1}));
  EXPECT_EQ(s.players[0].x, 2);
  EXPECT_EQ(s.players[0].y, 3);
}

TEST(PlayersSection, ListedSelfIdKeepsItsPlaceAndValues) {
  State s;
  PlayersSection(s, {{-1, 4, 4}, {2, 1, 1}});
  EXPECT_EQ(Ids(s), (std::vector<int>{-1, 2}));
  EXPECT_EQ(s.players[0].x, 4);
}

TEST(PlayersSection, ResetsCommandAndAliveOfKeptRecords) {
  State s;
  PlayersSection(s, {{1, 0, 0}});
  s.players[0].alive = false;
  s.players[0].command = Command::DropBomb;
  PlayersSection(s, {{1, 2, 2}});
  EXPECT_EQ(s.players[0], (Player{1, 2, 2, true, Command::Stay}));
}

TEST(PlayersSection, ManyPlayersAndRecordsAddedByHand) {
  State s;
  s.BeginPlayers();
  for (int i = 0; i < 5000; ++i)
    s.MergePlayer(i % 2500, i, -i);                       // every id twice: the later line wins
  s.players.push_back({-7, 1, 1, false, Command::Stay});  // not through the section: still found
  s.MergePlayer(-7, 2, 2);
  s.EndPlayers();
  ASSERT_EQ(s.players.size(), 2502u);
  EXPECT_EQ(s.players[0], (Player{0, 2500, -2500, true, Command::Stay}));
  EXPECT_EQ(s.players[2500], (Player{-7, 2, 2, true, Command::Stay}));
  EXPECT_EQ(s.players[2501].id, -1);
}

TEST(OwnPosition, IgnoredWithoutASelfRecord) {
  State s;
  s.SetOwnX(3);
  s.SetOwnY(4);
  EXPECT_TRUE(s.players.empty());
}

TEST(BombsSection, MergesByCell) {
  State s;
  BombsSection(s, {{1, 1, 5}, {2, 2, 3}, {4, 4, 2}});
  s.bombs[0].owner = 7;
  // Re-sent: keeps its owner, takes the new timer. Re-sent negative: gone.
  // Not re-sent (4,4): gone. New cell: unattributed.
  BombsSection(s, {{1, 1, 4}, {2, 2, -3}, {3, 3, 2}});
  ASSERT_EQ(s.bombs.size(), 2u);
  EXPECT_EQ(s.bombs[0], (Bomb{7, 1, 1, 4}));
  EXPECT_EQ(s.bombs[1], (Bomb{-2, 3, 3, 2}));
}

TEST(BombsSection, SameCellTwiceInOneSectionIsOneBomb) {
  State s;
  BombsSection(s, {{1, 1, 5}, {1, 1, 2}});
  ASSERT_EQ(s.bombs.size(), 1u);
  EXPECT_EQ(s.bombs[0].timer, 2);
}

TEST(EndMap, AttributesFreshBombsToTheFirstPlayerOnTheCell) {
  State s;
  PlayersSection(s, {{4, 2, 2}});
  s.SetOwnX(2);
  s.SetOwnY(2);
  BombsSection(s, {{2, 2, 5}, {0, 0, 5}});
  s.EndMap();
  // The other player is first on the shared cell, the self record last.
  EXPECT_EQ(s.bombs[0].owner, 4);
  EXPECT_EQ(s.bombs[1].owner, -2);  // nobody stands on it
  EXPECT_EQ(s.tick, 1);
}

TEST(EndMap, ManyFreshBombsFindTheFirstPlayerOnTheirCells) {
  State s;
  s.BeginPlayers();
  for (int i = 0; i < 3000; ++i)
    s.MergePlayer(i, i / 2, 0);  // two players on every cell
  s.EndPlayers();
  s.BeginBombs();
  for (int x = 0; x < 1600; ++x)
    s.MergeBomb(x, 0, 5);
  s.EndBombs();
  s.EndMap();
  EXPECT_EQ(s.bombs[0].owner, 0);  // the self record at (0, 0) comes last
  EXPECT_EQ(s.bombs[1499].owner, 2998);
  EXPECT_EQ(s.bombs[1500].owner, -2);
}

TEST(EndMap, OnlyTimerFiveIsAttributedAndTheOwnerSticks) {
  State s;
  PlayersSection(s, {});
  BombsSection(s, {{0, 0, 4}, {0, 0, 6}});
  s.EndMap();
  EXPECT_EQ(s.bombs[0].owner, -2);
  BombsSection(s, {{0, 0, 5}});
  s.EndMap();
  EXPECT_EQ(s.bombs[0].owner, -1);
  PlayersSection(s, {{9, 0, 0}});
  BombsSection(s, {{0, 0, 5}});
  s.EndMap();
  EXPECT_EQ(s.bombs[0].owner, 9);  // a later timer 5 re-attributes
}

struct ResizeCase {
  const char* name;
  std::vector<std::pair<char, int>> steps;  // 'w' or 'h' with the value
  int width, height;
};

class Resize : public testing::TestWithParam<ResizeCase> {};

TEST_P(Resize, TilesAlwaysHoldWidthTimesHeight) {
  State s;
  for (auto [what, value] : GetParam().steps) {
    if (what == 'w')
      s.SetWidth(value);
    if (what == 'h')
      s.SetHeight(value);
    ASSERT_EQ(s.tiles.size(), static_cast<std::size_t>(s.width) * s.height);
  }
  EXPECT_EQ(s.width, GetParam().width);
  EXPECT_EQ(s.height, GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(
    Dimensions, Resize,
    testing::Values(ResizeCase{"grow_then_shrink", {{'h', 2}, {'w', 3}, {'w', 2}}, 2, 2},
                    ResizeCase{"negative_is_zero", {{'w', 5}, {'h', -3}}, 5, 0},
                    ResizeCase{"past_limit_is_zero", {{'w', 4097}, {'h', 4096}}, 0, 4096},
                    ResizeCase{"at_limit", {{'w', 4096}, {'h', 1}}, 4096, 1},
                    ResizeCase{"int_min", {{'w', -2147483647 - 1}, {'h', 1}}, 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Resize, KeepsElementsInPlaceAndAppendsEmpty) {
  State s;
  s.SetHeight(2);
  s.SetWidth(3);
  EXPECT_EQ(s.tiles, std::vector<Tile>(6, Tile::Empty));
  s.tiles[4] = Tile::Wall;
  s.SetWidth(2);
  EXPECT_EQ(s.tiles, (std::vector<Tile>{Tile::Empty, Tile::Empty, Tile::Empty, Tile::Empty}));
  s.tiles[1] = Tile::Block;
  s.SetWidth(3);
  EXPECT_EQ(s.tiles[1], Tile::Block);
  EXPECT_EQ(s.tiles[4], Tile::Empty);
}

TEST(MapRows, SetOnlyCellsOnTheMapAndKnownCharacters) {
  State s;
  s.SetWidth(4);
  s.SetHeight(2);
  s.SetRow(0, "#+.#X");  // fifth character is off the map
  s.SetRow(1, "+?\r");   // unknown characters leave cells alone
  s.SetRow(2, "####");   // beyond the height
  s.SetRow(-1, "####");
  EXPECT_EQ(s.tiles, (std::vector<Tile>{Tile::Block, Tile::Wall, Tile::Empty, Tile::Block,  //
                                        Tile::Wall, Tile::Empty, Tile::Empty, Tile::Empty}));
  s.SetRow(0, "..");  // a short row keeps the rest
  EXPECT_EQ(s.tiles[3], Tile::Block);
}

// The count of Block tiles follows every way the reader changes the map.
TEST(Blocks, CountFollowsRowsAndResizing) {
  struct Step {
    char what;  // 'r' row 0, 's' row 1, 'w' width, 'h' height
    int value;
    const char* row;
  };
  State s;
  const Step steps[] = {
      {'h', 2, ""},     {'w', 4, ""},    {'r', 0, "##.#"}, {'s', 0, "#?##X"},
      {'r', 0, "#+"},   {'w', 3, ""},    {'h', 1, ""},     {'w', 8, ""},
      {'r', 0, "...#"}, {'h', 4097, ""}, {'h', 3, ""},     {'s', 0, "########"},
  };
  for (const Step& step : steps) {
    if (step.what == 'r')
      s.SetRow(0, step.row);
    if (step.what == 's')
      s.SetRow(1, step.row);
    if (step.what == 'w')
      s.SetWidth(step.value);
    if (step.what == 'h')
      s.SetHeight(step.value);
    const State counted = [&] {
      State c = s;
      c.RecountBlocks();
      return c;
    }();
    ASSERT_EQ(s.Blocks(), counted.Blocks()) << step.what << " " << step.value << " " << step.row;
  }
  EXPECT_EQ(s.Blocks(), 8);
}

TEST(Blocks, RecountAfterWritingTilesDirectly) {
  State s;
  s.width = 3;
  s.height = 1;
  s.tiles = {Tile::Block, Tile::Wall, Tile::Block};
  EXPECT_EQ(s.Blocks(), 0);
  s.RecountBlocks();
  EXPECT_EQ(s.Blocks(), 2);
}

TEST(State, EqualityIgnoresTheDerivedCount) {
  State s;
  s.width = 1;
  s.height = 1;
  s.tiles = {Tile::Block};
  State counted = s;
  counted.RecountBlocks();
  EXPECT_EQ(s, counted);
}

TEST(BombsSection, ManyBombsAndBombsAddedByHand) {
  State s;
  s.BeginBombs();
  for (int i = 0; i < 5000; ++i)
    s.MergeBomb(i % 100, i / 100, i % 7);
  s.bombs.push_back({3, -5, -5, 2});  // not through the section: still found
  s.MergeBomb(-5, -5, 4);
  s.MergeBomb(99, 49, 1);
  s.EndBombs();
  ASSERT_EQ(s.bombs.size(), 5001u);
  EXPECT_EQ(s.bombs[4999], (Bomb{-2, 99, 49, 1}));
  EXPECT_EQ(s.bombs[5000], (Bomb{3, -5, -5, 4}));
}

TEST(EndRound, EmptiesPlayersAndBombsButKeepsTheMap) {
  State s;
  s.SetWidth(2);
  s.SetHeight(1);
  s.SetRow(0, "#+");
  PlayersSection(s, {{1, 0, 0}});
  BombsSection(s, {{0, 0, 3}});
  s.EndMap();
  s.EndMap();
  s.EndRound();
  EXPECT_TRUE(s.players.empty());
  EXPECT_TRUE(s.bombs.empty());
  EXPECT_EQ(s.tick, 0);
  EXPECT_EQ(s.tiles, (std::vector<Tile>{Tile::Block, Tile::Wall}));
  s.EndMap();
  EXPECT_EQ(s.tick, 1);
}

TEST(EndMap, TickWrapsInsteadOfOverflowing) {
  State s;
  s.tick = 2147483647;
  s.EndMap();
  EXPECT_EQ(s.tick, -2147483647 - 1);
}

}  // namespace
