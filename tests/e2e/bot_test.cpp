// The real bot binary against scripted servers on loopback: what a user sees
// on standard output, the bytes the server receives and the exit status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bot_process.h"

namespace {

const std::string kStartup = "Networking started\nConnection created\nClient created\n";
const std::string kTeardown = "Connection closed\nNetworking stopped\nClient destroyed\n";
const std::string kName = "NAME Marrowlark\n";

// One status block: the bot at (x, y) on the given rows, with bombs given as
// "x,y timer" lines and other players as "id x,y" lines.
std::string Block(int x, int y, const std::vector<std::string>& rows,
                  const std::vector<std::string>& bombs = {},
                  const std::vector<std::string>& players = {}) {
  std::string block = "PLAYERS\n";
  for (const std::string& p : players)
    block += p + "\n";
  block += "ENDPLAYERS\nBOMBS\n";
  for (const std::string& b : bombs)
    block += b + "\n";
  block += "ENDBOMBS\nX " + std::to_string(x) + "\nY " + std::to_string(y) + "\n";
  block += "WIDTH " + std::to_string(rows.empty() ? 0 : rows[0].size()) + "\n";
  block += "HEIGHT " + std::to_string(rows.size()) + "\nMAP\n";
  for (const std::string& r : rows)
    block += r + "\n";
  return block + "ENDMAP\n";
}

const std::vector<std::string> kOpen5 = {".....", ".....", ".....", ".....", "....."};

// The six lines of the bot alone in the middle of an open 5 x 5 map: staying
// keeps the safe centre (500); a move costs distance (498); a bomb puts the
// bot in its own cross (300).
std::string OpenCentreTick(int tick) {
  return "Evaluated: 2,2 : 500\nEvaluated: 2,1 : 498\nEvaluated: 2,3 : 498\n"
         "Evaluated: 1,2 : 498\nEvaluated: 3,2 : 498\nEvaluated: 2,2 : 300\n"
         "Best: 0 : 500\nTime: #\nTick: " +
         std::to_string(tick) + "\n";
}

std::string Repeat(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i)
    all += text;
  return all;
}

TEST(Usage, FewerThanFourNumbers) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"127", "0", "0"}}) {
    const BotRun run = RunBot(args);
    EXPECT_EQ(run.out, "Marrowlark 127 0 0 1");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 255);  // -1
  }
}

TEST(Connect, NobodyListeningIsAFailureWithTheSixLines) {
  const BotRun run = RunBot({"127", "0", "0", "9"});
  EXPECT_EQ(run.out, kStartup + kTeardown);
  EXPECT_EQ(run.err.rfind("Connection failed: ", 0), 0u) << run.err;
  EXPECT_EQ(run.err.back(), '\n');
  EXPECT_EQ(run.status, 1);
}

TEST(Game, SeveralTicksOnAnOpenMap) {
  ScriptedServer server;
  server.address = "127.0.0.2";
  server.stream = Repeat(Block(2, 2, kOpen5), 3) + "DISCONNECT\n";
  const BotRun run = PlayAgainst(server);
  EXPECT_EQ(MaskTimes(run.out),
            kStartup + OpenCentreTick(1) + OpenCentreTick(2) + OpenCentreTick(3) + kTeardown);
  EXPECT_EQ(run.sent, kName);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
}

TEST(Game, OddChunksGiveTheSameGame) {
  ScriptedServer server;
  server.address = "127.0.0.3";
  server.chunk = 7;
  server.stream = Repeat(Block(2, 2, kOpen5), 3);
  const BotRun run = PlayAgainst(server);
  EXPECT_EQ(MaskTimes(run.out),
            kStartup + OpenCentreTick(1) + OpenCentreTick(2) + OpenCentreTick(3) + kTeardown);
  EXPECT_EQ(run.status, 0);
}

TEST(Game, DisconnectBeforeTheFirstMap) {
  ScriptedServer server;
  server.address = "127.0.0.4";
  server.stream = "PLAYERS\n1 1,1\nENDPLAYERS\nX 1\nWIDTH 5\n";
  const BotRun run = PlayAgainst(server);
  EXPECT_EQ(run.out, kStartup + kTeardown);
  EXPECT_EQ(run.sent, kName);
  EXPECT_EQ(run.status, 0);
}

TEST(Game, DisconnectInsideAMapPlaysThePartialMap) {
  ScriptedServer server;
  server.address = "127.0.0.5";
  const std::string full = Block(2, 2, kOpen5);
  // Cut after the third row: the rows so far (all open) make the tick.
  server.stream = full + full.substr(0, full.find(".....\n.....\n.....\n") + 18);
  const BotRun run = PlayAgainst(server);
  EXPECT_EQ(MaskTimes(run.out), kStartup + OpenCentreTick(1) + OpenCentreTick(2) + kTeardown);
  EXPECT_EQ(run.status, 0);
}

// Walled in at the end of a row, with its own bomb ticking far away: no move
// and no second bomb is possible, so all six candidates score alike and the
// bot stays without sending anything.
TEST(Choice, SixEqualScoresStay) {
  ScriptedServer server;
  server.address = "127.0.0.8";
  server.stream = Block(0, 0, {"......."}, {"0,0 5"}) + Block(6, 0, {".....+."}, {"0,0 4"});
  const BotRun run = PlayAgainst(server);
  ASSERT_EQ(run.status, 0);
  const std::string secondTick =
      "Evaluated: 6,0 : -12\nEvaluated: 6,0 : -12\nEvaluated: 6,0 : -12\n"
      "Evaluated: 6,0 : -12\nEvaluated: 6,0 : -12\nEvaluated: 6,0 : -12\n"
      "Best: 0 : -12\nTime: #\nTick: 2\n";
  EXPECT_NE(MaskTimes(run.out).find(secondTick + kTeardown), std::string::npos) << run.out;
  // Only the first tick, on the fresh bomb at the end of the row, is hopeless.
  EXPECT_EQ(run.sent, kName + "SAY D:\n");
}

// Moving left and dropping a bomb both score 130; the earlier command wins.
TEST(Choice, TieGoesToTheEarlierCommand) {
  ScriptedServer server;
  server.address = "127.0.0.10";
  server.stream = Block(3, 1, {".+.+.", "#...."}, {}, {"0 0,1"});
  const BotRun run = PlayAgainst(server);
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(MaskTimes(run.out), kStartup +
                                    "Evaluated: 3,1 : 30\nEvaluated: 3,1 : 30\n"
                                    "Evaluated: 3,1 : 30\nEvaluated: 2,1 : 130\n"
                                    "Evaluated: 4,1 : 36\nEvaluated: 3,1 : 130\n"
                                    "Best: 3 : 130\nTime: #\nTick: 1\n" +
                                    kTeardown);
  EXPECT_EQ(run.sent, kName + "LEFT\n");
}

TEST(Taunts, IdleLineAtMostOnceInTwentyTicksAndResetByANewRound) {
  ScriptedServer server;
  server.address = "127.0.0.6";
  // 45 ticks, a round end, then 25 ticks of the new round.
  server.stream =
      Repeat(Block(2, 2, kOpen5), 45) + "ENDOFROUND\n" + Repeat(Block(2, 2, kOpen5), 25);
  const BotRun run = PlayAgainst(server);
  ASSERT_EQ(run.status, 0);
  // Ticks 20 and 40 say a line; after the round end tick 1 lowers the pace
  // counter silently, so the next line is at tick 21. glibc's unseeded rand()
  // gives 1804289383, 846930886, 1681692777: indices 7, 6, 1.
  EXPECT_EQ(run.sent, kName +
                          "SAY Comon! I'm waiting!\n"
                          "SAY Some people just want to see the world splode\n"
                          "SAY What are you waiting for?\n");
  EXPECT_NE(run.out.find("Tick: 45\nENDOFROUND\nEvaluated: "), std::string::npos);
}

// The pace of the idle line to the tick: 19 quiet ticks say nothing, the
// 20th says the first line.
TEST(Taunts, IdleLineOnExactlyTheTwentiethQuietTick) {
  const SteppedRun run = PlaySteps("127.0.0.12", {{Repeat(Block(2, 2, kOpen5), 19), "Tick: 19\n"},
                                                  {Block(2, 2, kOpen5), "Tick: 20\n"}});
  ASSERT_EQ(run.outs.size(), 2u);
  EXPECT_TRUE(run.outs[1].ends_with("Tick: 20\n")) << run.outs[1];
  EXPECT_EQ(run.sents, (std::vector<std::string>{kName, kName + "SAY Comon! I'm waiting!\n"}));
  EXPECT_EQ(run.status, 0);
}

// Boxed into a 1 x 1 map on its own fresh bomb, the bot cannot escape: every
// candidate scores below -10000 (the same: moves and a second bomb are
// refused), so it stays, reports -10000 and says a doom line every tick.
TEST(Taunts, DoomLineEveryHopelessTick) {
  ScriptedServer server;
  server.address = "127.0.0.7";
  server.stream =
      Block(0, 0, {"."}, {"0,0 5"}) + Block(0, 0, {"."}, {"0,0 4"}) + Block(0, 0, {"."}, {"0,0 3"});
  const BotRun run = PlayAgainst(server);
  ASSERT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("Best: 0 : -10000\nTime: "), std::string::npos);
  // rand() % 3 for glibc's first three values: 1, 1, 0.
  EXPECT_EQ(run.sent, kName + "SAY D:\nSAY D:\nSAY I'm so ****ed\n");
}

// Between two bombs with an opponent on its cell, the bot's best is to stay
// at exactly -5000: hopeless only below that, so it says nothing.
TEST(Taunts, NoDoomLineAtExactlyMinusFiveThousand) {
  ScriptedServer server;
  server.address = "127.0.0.13";
  server.stream = Block(1, 1, {"..#..", ".....", "#...+"}, {"0,1 2", "2,1 1"}, {"0 1,1"});
  const BotRun run = PlayAgainst(server);
  ASSERT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("Best: 0 : -5000\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.sent, kName);
}

// The log reaches a pipe or file as things happen: the start-up lines while
// the server holds back its first map, DEAD and ENDOFROUND before the next.
TEST(Log, EachLineIsOutBeforeTheServerSpeaksAgain) {
  const std::string tick = kStartup + OpenCentreTick(1);
  const SteppedRun run = PlaySteps("127.0.0.11", {{"", kStartup},
                                                  {Block(2, 2, kOpen5), OpenCentreTick(1)},
                                                  {"DEAD\n", "DEAD\n"},
                                                  {"ENDOFROUND\n", "ENDOFROUND\n"}});
  EXPECT_EQ(run.outs, (std::vector<std::string>{kStartup, tick, tick + "DEAD\n",
                                                tick + "DEAD\nENDOFROUND\n"}));
  EXPECT_EQ(MaskTimes(run.out), tick + "DEAD\nENDOFROUND\n" + kTeardown);
  EXPECT_EQ(run.status, 0);
}

}  // namespace
