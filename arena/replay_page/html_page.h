// Turns a recorded game into one self-contained HTML page that plays it in a
// browser, with no network: the page template with the game's compact data
// (replay_data.h) spliced in. Stateless functions; the caller owns the files.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace arena {

// The page for data from ReplayData::Finish.
std::string ReplayPageHtml(const nlohmann::json& data);

struct PageWritten {
  int ticks = 0;
  std::string error;                  // empty on success
  bool badRecording = false;          // the error is in the recording, not the output
  std::vector<std::string> warnings;  // one line per log that is missing or faulty
};
// Reads the recording at `recordingPath` a tick at a time and writes its
// page, with what the bots' logs it names say they were thinking. The logs
// are found where the recording says, or by their file names in `logsDir`
// when that is set. A bad log is a warning; the page is written all the same.
PageWritten WriteReplayPage(const std::string& recordingPath, const std::string& pagePath,
                            const std::string& logsDir);

}  // namespace arena
