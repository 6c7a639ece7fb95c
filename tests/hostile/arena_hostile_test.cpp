// The real arena against clients that misbehave: a flood of lines, a 1 MiB
// line, a client that never reads, one that says nothing, one that vanishes
// in the middle of a tick. The two calm clients must get every tick of the
// game on time, and the arena must end it normally.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "arena_game.h"

namespace {

using namespace std::chrono_literals;

constexpr int kRounds = 2;
constexpr int kTicks = 30;
const std::vector<std::string> kGame = {
    "--rounds", std::to_string(kRounds), "--max-ticks", std::to_string(kTicks), "--tick-ms", "20"};

// Plays the game with `hostile` in the third seat and expects it to have
// gone on for the calm clients: every block of both rounds, none late by more
// than a fraction of a second, and a normal goodbye. The hostile seat's row
// of the results table comes back.
Results PlayAgainst(int host, const HostileClient& hostile,
                    const std::vector<std::string>& extra = {}) {
  std::vector<std::string> arguments = kGame;
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  const ArenaRun run = PlayArena(host, hostile, arguments);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.status, 0) << run.out;
  for (const CalmLog& calm : run.calm) {
    EXPECT_EQ(calm.blocks, kRounds * kTicks);
    EXPECT_EQ(calm.rounds, kRounds);
    EXPECT_TRUE(calm.goodbye);
    EXPECT_LT(calm.longestWait, 1000ms);
  }
  Results results = HostileResults(run.out);
  EXPECT_EQ(results.numbers.size(), 7u) << run.out;
  results.numbers.resize(7, -1);  // so the callers' checks fail, not crash
  return results;
}

enum Column { kCommands = 4, kIgnored = 5, kDisconnects = 6 };

TEST(HostileClient, FloodOfLines) {
  HostileClient flood;
  flood.script = [](HostilePeer& peer) {
    peer.Send("NAME hostile\n");
    peer.Flood("JUNK\nSAY flood\nUP\n", 32u << 20);
  };
  flood.holdToTheEnd = true;
  const Results hostile = PlayAgainst(101, flood);
  ASSERT_EQ(hostile.name, "hostile");
  EXPECT_GT(hostile.numbers[kIgnored], 1000);
}

TEST(HostileClient, OneMebibyteLineIsDroppedAndTheNextLineCounts) {
  HostileClient big;
  big.script = [](HostilePeer& peer) {
    peer.Send("NAME hostile\n");
    peer.AwaitReceived(1);  // the game has begun
    peer.Send(std::string(1u << 20, 'U') + "\nUP\n");
  };
  big.holdToTheEnd = true;
  const Results hostile = PlayAgainst(102, big);
  ASSERT_EQ(hostile.name, "hostile");
  EXPECT_EQ(hostile.numbers[kIgnored], 1);
  EXPECT_EQ(hostile.numbers[kCommands], 1);
  EXPECT_EQ(hostile.numbers[kDisconnects], 0);
}

// Large maps and a tiny receive window: the arena's output for this client
// passes its 1 MiB cap within a few ticks, and the client is let go.
TEST(HostileClient, NeverReadsAndIsDisconnected) {
  HostileClient deaf;
  deaf.receiveBuffer = 4096;
  deaf.script = [](HostilePeer& peer) { peer.Send("NAME hostile\n"); };
  deaf.holdToTheEnd = true;
  const Results hostile = PlayAgainst(103, deaf, {"--size", "255x255"});
  ASSERT_EQ(hostile.name, "hostile");
  EXPECT_EQ(hostile.numbers[kDisconnects], 1);
}

TEST(HostileClient, ConnectsAndSaysNothing) {
  HostileClient silent;
  silent.script = [](HostilePeer&) {};
  silent.holdToTheEnd = true;
  const Results hostile = PlayAgainst(104, silent);
  EXPECT_EQ(hostile.name.rfind("player", 0), 0u);
  EXPECT_EQ(hostile.numbers, (std::vector<int>{0, 0, 0, 0, 0, 0, 0}));
}

TEST(HostileClient, VanishesInTheMiddleOfATick) {
  HostileClient gone;
  gone.script = [](HostilePeer& peer) {
    peer.Send("NAME hostile\n");
    peer.AwaitReceived(1000);  // a few blocks into the game
    peer.Send("LEF");
    peer.Reset();
  };
  const Results hostile = PlayAgainst(105, gone);
  ASSERT_EQ(hostile.name, "hostile");
  EXPECT_EQ(hostile.numbers[kDisconnects], 1);
}

}  // namespace
