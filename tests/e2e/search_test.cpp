// The real bot with the search switched on: the switch's values, and a game
// in which only the search's line survives.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>

#include "bot_process.h"

namespace {

class SearchSwitch : public ::testing::Test {
 protected:
  void TearDown() override { unsetenv("MARROWLARK_SEARCH_MS"); }
};

TEST_F(SearchSwitch, InvalidValuesAreRefusedBeforeAnythingElse) {
  for (const char* value : {"", "abc", "-3", "1001", "10ms"}) {
    setenv("MARROWLARK_SEARCH_MS", value, 1);
    const BotRun run = RunBot({"127", "0", "5", "10"});
    EXPECT_EQ(run.out, "") << value;
    EXPECT_NE(run.err.find("MARROWLARK_SEARCH_MS"), std::string::npos) << value;
    EXPECT_EQ(run.status, 2) << value;
  }
}

// Its own bomb is due next tick, one step along a corridor that runs on into
// a dead end; the way out is up. Each tick keeps the default's shape, with
// the search's line before the choice.
TEST_F(SearchSwitch, FleesRoundTheCornerWithTheDefaultsLines) {
  setenv("MARROWLARK_SEARCH_MS", "20", 1);
  ScriptedServer server;
  server.address = "127.0.5.11";
  const std::string block =
      "PLAYERS\nENDPLAYERS\nBOMBS\n3,3 1\nENDBOMBS\nX 2\nY 3\nWIDTH 7\nHEIGHT 5\nMAP\n"
      "+++++++\n++.++++\n++.++++\n+.....+\n+++++++\nENDMAP\n";
  // The goodbye comes later: a block already followed by more is skipped.
  server.stream = block + "DISCONNECT\n";
  server.chunk = block.size();
  server.pause = std::chrono::milliseconds(300);
  const BotRun run = PlayAgainst(server);
  EXPECT_EQ(run.sent, "NAME Marrowlark\nUP\n");
  const std::regex shape(
      "Networking started\nConnection created\nClient created\n"
      "(Evaluated: -?\\d+,-?\\d+ : -?\\d+\n){6}"
      "Search: depth \\d+, \\d+ ticks, line UP( (STAY|UP|DOWN|LEFT|RIGHT|BOMB))*\nBest: 1 : "
      "-?\\d+\nTime: \\d+\nTick: 1\n"
      "Connection closed\nNetworking stopped\nClient destroyed\n");
  EXPECT_TRUE(std::regex_match(run.out, shape)) << run.out;
  EXPECT_EQ(run.status, 0);
}

}  // namespace
