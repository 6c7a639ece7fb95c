#include "replay_page/html_page.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "recording/recorder.h"
#include "replay_page/decision_data.h"
#include "replay_page/page_template.h"
#include "replay_page/replay_data.h"

namespace arena {

namespace {

constexpr std::string_view kMarker = "@RECORDING@";

// JSON inside a <script> element: a '<' could close it ("</script>") or open
// a comment, so every one becomes \u003c, which JSON reads back the same.
std::string ScriptSafe(const std::string& json) {
  std::string out;
  out.reserve(json.size());
  for (const char c : json) {
    if (c == '<') {
      out += "\\u003c";
    } else {
      out += c;
    }
  }
  return out;
}

std::string LogPath(const SeatLog& log, const std::string& recordingPath,
                    const std::string& logsDir) {
  namespace fs = std::filesystem;
  const fs::path named(log.path);
  if (!logsDir.empty()) {
    return (fs::path(logsDir) / named.filename()).string();
  }
  return named.is_absolute() ? log.path : (fs::path(recordingPath).parent_path() / named).string();
}

// Every seat's log, read and judged; index by seat.
std::vector<SeatDecisions> ReadLogs(const std::vector<SeatLog>& logs,
                                    const std::string& recordingPath, const std::string& logsDir,
                                    std::vector<std::string>& warnings) {
  std::vector<SeatDecisions> seats;
  for (const SeatLog& log : logs) {
    if (log.seat < 0 || log.seat > 255) {
      continue;
    }
    seats.resize(std::max(seats.size(), static_cast<std::size_t>(log.seat) + 1));
    SeatDecisions& seat = seats[static_cast<std::size_t>(log.seat)];
    seat.path = LogPath(log, recordingPath, logsDir);
    std::ifstream in(seat.path, std::ios::binary);
    if (in) {
      seat.log = ReadDecisionLog(in);
    }
    // A read that fails part way (a folder, a disk error) is no log either.
    if (!in.is_open() || in.bad()) {
      seat.source = SeatDecisions::Source::Missing;
      seat.log = DecisionLog{};
      warnings.push_back(seat.path + ": cannot read the log of seat " + std::to_string(log.seat));
      continue;
    }
    seat.source = seat.log.botFormat ? SeatDecisions::Source::Bot : SeatDecisions::Source::Other;
    const std::string faults = seat.log.Faults();
    if (seat.log.botFormat && !faults.empty()) {
      warnings.push_back(seat.path + ": " + faults);
    }
  }
  return seats;
}

}  // namespace

std::string ReplayPageHtml(const nlohmann::json& data) {
  // Names and chat from a recording need not be valid UTF-8.
  const std::string json = data.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  const std::string_view page = ReplayPageTemplate();
  const std::size_t at = page.find(kMarker);
  std::string html;
  html.reserve(page.size() + json.size());
  html.append(page.substr(0, at));
  html += ScriptSafe(json);
  html.append(page.substr(at + kMarker.size()));
  return html;
}

PageWritten WriteReplayPage(const std::string& recordingPath, const std::string& pagePath,
                            const std::string& logsDir) {
  PageWritten written;
  ReplayData data;
  std::vector<SeatLog> logs;
  written.error = ReadRecordingLines(
      recordingPath, [&](std::vector<SeatLog> named) { logs = std::move(named); },
      [&](const Snapshot& s) { data.Add(s); },
      [](std::vector<Standing>) {});  // the page counts wins and kills itself
  if (!written.error.empty()) {
    written.badRecording = true;
    return written;
  }
  written.ticks = data.Ticks();
  nlohmann::json page = data.Finish();
  const std::vector<SeatDecisions> seats = ReadLogs(logs, recordingPath, logsDir, written.warnings);
  const std::vector<int> mismatched = AddDecisions(page, seats);
  for (std::size_t seat = 0; seat < seats.size(); ++seat) {
    if (mismatched[seat] > 0) {
      written.warnings.push_back(seats[seat].path + ": " + std::to_string(mismatched[seat]) +
                                 " ticks put the bot where the recording does not (another "
                                 "game's log?); they show as unknown");
    }
  }
  std::ofstream out(pagePath, std::ios::binary | std::ios::trunc);
  if (out) {
    out << ReplayPageHtml(page);
    out.close();
  }
  if (!out) {
    written.error = "cannot write " + pagePath + ": " + std::strerror(errno);
  }
  return written;
}

}  // namespace arena
