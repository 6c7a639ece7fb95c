// Plays a tournament's games, each as one run of marrowlark-arena (one round,
// no view) with the game's bots spawned in seat order, up to `jobs` at once,
// each arena on its own loopback address. Owns the running arenas: those
// still running when Run stops early are terminated and reaped before it
// returns. Run may be called once at a time.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "results_file.h"

namespace tournament {

struct RunnerSettings {
  std::string arena;  // the marrowlark-arena binary
  int jobs = 1;
  std::string logs;       // each game's arena and bot output: <logs>/game-<index>/
  std::string recordDir;  // when set, each game's recording: <recordDir>/game-<index>.jsonl
};

class Runner {
 public:
  Runner(const Config& c, RunnerSettings s) : config_(c), settings_(std::move(s)) {}

  // Plays `games` (indexes) in order. `finished` gets each game as it ends;
  // `failed` a game whose arena ended without a result, with the reason.
  // Returns when every game is played, or, after ending the running ones,
  // when `stop` (asked every few milliseconds) says so.
  void Run(const std::vector<int>& games, const std::function<void(const GameRecord&)>& finished,
           const std::function<void(int, const std::string&)>& failed,
           const std::function<bool()>& stop);

 private:
  struct Running {
    pid_t pid = -1;
    int game = 0;
    int host = 0;  // 127.0.3.<host>
    int tries = 0;
  };

  // A free 127.0.3.x address for the next arena, or 0 when none is.
  int FreeHost(const std::vector<Running>& running) const;
  pid_t Start(int game, int host, std::string& error) const;
  std::string GameDir(int game) const;

  Config config_;
  RunnerSettings settings_;
};

}  // namespace tournament
