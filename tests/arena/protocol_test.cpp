// The real arena binary against scripted clients on loopback: the exact lines
// it sends, what it makes of what it receives, and how it ends.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include "child_process.h"
#include "line_client.h"

namespace {

using namespace std::chrono_literals;

constexpr int kPort = 54321;

std::string WriteMap(const std::string& name, const std::string& rows) {
  const std::string path = ScratchDir(name) + "/map.txt";
  std::ofstream(path) << rows;
  return path;
}

std::vector<std::string> Arena(const std::string& address, std::vector<std::string> extra) {
  std::vector<std::string> args = {ArenaBinary(), "--bind", address, "--view", "none"};
  args.insert(args.end(), extra.begin(), extra.end());
  return args;
}

std::vector<std::string> Block(const std::vector<std::string>& players,
                               const std::vector<std::string>& bombs, int x, int y,
                               const std::vector<std::string>& rows) {
  std::vector<std::string> lines = {"PLAYERS"};
  lines.insert(lines.end(), players.begin(), players.end());
  lines.push_back("ENDPLAYERS");
  lines.push_back("BOMBS");
  lines.insert(lines.end(), bombs.begin(), bombs.end());
  lines.push_back("ENDBOMBS");
  lines.push_back("X " + std::to_string(x));
  lines.push_back("Y " + std::to_string(y));
  lines.push_back("WIDTH " + std::to_string(rows.front().size()));
  lines.push_back("HEIGHT " + std::to_string(rows.size()));
  lines.push_back("MAP");
  lines.insert(lines.end(), rows.begin(), rows.end());
  lines.push_back("ENDMAP");
  return lines;
}

// The numbers in the results table's row for `label` ("A alice"): won,
// kills, deaths, suicides, commands, ignored, disconnects.
std::vector<int> ResultRow(const std::string& out, const std::string& label) {
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(label + " ")) {
      std::istringstream numbers(line.substr(label.size()));
      std::vector<int> row;
      for (int n; numbers >> n;) {
        row.push_back(n);
      }
      return row;
    }
  }
  return {};
}

const std::vector<std::string> kCorridor = {"+++++++", "+.....+", "+.+.+.+", "+.....+", "+++++++"};

TEST(Protocol, ExactBlocksCommandsChatAndGoodbye) {
  std::string rows;
  for (const std::string& r : kCorridor) {
    rows += r + "\n";
  }
  const std::string dir = ScratchDir("exact");
  const std::string record = dir + "/game.jsonl";
  ChildProcess arena(
      Arena("127.0.1.30", {"--players", "2", "--rounds", "1", "--max-ticks", "2", "--tick-ms",
                           "150", "--record", record, "--map", WriteMap("exact-map", rows)}));
  LineClient a("127.0.1.30", kPort);
  LineClient b("127.0.1.30", kPort);
  ASSERT_TRUE(a.Connected() && b.Connected());
  a.Send("NAME alice\n");
  b.Send("NAME bob\n");

  EXPECT_EQ(a.ReadThrough("ENDMAP"), Block({"1 5,3"}, {}, 1, 1, kCorridor));
  EXPECT_EQ(b.ReadThrough("ENDMAP"), Block({"0 1,1"}, {}, 5, 3, kCorridor));
  // Only the last command of a tick counts; the rest is counted, not played.
  a.Send("DOWN\nBOMB\nHELLO\nup\n" + std::string(5000, 'z') + "\nSAY hi\x01 there\n");
  b.Send("LEFT\n");
  EXPECT_EQ(a.ReadThrough("ENDMAP"), Block({"1 4,3"}, {"1,1 5"}, 1, 1, kCorridor));
  EXPECT_EQ(b.ReadThrough("ENDMAP"), Block({"0 1,1"}, {"1,1 5"}, 4, 3, kCorridor));
  for (LineClient* c : {&a, &b}) {
    EXPECT_EQ(c->ReadLine(), "ENDOFROUND");
    EXPECT_EQ(c->ReadLine(), "DISCONNECT");
  }
  // The arena waits for a to hang up; b, which does not, is closed after a while.
  a.Close();
  EXPECT_TRUE(b.Closed());
  const ChildOutcome out = arena.Wait(10s);
  ASSERT_EQ(out.status, 0) << out.err;
  EXPECT_NE(out.out.find("Round 1 of 1: no winner after 2 ticks"), std::string::npos) << out.out;
  EXPECT_EQ(ResultRow(out.out, "A alice"), (std::vector<int>{0, 0, 0, 0, 2, 3, 0})) << out.out;
  EXPECT_EQ(ResultRow(out.out, "B bob"), (std::vector<int>{0, 0, 0, 0, 1, 0, 0}));

  const std::string recorded = ReadFile(record);
  EXPECT_NE(recorded.find(R"("chat":[{"id":0,"text":"hi there"}])"), std::string::npos);
  EXPECT_NE(recorded.find(R"("command":"BOMB")"), std::string::npos);
  const ChildOutcome replay =
      RunChild({ArenaBinary(), "--replay", record, "--view", "plain", "--tick-ms", "0"});
  EXPECT_EQ(replay.status, 0) << replay.err;
  EXPECT_NE(replay.out.find("Round 1 of 1   tick 2"), std::string::npos) << replay.out;
  EXPECT_NE(replay.out.find("alice: hi there"), std::string::npos);
  EXPECT_EQ(ResultRow(replay.out, "A alice"), (std::vector<int>{0, 0, 0, 0, 2, 3, 0}));
}

// Sends `command` (nothing for "", as a player that stays) after reading one
// block; false once no block came.
bool Turn(LineClient& c, const std::string& command) {
  const auto lines = c.ReadThrough("ENDMAP", 3s);
  if (lines.empty() || lines.back() != "ENDMAP") {
    return false;
  }
  if (!command.empty()) {
    c.Send(command + "\n");
  }
  return true;
}

TEST(Protocol, TheKilledGetDeadAndNoMoreBlocksTheOthersPlayOn) {
  const std::string rows =
      "+++++++++\n"
      "+.......+\n"
      "+.+++++.+\n"
      "+.......+\n"
      "+++++++++\n";
  ChildProcess arena(
      Arena("127.0.1.31", {"--players", "3", "--rounds", "1", "--max-ticks", "9", "--tick-ms",
                           "200", "--map", WriteMap("dead-map", rows)}));
  // Spawns: 0 at (1,1), 1 at (7,3), 2 at (7,1). 0 bombs and escapes round
  // the corner; 2 walks into the blast.
  LineClient c0("127.0.1.31", kPort);
  LineClient c1("127.0.1.31", kPort);
  LineClient c2("127.0.1.31", kPort);
  for (LineClient* c : {&c0, &c1, &c2}) {
    c->Send("NAME x\n");
  }
  const char* moves0[] = {"BOMB", "DOWN", "DOWN", "RIGHT", "", ""};
  const char* moves2[] = {"LEFT", "LEFT", "LEFT", "LEFT", "", ""};
  for (int t = 0; t < 6; ++t) {
    ASSERT_TRUE(Turn(c0, moves0[t])) << t;
    ASSERT_TRUE(Turn(c1, "")) << t;
    ASSERT_TRUE(Turn(c2, moves2[t])) << t;
  }
  EXPECT_EQ(c2.ReadLine(), "DEAD");
  EXPECT_EQ(c2.ReadLine(), "ENDOFROUND");
  EXPECT_EQ(c2.ReadLine(), "DISCONNECT");
  c2.Close();
  // The survivors see the blast's result and play to the tick limit.
  const auto after = c0.ReadThrough("ENDMAP");
  EXPECT_EQ(
      std::vector<std::string>(after.begin(), after.begin() + 6),
      (std::vector<std::string>{"PLAYERS", "1 7,3", "ENDPLAYERS", "BOMBS", "ENDBOMBS", "X 2"}));
  for (int t = 0; t < 2; ++t) {
    EXPECT_TRUE(Turn(c0, ""));
    EXPECT_TRUE(Turn(c1, ""));
  }
  EXPECT_EQ(c0.ReadLine(), "ENDOFROUND");
  EXPECT_EQ(c1.ReadThrough("ENDOFROUND").size(), 17u);  // its last block, then the line
  for (LineClient* c : {&c0, &c1}) {
    EXPECT_EQ(c->ReadLine(), "DISCONNECT");
    c->Close();
  }
  const ChildOutcome out = arena.Wait(10s);
  ASSERT_EQ(out.status, 0);
  EXPECT_EQ(ResultRow(out.out, "A x"), (std::vector<int>{0, 1, 0, 0, 4, 0, 0})) << out.out;
  EXPECT_EQ(ResultRow(out.out, "B x"), (std::vector<int>{0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ResultRow(out.out, "C x"), (std::vector<int>{0, 0, 1, 0, 4, 0, 0}));
}

TEST(Protocol, UnnamedClientsGetADefaultNameAndLatecomersAreTurnedAway) {
  ChildProcess arena(Arena(
      "127.0.1.32", {"--players", "2", "--rounds", "1", "--max-ticks", "2", "--tick-ms", "50"}));
  LineClient a("127.0.1.32", kPort);
  LineClient b("127.0.1.32", kPort);
  a.Send("NAME first\n");
  // b says nothing: the game waits two seconds for its name.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(a.ReadThrough("ENDMAP", 5s).back(), "ENDMAP");
  EXPECT_GE(std::chrono::steady_clock::now() - start, 1500ms);
  LineClient late("127.0.1.32", kPort);
  EXPECT_EQ(late.ReadLine(), "DISCONNECT");
  EXPECT_TRUE(late.Closed());
  for (LineClient* c : {&a, &b}) {
    EXPECT_EQ(c->ReadThrough("DISCONNECT").back(), "DISCONNECT");
    c->Close();
  }
  const ChildOutcome out = arena.Wait(10s);
  EXPECT_EQ(out.status, 0);
  EXPECT_NE(out.out.find("B player1"), std::string::npos) << out.out;
  EXPECT_NE(out.out.find("A first"), std::string::npos);
}

TEST(Protocol, ALeavingClientLosesItsPlayerAndTheGameGoesOn) {
  ChildProcess arena(Arena("127.0.1.33", {"--players", "2", "--rounds", "2", "--tick-ms", "50"}));
  LineClient a("127.0.1.33", kPort);
  LineClient b("127.0.1.33", kPort);
  a.Send("NAME stays\n");
  b.Send("NAME leaves\n");
  EXPECT_EQ(b.ReadThrough("ENDMAP").back(), "ENDMAP");
  b.Close();
  // Round 1 ends as b leaves; round 2 starts with a alone and ends at once.
  const auto lines = a.ReadThrough("DISCONNECT");
  std::vector<std::string> keywords;
  for (const std::string& l : lines) {
    if (l == "ENDMAP" || l == "ENDOFROUND" || l == "DISCONNECT") {
      keywords.push_back(l);
    }
  }
  ASSERT_GE(keywords.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(keywords.end() - 4, keywords.end()),
            (std::vector<std::string>{"ENDOFROUND", "ENDMAP", "ENDOFROUND", "DISCONNECT"}));
  a.Close();
  const ChildOutcome out = arena.Wait(10s);
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(ResultRow(out.out, "A stays"), (std::vector<int>{2, 0, 0, 0, 0, 0, 0})) << out.out;
  EXPECT_EQ(ResultRow(out.out, "B leaves"), (std::vector<int>{0, 0, 0, 0, 0, 0, 1}));
}

TEST(Protocol, AClientThatNeverReadsIsDroppedAndTheOtherIsNotStalled) {
  ChildProcess arena(
      Arena("127.0.1.34", {"--players", "2", "--rounds", "1", "--size", "255x255", "--density", "0",
                           "--tick-ms", "1", "--max-ticks", "3000"}));
  LineClient reader("127.0.1.34", kPort);
  LineClient sleeper("127.0.1.34", kPort);
  reader.Send("NAME reader\n");
  sleeper.Send("NAME sleeper\n");
  const auto lines = reader.ReadThrough("DISCONNECT", 20s);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "DISCONNECT");
  reader.Close();
  const ChildOutcome out = arena.Wait(10s);
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(ResultRow(out.out, "A reader"), (std::vector<int>{1, 0, 0, 0, 0, 0, 0})) << out.out;
  EXPECT_EQ(ResultRow(out.out, "B sleeper"), (std::vector<int>{0, 0, 0, 0, 0, 0, 1}));
}

TEST(Protocol, SigtermEndsCleanlyWithResultsAndEndsSpawnedChildren) {
  const std::string logs = ScratchDir("sigterm");
  ChildProcess arena(
      Arena("127.0.1.35", {"--players", "3", "--logs", logs, "--spawn", "/bin/sleep 30"}));
  LineClient a("127.0.1.35", kPort);
  a.Send("NAME waiting\n");
  std::this_thread::sleep_for(300ms);
  arena.Signal(SIGTERM);
  EXPECT_EQ(a.ReadLine(), "DISCONNECT");
  a.Close();
  const ChildOutcome out = arena.Wait(10s);
  EXPECT_FALSE(out.timedOut);
  EXPECT_EQ(out.status, 128 + SIGTERM);
  EXPECT_NE(out.out.find("name"), std::string::npos) << out.out;
  EXPECT_NE(out.out.find("/bin/sleep 30: ended by signal 15 (log " + logs + "/1-sleep.log)"),
            std::string::npos)
      << out.out;
}

TEST(Protocol, ASpawnedPlayerThatExitsBeforeTheGameEndsTheRun) {
  const std::string logs = ScratchDir("early");
  const ChildOutcome out = RunChild(
      Arena("127.0.1.36", {"--players", "2", "--logs", logs, "--spawn", "/bin/false"}), 10s);
  EXPECT_FALSE(out.timedOut);
  EXPECT_EQ(out.status, 1);
  EXPECT_NE(out.err.find("/bin/false: exited with status 1 (log " + logs +
                         "/1-false.log) before the game began"),
            std::string::npos)
      << out.err;
}

}  // namespace
