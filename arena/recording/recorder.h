// Writes a game to a file as it is played: one JSON object per line for every
// tick, then one with the results. Owns the open file; each line is flushed,
// so a run that is cut short still leaves a readable record of what happened.
#pragma once

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "view/snapshot.h"

namespace arena {

// The log file of a seat's program, as the recording names it.
struct SeatLog {
  int seat = 0;
  std::string path;  // relative to the recording's folder where it can be
  friend bool operator==(const SeatLog&, const SeatLog&) = default;
};

class Recorder {
 public:
  // False with `error` set when the file cannot be written.
  bool Open(const std::string& path, std::string& error);
  bool IsOpen() const { return out_.is_open(); }
  // Before the first tick: where each spawned seat's output goes, paths as
  // seen from here; they are written relative to the recording.
  void WriteLogs(std::vector<SeatLog> logs);
  void Write(const Snapshot& s);
  void WriteResults(const std::vector<Standing>& standings);

 private:
  std::ofstream out_;
  std::string path_;
};

// A recorded game read back; `error` names the first bad line.
struct Recording {
  std::vector<SeatLog> logs;
  std::vector<Snapshot> ticks;
  std::vector<Standing> results;
  std::string error;
};
Recording ReadRecording(const std::string& path);
// The same reading a line at a time, for recordings too big to hold: the
// logs, each tick and the results go to the callbacks as they are read.
// Returns the error, empty when the whole file was read.
std::string ReadRecordingLines(const std::string& path,
                               const std::function<void(std::vector<SeatLog>)>& logs,
                               const std::function<void(Snapshot)>& tick,
                               const std::function<void(std::vector<Standing>)>& results);

}  // namespace arena
