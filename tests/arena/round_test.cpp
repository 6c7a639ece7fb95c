#include <gtest/gtest.h>

#include <algorithm>

#include "rules/round.h"

using arena::Cell;
using arena::Command;
using arena::Death;
using arena::Round;
using arena::Tile;

namespace {

Round MakeRound(const std::string& rows, const std::vector<Cell>& starts) {
  arena::ParsedBoard parsed = arena::ParseBoard(rows);
  EXPECT_TRUE(parsed.board) << parsed.error;
  return Round(std::move(*parsed.board), starts);
}

// A 9x7 room with a wall and a block in the middle row.
const std::string kRoom =
    "+++++++++\n"
    "+.......+\n"
    "+.......+\n"
    "+..+.#..+\n"
    "+.......+\n"
    "+.......+\n"
    "+++++++++\n";

struct MoveCase {
  const char* name;
  Cell start;
  Command command;
  Cell expected;
};

TEST(RoundMove, OneStepOntoFreeFloorOnly) {
  const MoveCase cases[] = {
      {"up", {4, 2}, Command::Up, {4, 1}},
      {"down", {4, 2}, Command::Down, {4, 3}},
      {"left", {4, 2}, Command::Left, {3, 2}},
      {"right", {4, 2}, Command::Right, {5, 2}},
      {"stay", {4, 2}, Command::Stay, {4, 2}},
      {"into the border wall", {1, 1}, Command::Up, {1, 1}},
      {"into an inner wall", {3, 2}, Command::Down, {3, 2}},
      {"into a block", {5, 2}, Command::Down, {5, 2}},
      {"onto the other player", {6, 5}, Command::Right, {6, 5}},
  };
  for (const MoveCase& c : cases) {
    Round r = MakeRound(kRoom, {c.start, {7, 5}});
    r.Step({c.command});
    EXPECT_EQ(r.Players()[0].at, c.expected) << c.name;
  }
}

TEST(RoundMove, OffTheMapIsRefused) {
  Round r = MakeRound("...\n...\n", {{0, 0}, {2, 1}});
  r.Step({Command::Up, Command::Right});
  EXPECT_EQ(r.Players()[0].at, (Cell{0, 0}));
  EXPECT_EQ(r.Players()[1].at, (Cell{2, 1}));
  r.Step({Command::Left, Command::Down});
  EXPECT_EQ(r.Players()[0].at, (Cell{0, 0}));
  EXPECT_EQ(r.Players()[1].at, (Cell{2, 1}));
}

TEST(RoundMove, PlayersActInIdOrderSeeingEarlierMoves) {
  // 0 leaves its cell first, so 1 may take it.
  Round follow = MakeRound(kRoom, {{2, 1}, {1, 1}});
  follow.Step({Command::Right, Command::Right});
  EXPECT_EQ(follow.Players()[0].at, (Cell{3, 1}));
  EXPECT_EQ(follow.Players()[1].at, (Cell{2, 1}));
  // 1 would leave only after 0 has tried, so 0 is refused.
  Round lead = MakeRound(kRoom, {{1, 1}, {2, 1}});
  lead.Step({Command::Right, Command::Right});
  EXPECT_EQ(lead.Players()[0].at, (Cell{1, 1}));
  EXPECT_EQ(lead.Players()[1].at, (Cell{3, 1}));
  // Both aim at one cell: the lower id gets it.
  Round race = MakeRound(kRoom, {{1, 1}, {3, 1}});
  race.Step({Command::Right, Command::Left});
  EXPECT_EQ(race.Players()[0].at, (Cell{2, 1}));
  EXPECT_EQ(race.Players()[1].at, (Cell{3, 1}));
}

TEST(RoundBomb, TimerCountsFiveToOneThenExplodes) {
  Round r = MakeRound(kRoom, {{1, 1}, {7, 5}});
  r.Step({Command::Bomb});
  std::vector<int> seen;
  for (int i = 0; i < 10 && !r.Bombs().empty(); ++i) {
    seen.push_back(r.Bombs()[0].timer);
    r.Step({i == 0 ? Command::Right : Command::Down});
  }
  EXPECT_EQ(seen, (std::vector<int>{5, 4, 3, 2, 1}));
  EXPECT_TRUE(r.Bombs().empty());
}

TEST(RoundBomb, OneLiveBombPerPlayerAndBombsBlockMoves) {
  Round r = MakeRound(kRoom, {{1, 1}, {3, 1}});
  r.Step({Command::Bomb, Command::Bomb});
  ASSERT_EQ(r.Bombs().size(), 2u);
  r.Step({Command::Right, Command::Down});
  r.Step({Command::Bomb, Command::Up});  // no second bomb; no way back onto its own
  ASSERT_EQ(r.Bombs().size(), 2u);
  EXPECT_EQ(r.Players()[0].at, (Cell{2, 1}));
  EXPECT_EQ(r.Players()[1].at, (Cell{3, 2}));
  r.Step({Command::Left});  // onto its own bomb
  EXPECT_EQ(r.Players()[0].at, (Cell{2, 1}));
  r.Step({Command::Right});  // onto the other player's bomb
  EXPECT_EQ(r.Players()[0].at, (Cell{2, 1}));
}

TEST(RoundBomb, AnotherBombAfterTheFirstHasGone) {
  Round r = MakeRound(kRoom, {{1, 5}, {7, 1}});
  r.Step({Command::Bomb});
  const Command away[] = {Command::Right, Command::Right, Command::Right, Command::Up,
                          Command::Stay};
  for (const Command c : away) {
    r.Step({c});
  }
  ASSERT_TRUE(r.Bombs().empty());
  ASSERT_TRUE(r.Players()[0].alive);
  r.Step({Command::Bomb});
  ASSERT_EQ(r.Bombs().size(), 1u);
  EXPECT_EQ(r.Bombs()[0].at, (Cell{4, 4}));
}

// A round whose only bomb (owner 0, at `bomb`) goes off in the next Step.
Round Primed(const std::string& rows, Cell bomb, const std::vector<Cell>& players) {
  std::vector<Cell> starts = players;
  starts.insert(starts.begin(), bomb);
  Round r = MakeRound(rows, starts);
  std::vector<Command> none(starts.size(), Command::Stay);
  std::vector<Command> drop = none;
  drop[0] = Command::Bomb;
  r.Step(drop);
  r.Withdraw(0);  // the bomber leaves; its bomb stays
  for (int i = 0; i < 4; ++i) {
    r.Step(none);
  }
  return r;
}

TEST(RoundBlast, ReachTwoWallsStopBlocksBreakAndStop) {
  // Bomb at (4,2): each arm covers two cells; the border wall ends the up arm.
  struct Case {
    Cell victim;
    bool dies;
  };
  const Case cases[] = {
      {{4, 1}, true},  {{4, 3}, true}, {{4, 4}, true},  {{4, 5}, false}, {{2, 2}, true},
      {{1, 2}, false}, {{6, 2}, true}, {{7, 2}, false}, {{3, 1}, false},
  };
  for (const Case& c : cases) {
    Round r = Primed(kRoom, {4, 2}, {c.victim, {7, 5}});
    const arena::TickOutcome out = r.Step({});
    EXPECT_EQ(!r.Players()[1].alive, c.dies) << c.victim.x << "," << c.victim.y;
    if (c.dies) {
      EXPECT_EQ(out.deaths, (std::vector<Death>{{1, 0}}));
    }
  }
}

TEST(RoundBlast, WallShieldsAndBlockIsDestroyedButShields) {
  Round r = Primed(
      "+++++++\n"
      "+..+..+\n"
      "+.....+\n"
      "+..#..+\n"
      "+.....+\n"
      "+++++++\n",
      {3, 2}, {{5, 1}, {3, 4}, {5, 4}});
  const arena::TickOutcome out = r.Step({});
  // Up arm: (3,1) is a wall, nothing above it matters. Down arm: the block at
  // (3,3) breaks and shields the player at (3,4).
  EXPECT_EQ(r.GetBoard().At({3, 1}), Tile::Wall);
  EXPECT_EQ(r.GetBoard().At({3, 3}), Tile::Floor);
  EXPECT_TRUE(r.Players()[2].alive);
  EXPECT_TRUE(r.Players()[1].alive);
  EXPECT_TRUE(out.deaths.empty());
  EXPECT_NE(std::find(out.blasts.begin(), out.blasts.end(), Cell{3, 3}), out.blasts.end());
  EXPECT_EQ(std::find(out.blasts.begin(), out.blasts.end(), Cell{3, 4}), out.blasts.end());
  EXPECT_EQ(std::find(out.blasts.begin(), out.blasts.end(), Cell{3, 1}), out.blasts.end());
}

TEST(RoundBlast, ChainSetsOffOtherBombsInTheSameTickWithTheirOwnersKills) {
  // 0's bomb at (1,1) goes off first and reaches 1's younger bomb at (3,1),
  // whose right arm alone reaches player 2 at (5,1).
  Round r = MakeRound(kRoom, {{1, 1}, {3, 1}, {5, 1}, {7, 5}});
  r.Step({Command::Bomb});
  r.Step({Command::Down});
  r.Step({Command::Down, Command::Bomb});
  r.Step({Command::Down, Command::Down});
  r.Step({Command::Stay, Command::Right});
  ASSERT_EQ(r.Bombs().size(), 2u);
  EXPECT_EQ(r.Bombs()[0].timer, 1);
  EXPECT_EQ(r.Bombs()[1].timer, 3);
  const arena::TickOutcome out = r.Step({});
  EXPECT_TRUE(r.Bombs().empty());
  EXPECT_EQ(out.deaths, (std::vector<Death>{{2, 1}}));
  EXPECT_TRUE(r.Players()[0].alive);
  EXPECT_TRUE(r.Players()[1].alive);
  for (const Cell c : {Cell{1, 3}, Cell{3, 2}, Cell{5, 1}}) {
    EXPECT_NE(std::find(out.blasts.begin(), out.blasts.end(), c), out.blasts.end()) << c.x;
  }
}

TEST(RoundBlast, OwnBombIsASuicideAndOneBlastKillsSeveral) {
  Round r = MakeRound(kRoom, {{1, 1}, {2, 1}, {7, 5}});
  r.Step({Command::Bomb, Command::Right});
  for (int i = 0; i < 4; ++i) {
    r.Step({});
  }
  const arena::TickOutcome out = r.Step({});
  EXPECT_EQ(out.deaths, (std::vector<Death>{{0, 0}, {1, 0}}));
  EXPECT_FALSE(r.Players()[0].alive);
  EXPECT_FALSE(r.Players()[1].alive);
  // The dead no longer act: no bomb, no move.
  r.Step({Command::Bomb, Command::Down});
  EXPECT_TRUE(r.Bombs().empty());
  EXPECT_EQ(r.Players()[1].at, (Cell{3, 1}));
}

TEST(RoundEnd, LoneSurvivorWinsMaxTicksEndsADraw) {
  Round r = MakeRound(kRoom, {{1, 1}, {7, 5}, {1, 5}});
  EXPECT_FALSE(r.Over(3));
  r.Withdraw(2);
  EXPECT_FALSE(r.Over(3));
  EXPECT_EQ(r.Winner(), std::nullopt);
  r.Step({});
  r.Step({});
  EXPECT_FALSE(r.Over(3));
  r.Step({});
  EXPECT_TRUE(r.Over(3));
  EXPECT_EQ(r.Winner(), std::nullopt);

  Round duel = MakeRound(kRoom, {{1, 1}, {7, 5}});
  duel.Withdraw(0);
  EXPECT_TRUE(duel.Over(400));
  EXPECT_EQ(duel.Winner(), 1);

  Round none = MakeRound(kRoom, {{1, 1}, {2, 1}});
  none.Step({Command::Bomb});
  for (int i = 0; i < 5; ++i) {
    none.Step({});
  }
  EXPECT_TRUE(none.Over(400));
  EXPECT_EQ(none.AliveCount(), 0);
  EXPECT_EQ(none.Winner(), std::nullopt);
}

}  // namespace
