// marrowlark-tournament's command line, checked by CLI11 and against the
// file system (the bots' commands, the arena). Parsing yields either the
// options or the exit status to leave with (0 for --help, 2 for bad input,
// its one-line message already printed).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report.h"
#include "schedule.h"

namespace tournament {

struct Options {
  Config config;
  int jobs = 1;
  std::string results;
  std::string resume;
  std::string recordDir;
  std::string logs = "tournament-logs";
  std::string arena;  // beside this program unless given
  std::optional<Sprt> sprt;
  Shard shard;
  std::vector<std::string> merge;
};

struct ParsedOptions {
  Options options;
  std::optional<int> exitStatus;
};

ParsedOptions ParseOptions(int argc, char** argv);

}  // namespace tournament
