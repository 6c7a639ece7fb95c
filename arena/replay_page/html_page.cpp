#include "replay_page/html_page.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "recording/recorder.h"
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

PageWritten WriteReplayPage(const std::string& recordingPath, const std::string& pagePath) {
  PageWritten written;
  ReplayData data;
  written.error = ReadRecordingLines(
      recordingPath, [&](const Snapshot& s) { data.Add(s); },
      [](std::vector<Standing>) {});  // the page counts wins and kills itself
  if (!written.error.empty()) {
    written.badRecording = true;
    return written;
  }
  written.ticks = data.Ticks();
  std::ofstream out(pagePath, std::ios::binary | std::ios::trunc);
  if (out) {
    out << ReplayPageHtml(data.Finish());
    out.close();
  }
  if (!out) {
    written.error = "cannot write " + pagePath + ": " + std::strerror(errno);
  }
  return written;
}

}  // namespace arena
