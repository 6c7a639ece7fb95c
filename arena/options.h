// The arena's command line: every option with its default, checked by CLI11.
// Parsing either yields the options or the exit status to leave with (0 for
// --help, 2 for an invalid command line, its message already printed).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "server/match.h"

namespace arena {

struct Options {
  std::string bind = "127.0.0.1";
  int port = 54321;
  MatchOptions match;  // all but the fixed map, which is read from `map` later
  std::string map;
  int tickMs = 150;
  std::string view = "auto";
  std::string record;
  std::string results;  // one JSON line per finished round, appended
  std::string replay;
  std::string html;       // with replay: write the replay page here instead of playing it
  bool human = false;     // seat 0 is played from this terminal's keyboard
  std::string humanName;  // empty: the login name
  std::vector<std::string> spawn;
  std::string logs = "arena-logs";
  std::string replayLogs;  // with --html, when --logs is given: where the bots' logs are now
};

struct ParsedOptions {
  Options options;
  std::optional<int> exitStatus;  // set when the program should exit at once
};

ParsedOptions ParseOptions(int argc, char** argv);

}  // namespace arena
