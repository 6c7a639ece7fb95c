// Real bots against the real arena: four marrowlark processes spawned by the
// arena play a short headless game, and their logs, the recording and the
// results table must all tell the same story.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "child_process.h"
#include "recording/recorder.h"

namespace {

constexpr int kBots = 4;
constexpr int kRounds = 2;

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

int CountPrefix(const std::vector<std::string>& lines, const std::string& prefix) {
  return static_cast<int>(std::count_if(
      lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); }));
}

TEST(EndToEnd, FourBotsPlayAHeadlessGameAndEverythingAddsUp) {
  const char* bot = std::getenv("MARROWLARK_BIN");
  ASSERT_NE(bot, nullptr) << "MARROWLARK_BIN is not set";
  const std::string dir = ScratchDir("e2e");
  const std::string record = dir + "/game.jsonl";
  std::vector<std::string> argv = {ArenaBinary(), "--bind",   "127.0.1.100",
                                   "--view",      "none",     "--tick-ms",
                                   "20",          "--rounds", std::to_string(kRounds),
                                   "--max-ticks", "80",       "--record",
                                   record,        "--logs",   dir + "/logs"};
  for (int i = 0; i < kBots; ++i) {
    argv.push_back("--spawn");
    argv.push_back(bot);
  }
  const ChildOutcome arena = RunChild(argv, std::chrono::seconds(40));
  ASSERT_FALSE(arena.timedOut);
  ASSERT_EQ(arena.status, 0) << arena.err;
  EXPECT_EQ(CountPrefix(LinesOf(arena.out), std::string(bot) + ": exited with status 0 "), kBots)
      << arena.out;

  const arena::Recording rec = arena::ReadRecording(record);
  ASSERT_EQ(rec.error, "");
  ASSERT_EQ(rec.results.size(), static_cast<std::size_t>(kBots));

  // What the recording says each seat was sent and suffered.
  std::vector<int> blocks(kBots), wins(kBots), deaths(kBots), kills(kBots), suicides(kBots);
  int roundsOver = 0;
  for (const arena::Snapshot& s : rec.ticks) {
    for (const arena::SnapshotDeath& d : s.deaths) {
      ++deaths[static_cast<std::size_t>(d.victim)];
      ++(d.killer == d.victim ? suicides : kills)[static_cast<std::size_t>(d.killer)];
    }
    if (s.roundOver) {
      ++roundsOver;
      if (s.winner >= 0) {
        ++wins[static_cast<std::size_t>(s.winner)];
      }
      continue;  // a round's last tick ends it: no block is sent
    }
    for (const arena::SnapshotPlayer& p : s.players) {
      if (p.alive) {
        ++blocks[static_cast<std::size_t>(p.id)];
      }
    }
  }
  EXPECT_EQ(roundsOver, kRounds);
  int totalCommands = 0;
  int totalDeaths = 0;
  for (std::size_t seat = 0; seat < kBots; ++seat) {
    const arena::Standing& st = rec.results[seat];
    EXPECT_EQ(st.name, "Marrowlark");
    EXPECT_EQ(st.wins, wins[seat]) << seat;
    EXPECT_EQ(st.deaths, deaths[seat]) << seat;
    EXPECT_EQ(st.kills, kills[seat]) << seat;
    EXPECT_EQ(st.suicides, suicides[seat]) << seat;
    EXPECT_EQ(st.ignored, 0) << "the bot sends only lines the arena knows";
    EXPECT_EQ(st.disconnects, 0) << seat;
    totalCommands += st.commands;
    totalDeaths += st.deaths;
  }

  // Each bot's log: its six progress lines around the play, a "Tick: " line
  // per block it was sent, and the arena's DEAD and ENDOFROUND lines.
  std::vector<int> ticks;
  int moves = 0;
  int dead = 0;
  for (int i = 1; i <= kBots; ++i) {
    const auto log = LinesOf(ReadFile(dir + "/logs/" + std::to_string(i) + "-marrowlark.log"));
    ASSERT_GE(log.size(), 6u) << i;
    EXPECT_EQ(
        std::vector<std::string>(log.begin(), log.begin() + 3),
        (std::vector<std::string>{"Networking started", "Connection created", "Client created"}));
    EXPECT_EQ(
        std::vector<std::string>(log.end() - 3, log.end()),
        (std::vector<std::string>{"Connection closed", "Networking stopped", "Client destroyed"}));
    ticks.push_back(CountPrefix(log, "Tick: "));
    EXPECT_EQ(CountPrefix(log, "Evaluated: "), 6 * ticks.back()) << i;
    EXPECT_EQ(CountPrefix(log, "ENDOFROUND"), kRounds) << i;
    dead += CountPrefix(log, "DEAD");
    moves += ticks.back() - CountPrefix(log, "Best: 0 ");
  }
  // Seats follow connection order, not spawn order: compare as multisets.
  std::sort(ticks.begin(), ticks.end());
  std::sort(blocks.begin(), blocks.end());
  EXPECT_EQ(ticks, blocks);
  EXPECT_EQ(dead, totalDeaths);
  // Every command a bot chose arrived: the arena reads until the bots hang up.
  EXPECT_EQ(totalCommands, moves);
}

}  // namespace
