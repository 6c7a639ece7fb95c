#include <gtest/gtest.h>

#include <algorithm>

#include "server/match.h"

using arena::Command;
using arena::Match;
using arena::MatchOptions;

namespace {

// 7x5, both spawns known: (1,1) and (5,3).
const char* kRoom =
    "+++++++\n"
    "+.....+\n"
    "+.+.+.+\n"
    "+.....+\n"
    "+++++++\n";

MatchOptions FixedMap(int players, int rounds) {
  MatchOptions o;
  o.players = players;
  o.rounds = rounds;
  o.maxTicks = 50;
  o.map = arena::ParseBoard(kRoom).board;
  return o;
}

TEST(MatchStatusBlock, ExactLinesForEachSeat) {
  Match m(FixedMap(2, 1));
  m.StartRound();
  const std::string map = "MAP\n+++++++\n+.....+\n+.+.+.+\n+.....+\n+++++++\nENDMAP\n";
  EXPECT_EQ(m.StatusBlock(0),
            "PLAYERS\n1 5,3\nENDPLAYERS\nBOMBS\nENDBOMBS\nX 1\nY 1\nWIDTH 7\n"
            "HEIGHT 5\n" +
                map);
  EXPECT_EQ(m.StatusBlock(1),
            "PLAYERS\n0 1,1\nENDPLAYERS\nBOMBS\nENDBOMBS\nX 5\nY 3\nWIDTH 7\n"
            "HEIGHT 5\n" +
                map);
  m.Play(0, Command::Bomb);
  m.Play(1, Command::Up);
  m.Step();
  EXPECT_EQ(m.StatusBlock(1),
            "PLAYERS\n0 1,1\nENDPLAYERS\nBOMBS\n1,1 5\nENDBOMBS\nX 5\nY 2\n"
            "WIDTH 7\nHEIGHT 5\n" +
                map);
}

TEST(MatchStatusBlock, DeadAndGonePlayersAreNotListed) {
  Match m(FixedMap(3, 1));
  m.StartRound();
  m.Leave(2);
  EXPECT_EQ(m.StatusBlock(0).substr(0, 25), "PLAYERS\n1 5,3\nENDPLAYERS\n");
}

TEST(MatchPlay, LastCommandOfATickCountsAndAllAreCounted) {
  Match m(FixedMap(2, 1));
  m.StartRound();
  m.Play(0, Command::Bomb);
  m.Play(0, Command::Right);
  m.Step();
  const arena::Snapshot s = m.TakeSnapshot();
  EXPECT_TRUE(s.bombs.empty());
  EXPECT_EQ(s.players[0].x, 2);
  EXPECT_EQ(s.players[0].command, "RIGHT");
  EXPECT_EQ(s.players[1].command, "");
  EXPECT_EQ(m.Standings()[0].commands, 2);
  // Nothing carries over into the next tick.
  m.Step();
  EXPECT_EQ(m.TakeSnapshot().players[0].x, 2);
}

TEST(MatchStandings, KillsDeathsSuicidesWinsAndDisconnects) {
  Match m(FixedMap(3, 2));
  m.SetName(0, "bomber");
  m.SetName(1, "\x1b[2Jsneaky\n");
  m.StartRound();  // seat 0 (1,1), seat 1 (5,3), seat 2 (5,1)
  // Seat 2 walks into seat 0's blast while seat 0 stays on its bomb.
  m.Play(0, Command::Bomb);
  m.Play(2, Command::Left);
  m.Step();
  m.Play(2, Command::Left);
  m.Step();
  m.Play(2, Command::Left);
  m.Step();
  m.Step();
  m.Step();
  ASSERT_FALSE(m.RoundOver());
  const arena::TickOutcome out = m.Step();
  EXPECT_EQ(out.deaths, (std::vector<arena::Death>{{0, 0}, {2, 0}}));
  ASSERT_TRUE(m.RoundOver());
  const arena::Snapshot s = m.TakeSnapshot();
  EXPECT_TRUE(s.roundOver);
  EXPECT_EQ(s.winner, 1);
  EXPECT_EQ(s.players[1].wins, 1);
  EXPECT_EQ(s.players[1].name, "[2Jsneaky");
  EXPECT_FALSE(m.Finished());

  m.StartRound();
  m.Leave(1);
  m.Leave(1);
  m.Leave(0);
  m.Ignore(2);
  // The last round ends as the others leave, not at the next tick.
  EXPECT_TRUE(m.Finished());
  EXPECT_EQ(m.TakeSnapshot().winner, 2);
  const std::vector<arena::Standing> expected = {
      {"bomber", 0, 1, 1, 1, 1, 0, 1},
      {"[2Jsneaky", 1, 0, 0, 0, 0, 0, 1},
      {"player2", 1, 0, 1, 0, 3, 1, 0},
  };
  EXPECT_EQ(m.Standings(), expected);
}

TEST(MatchRounds, SeatsRotateOverTheSpawns) {
  Match m(FixedMap(2, 3));
  std::vector<std::pair<int, int>> seat0;
  for (int round = 0; round < 3; ++round) {
    m.StartRound();
    const arena::Snapshot s = m.TakeSnapshot();
    seat0.emplace_back(s.players[0].x, s.players[0].y);
    EXPECT_EQ(s.round, round + 1);
    EXPECT_EQ(s.tick, 0);
  }
  EXPECT_EQ(seat0, (std::vector<std::pair<int, int>>{{1, 1}, {5, 3}, {1, 1}}));
}

TEST(MatchRounds, FinishedWhenEveryoneHasLeft) {
  Match m(FixedMap(2, 5));
  m.StartRound();
  m.Leave(0);
  EXPECT_FALSE(m.Finished());
  m.Leave(1);
  EXPECT_TRUE(m.Finished());
}

TEST(MatchChat, CleanedCutAndHandedOverOnce) {
  Match m(FixedMap(2, 1));
  m.StartRound();
  m.Say(1, "hi\tthere\x7f");
  m.Say(0, std::string(150, 'x'));
  m.Step();
  const arena::Snapshot s = m.TakeSnapshot();
  ASSERT_EQ(s.chat.size(), 2u);
  EXPECT_EQ(s.chat[0].id, 1);
  EXPECT_EQ(s.chat[0].text, "hithere");
  EXPECT_EQ(s.chat[1].text, std::string(100, 'x'));
  EXPECT_TRUE(m.TakeSnapshot().chat.empty());
}

TEST(MatchDeterminism, SameSeedAndCommandsSameGame) {
  auto play = [](std::uint64_t seed) {
    MatchOptions o;
    o.players = 4;
    o.rounds = 2;
    o.maxTicks = 30;
    o.seed = seed;
    Match m(o);
    std::vector<arena::Snapshot> game;
    std::mt19937 commands(5);
    for (int round = 0; round < 2; ++round) {
      m.StartRound();
      game.push_back(m.TakeSnapshot());
      while (!m.RoundOver()) {
        for (int seat = 0; seat < 4; ++seat) {
          m.Play(seat, static_cast<Command>(commands() % 6));
        }
        m.Step();
        game.push_back(m.TakeSnapshot());
      }
    }
    return game;
  };
  const auto first = play(9);
  EXPECT_EQ(first, play(9));
  EXPECT_NE(first, play(10));
  const auto second = std::find_if(first.begin(), first.end(),
                                   [](const arena::Snapshot& s) { return s.round == 2; });
  ASSERT_NE(second, first.end());
  EXPECT_EQ(second->tick, 0);
  EXPECT_NE(first.front().rows, second->rows);  // a fresh map each round
}

}  // namespace
