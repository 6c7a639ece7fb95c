// Turns a recorded game into one self-contained HTML page that plays it in a
// browser, with no network: the page template with the game's compact data
// (replay_data.h) spliced in. Stateless functions; the caller owns the files.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace arena {

// The page for data from ReplayData::Finish.
std::string ReplayPageHtml(const nlohmann::json& data);

struct PageWritten {
  int ticks = 0;
  std::string error;          // empty on success
  bool badRecording = false;  // the error is in the recording, not the output
};
// Reads the recording at `recordingPath` a tick at a time and writes its page.
PageWritten WriteReplayPage(const std::string& recordingPath, const std::string& pagePath);

}  // namespace arena
