// The status line while a tournament runs, on standard error: redrawn in
// place on a terminal, otherwise a plain line every few seconds. Owns only
// its clock and what it last showed.
#pragma once

#include <chrono>
#include <string>

namespace tournament {

class Progress {
 public:
  // `done` of the `total` games were finished before this run began.
  Progress(int total, int done);
  // Whether a line is due with `done` games finished: on a terminal a few
  // times a second and at every finished game, otherwise every 5 s and at the end.
  bool Due(int done) const;
  // Shows `done` games finished; `standing` is the Elo or the leader.
  void Update(int done, const std::string& standing);
  // Ends a redrawn line so the report starts on a line of its own.
  void Finish();

 private:
  using Clock = std::chrono::steady_clock;
  int total_;
  int before_;
  int shown_;
  bool terminal_;
  bool drawn_ = false;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastShown_;
};

}  // namespace tournament
