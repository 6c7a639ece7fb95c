// marrowlark-tournament end to end: the real runner, arena and bot against
// two scripted players on 127.0.3.x, tiny tournaments at 5 ms a tick.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "child_process.h"
#include "recording/recorder.h"

namespace {

const std::string kStayer = std::string(SCRIPTS_DIR) + "/stayer.sh";
const std::string kLeaver = std::string(SCRIPTS_DIR) + "/leaver.sh";
const std::string kCrasher = std::string(SCRIPTS_DIR) + "/crasher.sh";

std::vector<std::string> Tournament(const std::string& dir, std::vector<std::string> extra) {
  std::vector<std::string> argv = {TOURNAMENT_BIN, "--jobs", "2", "--logs", dir + "/logs"};
  argv.insert(argv.end(), extra.begin(), extra.end());
  return argv;
}

std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadFile(path));
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

// Game indexes in a results file, each once.
std::multiset<int> GameIndexes(const std::string& path) {
  std::multiset<int> games;
  static const std::regex game("\"game\":([0-9]+)");
  for (const std::string& line : Lines(path)) {
    std::smatch m;
    if (std::regex_search(line, m, game)) {
      games.insert(std::stoi(m[1].str()));
    }
  }
  return games;
}

// Our bot against the never-moving player, interrupted by Ctrl-C once some
// games are written, then resumed: the resumed run plays only the games the
// file lacks, and the report counts each of the eight games once.
TEST(Tournament, InterruptedRunResumesAndReportsEveryGameOnce) {
  const std::string dir = ScratchDir("tournament-resume");
  const std::string results = dir + "/results.jsonl";
  const std::string bot = std::string("ours=") + std::getenv("MARROWLARK_BIN");
  const std::vector<std::string> schedule = {"--bot",   bot, "--bot",  "stayer=" + kStayer,
                                             "--games", "8", "--seed", "7"};
  std::vector<std::string> first = Tournament(dir, schedule);
  first.insert(first.end(), {"--results", results, "--record-dir", dir + "/games"});
  ChildProcess run(first);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (Lines(results).size() < 3 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  run.Signal(SIGINT);
  const ChildOutcome interrupted = run.Wait(std::chrono::seconds(30));
  EXPECT_EQ(interrupted.status, 130) << interrupted.err;
  const std::multiset<int> before = GameIndexes(results);
  ASSERT_GE(before.size(), 2u);
  ASSERT_LT(before.size(), 8u) << "the run ended before Ctrl-C";
  EXPECT_NE(interrupted.out.find("Games: " + std::to_string(before.size())), std::string::npos)
      << interrupted.out;
  for (const int game : before) {
    // Each recording names its seats' logs, as seen from the recording.
    const arena::Recording r =
        arena::ReadRecording(dir + "/games/game-" + std::to_string(game) + ".jsonl");
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.logs.size(), 2u);
    for (const arena::SeatLog& log : r.logs) {
      EXPECT_TRUE(std::filesystem::exists(dir + "/games/" + log.path)) << log.path;
    }
  }

  std::vector<std::string> again = Tournament(dir, schedule);
  again.insert(again.end(), {"--resume", results});
  const ChildOutcome resumed = RunChild(again, std::chrono::seconds(90));
  ASSERT_EQ(resumed.status, 0) << resumed.err;
  EXPECT_EQ(GameIndexes(results), (std::multiset<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(Lines(results).size(), 9u);  // the configuration, then the eight games

  EXPECT_NE(resumed.out.find("Games: 8, "), std::string::npos) << resumed.out;
  EXPECT_NE(resumed.out.find("Bot stayer: Games: 8, "), std::string::npos) << resumed.out;
  // The four pairs of games, each counted in one of the five columns.
  std::smatch m;
  const std::regex pairs("Ptnml\\(0-2\\): \\[(\\d+), (\\d+), (\\d+), (\\d+), (\\d+)\\]");
  ASSERT_TRUE(std::regex_search(resumed.out, m, pairs)) << resumed.out;
  int counted = 0;
  for (std::size_t i = 1; i <= 5; ++i) {
    counted += std::stoi(m[i].str());
  }
  EXPECT_EQ(counted, 4) << resumed.out;
}

// Three bots: the cross table, and the leaver's games counted as its
// disconnects and our wins; a player killed by a signal counts as a crash.
TEST(Tournament, PlayersThatLeaveOrCrashLoseAndAreCounted) {
  const std::string dir = ScratchDir("tournament-leaver");
  const std::string bot = std::string("ours=") + std::getenv("MARROWLARK_BIN");
  const ChildOutcome r =
      RunChild(Tournament(dir, {"--bot", bot, "--bot", "leaver=" + kLeaver, "--bot",
                                "stayer=" + kStayer, "--games", "6", "--max-ticks", "30"}),
               std::chrono::seconds(60));
  ASSERT_EQ(r.status, 0) << r.err;
  // Maps 0 to 2 seat ours-leaver, ours-stayer, leaver-stayer, twice each.
  EXPECT_NE(r.out.find("ours    -       2-0-0"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("leaver  0-0-2   -       0-0-2"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Bot leaver: Games: 4, Survived: 0, Kills: 0, Suicides: 0, Killed: 0, "
                       "Disconnects: 4, Crashes: 0"),
            std::string::npos)
      << r.out;

  const ChildOutcome crashed = RunChild(Tournament(
      dir, {"--bot", "stayer=" + kStayer, "--bot", "crasher=" + kCrasher, "--games", "2"}));
  ASSERT_EQ(crashed.status, 0) << crashed.err;
  EXPECT_NE(crashed.out.find("Bot crasher: Games: 2, Survived: 0, Kills: 0, Suicides: 0, "
                             "Killed: 0, Disconnects: 2, Crashes: 2"),
            std::string::npos)
      << crashed.out;
}

// The arena on its own: seats follow the --spawn order, and --results gets
// one line per round, the last one with the spawned programs' exits.
TEST(Tournament, ArenaSeatsSpawnsInOrderAndWritesEachRound) {
  const std::string dir = ScratchDir("tournament-arena");
  for (const bool leaverFirst : {true, false}) {
    const std::string results = dir + "/rounds-" + std::to_string(leaverFirst) + ".jsonl";
    const std::vector<std::string> spawns =
        leaverFirst ? std::vector{kLeaver, kStayer} : std::vector{kStayer, kLeaver};
    const ChildOutcome r =
        RunChild({ArenaBinary(), "--bind", "127.0.3.250", "--players", "2", "--rounds", "2",
                  "--tick-ms", "5", "--view", "none", "--logs", dir + "/logs", "--results", results,
                  "--spawn", spawns[0], "--spawn", spawns[1]});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(results);
    ASSERT_EQ(lines.size(), 2u) << ReadFile(results);
    const std::size_t leaver = leaverFirst ? 0 : 1;
    for (int round = 1; round <= 2; ++round) {
      const auto j = nlohmann::json::parse(lines[static_cast<std::size_t>(round - 1)]);
      EXPECT_EQ(j["round"], round);
      const auto& gone = j["seats"][leaver];
      const auto& stayed = j["seats"][1 - leaver];
      EXPECT_EQ(gone["name"], "leaver");
      EXPECT_EQ(gone["end"], "left");
      // In the first round it leaves as the round starts, but the arena plays
      // on (5 ms ticks) while the script's shell exits: a few ticks on a busy
      // machine (CI saw 1 and 2). In the second it is gone before the start.
      EXPECT_LE(gone["tick"].get<int>(), round == 1 ? 20 : 0);
      EXPECT_EQ(gone["disconnects"], round == 1 ? 1 : 0);
      EXPECT_EQ(stayed["name"], "stayer");
      EXPECT_EQ(stayed["end"], "survived");
      // Exits only once the programs have ended, after the last round.
      EXPECT_EQ(stayed.contains("exit"), round == 2) << j;
      if (round == 2) {
        EXPECT_EQ(gone["exit"], 0);
        EXPECT_EQ(stayed["command"], kStayer);
      }
    }
  }
}

TEST(Tournament, BadInputExitsWithTwoAndWritesNothing) {
  const std::string dir = ScratchDir("tournament-bad");
  const std::string taken = dir + "/taken.jsonl";
  const std::string junk = dir + "/junk.jsonl";
  { std::ofstream(junk) << "{\"not\": \"a tournament\"}\n"; }
  const std::vector<std::string> two = {"--bot", "a=" + kStayer, "--bot", "b=" + kLeaver, "--games",
                                        "2",     "--max-ticks",  "5"};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> argv = two;
    argv.insert(argv.end(), extra.begin(), extra.end());
    return argv;
  };
  ASSERT_EQ(RunChild(Tournament(dir, with({"--results", taken}))).status, 0);
  const std::string kept = ReadFile(taken);
  std::vector<std::string> other = two;
  other[5] = "4";  // another number of games: another schedule
  other.insert(other.end(), {"--resume", taken});

  const std::vector<std::vector<std::string>> cases = {
      with({"--bogus"}),
      {"--bot", "a=" + kStayer, "--games", "2"},
      with({"--bot", "c=/no/such/program"}),
      with({"--bot", "a=" + kLeaver}),
      with({"--sprt", "5,0"}),
      with({"--results", taken}),
      with({"--resume", junk}),
      other,
      {"--merge", taken, junk},
  };
  for (const auto& extra : cases) {
    const ChildOutcome r = RunChild(Tournament(dir, extra));
    EXPECT_EQ(r.status, 2) << extra.back() << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_EQ(ReadFile(taken), kept);
}

}  // namespace
