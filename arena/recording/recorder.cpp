#include "recording/recorder.h"

#include <filesystem>

#include "recording/snapshot_json.h"

namespace arena {

namespace {
// Client text may be cut inside a UTF-8 sequence; replacing the broken bytes
// keeps the record writable instead of losing the game to an exception.
std::string Dump(const nlohmann::json& j) {
  return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// `file` as seen from the folder of `from`, so the two can move together.
std::string RelativeTo(const std::string& file, const std::string& from) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path target = fs::absolute(file, ec).lexically_normal();
  const fs::path base = fs::absolute(from, ec).lexically_normal().parent_path();
  const fs::path relative = target.lexically_relative(base);
  return relative.empty() ? target.string() : relative.string();
}
}  // namespace

bool Recorder::Open(const std::string& path, std::string& error) {
  out_.open(path, std::ios::out | std::ios::trunc);
  if (!out_) {
    error = "cannot write the recording " + path;
    return false;
  }
  path_ = path;
  return true;
}

void Recorder::WriteLogs(std::vector<SeatLog> logs) {
  nlohmann::json seats = nlohmann::json::array();
  for (SeatLog& log : logs) {
    seats.push_back({{"seat", log.seat}, {"path", RelativeTo(log.path, path_)}});
  }
  out_ << Dump({{"logs", std::move(seats)}}) << std::endl;
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
      path, [&](std::vector<SeatLog> logs) { r.logs = std::move(logs); },
      [&](Snapshot s) { r.ticks.push_back(std::move(s)); },
      [&](std::vector<Standing> results) { r.results = std::move(results); });
  return r;
}

std::string ReadRecordingLines(const std::string& path,
                               const std::function<void(std::vector<SeatLog>)>& logs,
                               const std::function<void(Snapshot)>& tick,
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
      } else if (j.contains("logs")) {
        std::vector<SeatLog> seats;
        for (const nlohmann::json& s : j.at("logs")) {
          seats.push_back({s.at("seat").get<int>(), s.at("path").get<std::string>()});
        }
        logs(std::move(seats));
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
