// The tournament's results file: the configuration on the first line, then
// one JSON line per finished game, each written whole the moment the game
// ends, so a crash, a kill or Ctrl-C loses no finished game. ResultsFile owns
// the open file and holds an exclusive lock on it while the tournament runs.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "recording/round_record.h"
#include "schedule.h"

namespace tournament {

// One finished game: the arena's round result with each seat's bot.
struct GameRecord {
  int index = 0;
  std::uint64_t seed = 0;
  std::vector<int> bots;  // bot index in each seat
  arena::RoundOutcome round;
};

std::string GameLine(const Config& c, const GameRecord& g);

struct ResultsContent {
  Config config;
  Shard shard;
  std::map<int, GameRecord> games;  // by index
};

// Reads a whole results file; on failure `error` names the file and line.
std::optional<ResultsContent> ReadResults(const std::string& path, std::string& error);

class ResultsFile {
 public:
  ResultsFile() = default;
  ~ResultsFile();
  ResultsFile(const ResultsFile&) = delete;
  ResultsFile& operator=(const ResultsFile&) = delete;

  // A new file (none yet, or empty) gets the configuration line. With
  // `resume` the file must hold the same configuration, and `done` gets the
  // games it already has. False with `error` set, nothing written, when
  // another tournament holds the file or the file does not fit.
  bool Open(const std::string& path, bool resume, const Config& c, const Shard& shard,
            std::map<int, GameRecord>& done, std::string& error);
  // Appends the game as one line; false when the write failed.
  bool Append(const GameRecord& g);

 private:
  int fd_ = -1;
  Config config_;
};

}  // namespace tournament
