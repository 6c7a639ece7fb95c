// How often a player left itself open to a single bomb, read from recorded
// games with the sparring partners' own safety levels (sparring/safety.h):
//
//   build-bench/exposure [--list LEVEL] NAME rec/game-*.jsonl
//
// For every tick the player named NAME lived through, the best level any of
// its commands reached: a careful player is caught only on the ticks where
// that level fell short. --list also prints each tick whose best level is
// LEVEL (0, doomed, to 5, as in the counts): the file, the tick, where the
// players stood and the bombs ticking, to look at what opened the player.
// Each recording is a game of one round, as the tournament writes them.
#include <algorithm>
#include <array>
#include <iostream>
#include <string>

#include "recording/recorder.h"
#include "safety.h"

namespace {

// The round as player `self` stands in it, the partners' way.
sparring::Position Seen(const arena::Snapshot& s, int self) {
  const int height = static_cast<int>(s.rows.size());
  const int width = height == 0 ? 0 : static_cast<int>(s.rows[0].size());
  std::vector<sparring::Seat> living;
  for (const arena::SnapshotPlayer& pl : s.players) {
    if (pl.alive) {
      living.push_back({pl.id, {pl.x, pl.y}});
    }
  }
  std::vector<arena::Bomb> bombs;
  for (const arena::SnapshotBomb& b : s.bombs) {
    bombs.push_back({b.owner, {b.x, b.y}, b.timer});
  }
  return sparring::Facing(sparring::BoardFromRows(s.rows, width, height), self, living,
                          std::move(bombs));
}

constexpr std::array<const char*, 6> kLevels = {"doomed",
                                                "cornered",
                                                "open to a drop now",
                                                "open to a drop after a step",
                                                "no tick spare",
                                                "safe with a tick spare"};

// One tick of --list's output.
void List(const char* file, const arena::Snapshot& s) {
  std::cout << file << " tick " << s.tick << ':';
  for (const arena::SnapshotPlayer& p : s.players) {
    if (p.alive) {
      std::cout << ' ' << p.name << ' ' << p.x << ',' << p.y;
    }
  }
  for (const arena::SnapshotBomb& b : s.bombs) {
    const auto owner =
        std::find_if(s.players.begin(), s.players.end(),
                     [&](const arena::SnapshotPlayer& p) { return p.id == b.owner; });
    std::cout << "; bomb " << b.x << ',' << b.y << " timer " << b.timer << " by "
              << (owner == s.players.end() ? "?" : owner->name);
  }
  std::cout << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  const auto usage = [] {
    std::cerr << "usage: exposure [--list LEVEL] NAME RECORDING...\n";
    return 2;
  };
  int listed = -1;  // none
  int first = 1;
  if (argc > 2 && std::string(argv[1]) == "--list") {
    const std::string level = argv[2];
    if (level.size() != 1 || level[0] < '0' || level[0] >= '0' + static_cast<int>(kLevels.size())) {
      return usage();
    }
    listed = level[0] - '0';
    first = 3;
  }
  if (argc < first + 2) {
    return usage();
  }
  const std::string name = argv[first];
  std::array<long, kLevels.size()> ticks{};
  std::array<int, kLevels.size()> games{};  // games with at least one such tick
  int played = 0, died = 0, diedOpenNow = 0;
  for (int f = first + 1; f < argc; ++f) {
    int self = -1;
    bool alive = false;
    std::array<bool, kLevels.size()> seen{};
    const auto tick = [&](const arena::Snapshot& s) {
      const auto me = std::find_if(s.players.begin(), s.players.end(),
                                   [&](const arena::SnapshotPlayer& p) { return p.name == name; });
      alive = me != s.players.end() && me->alive;
      if (!alive) {
        return;
      }
      self = me->id;
      const sparring::Levels levels = sparring::Assess(Seen(s, self));
      const int best = *std::max_element(levels.begin(), levels.end());
      if (best == listed) {
        List(argv[f], s);
      }
      if (best >= 0) {
        ++ticks[static_cast<std::size_t>(best)];
        seen[static_cast<std::size_t>(best)] = true;
      }
    };
    if (const std::string error = arena::ReadRecordingLines(
            argv[f], [](std::vector<arena::SeatLog>) {}, tick, [](std::vector<arena::Standing>) {});
        !error.empty()) {
      std::cerr << "exposure: " << error << '\n';
      return 1;
    }
    if (self < 0) {
      continue;  // NAME did not play this game
    }
    ++played;
    died += alive ? 0 : 1;
    diedOpenNow += !alive && seen[sparring::kEscapes] ? 1 : 0;
    for (std::size_t l = 0; l < seen.size(); ++l) {
      games[l] += seen[l] ? 1 : 0;
    }
  }
  std::cout << name << ": " << played << " games, died in " << died << " (" << diedOpenNow
            << " of them open to a drop now at some tick)\n";
  for (std::size_t l = 0; l < kLevels.size(); ++l) {
    std::cout << "  " << kLevels[l] << ": " << ticks[l] << " ticks in " << games[l] << " games\n";
  }
  return 0;
}
