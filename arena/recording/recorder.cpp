#include "recording/recorder.h"

#include "recording/snapshot_json.h"

namespace arena {

namespace {
// Client text may be cut inside a UTF-8 sequence; replacing the broken bytes
// keeps the record writable instead of losing the game to an exception.
std::string Dump(const nlohmann::json& j) {
  return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}
}  // namespace

bool Recorder::Open(const std::string& path, std::string& error) {
  out_.open(path, std::ios::out | std::ios::trunc);
  if (!out_) {
    error = "cannot write the recording " + path;
    return false;
  }
  return true;
}

void Recorder::Write(const Snapshot& s) {
  out_ << Dump(ToJson(s)) << std::endl;
}

void Recorder::WriteResults(const std::vector<Standing>& standings) {
  out_ << Dump(ToJson(standings)) << std::endl;
}

Recording ReadRecording(const std::string& path) {
  Recording r;
  r.error = ReadRecordingLines(
      path, [&](Snapshot s) { r.ticks.push_back(std::move(s)); },
      [&](std::vector<Standing> results) { r.results = std::move(results); });
  return r;
}

std::string ReadRecordingLines(const std::string& path, const std::function<void(Snapshot)>& tick,
                               const std::function<void(std::vector<Standing>)>& results) {
  std::ifstream in(path);
  if (!in) {
    return "cannot read " + path;
  }
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.empty()) {
      continue;
    }
    try {
      const nlohmann::json j = nlohmann::json::parse(line);
      if (j.contains("results")) {
        results(StandingsFromJson(j));
      } else {
        tick(SnapshotFromJson(j));
      }
    } catch (const nlohmann::json::exception& e) {
      return path + ":" + std::to_string(number) + ": " + e.what();
    }
  }
  return "";
}

}  // namespace arena
