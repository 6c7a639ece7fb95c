#include "progress.h"

#include <unistd.h>

#include <cstdio>

namespace tournament {

namespace {
const auto kPlainEvery = std::chrono::seconds(5);
const auto kRedrawEvery = std::chrono::milliseconds(250);
}  // namespace

Progress::Progress(int total, int done)
    : total_(total),
      before_(done),
      shown_(done),
      terminal_(::isatty(STDERR_FILENO) == 1),
      lastShown_(Clock::now() - kPlainEvery) {}

bool Progress::Due(int done) const {
  const auto since = Clock::now() - lastShown_;
  if (terminal_) {
    return done != shown_ || since >= kRedrawEvery;
  }
  return since >= kPlainEvery || (done == total_ && done != shown_);
}

void Progress::Update(int done, const std::string& standing) {
  const auto now = Clock::now();
  lastShown_ = now;
  shown_ = done;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const double rate = seconds > 0 ? (done - before_) / seconds : 0;
  std::string left = "--:--";
  if (rate > 0) {
    const int s = static_cast<int>((total_ - done) / rate + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", s / 60, s % 60);
    left = text;
  }
  std::fprintf(stderr, "%sGames %d of %d, %.2f games/s, %s left, %s%s", terminal_ ? "\r\033[K" : "",
               done, total_, rate, left.c_str(), standing.c_str(), terminal_ ? "" : "\n");
  std::fflush(stderr);
  drawn_ = terminal_;
}

void Progress::Finish() {
  if (drawn_) {
    std::fputs("\n", stderr);
    drawn_ = false;
  }
}

}  // namespace tournament
