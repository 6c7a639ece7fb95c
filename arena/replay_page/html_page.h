// Turns a recorded game into one self-contained HTML page that plays it in a
// browser, with no network: the page template with the game's compact data
// (replay_data.h) spliced in. Stateless functions; the caller owns the files.
#pragma once

#include <string>

#include "recording/recorder.h"

namespace arena {

std::string ReplayPageHtml(const Recording& recording);
// False with `error` set when `path` cannot be written.
bool WriteReplayPage(const std::string& path, const Recording& recording, std::string& error);

}  // namespace arena
