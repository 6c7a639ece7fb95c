#include "progress.h"

#include <unistd.h>

#include <cstdio>

namespace tournament {

namespace {
const auto kPlainEvery = std::chrono::seconds(5);
}

Progress::Progress(int total, int done)
    : total_(total), before_(done), terminal_(::isatty(STDERR_FILENO) == 1) {}

void Progress::Update(int done, const std::string& standing) {
  const auto now = Clock::now();
  if (!terminal_ && now - lastPlain_ < kPlainEvery && done < total_) {
    return;
  }
  lastPlain_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const double rate = seconds > 0 ? (done - before_) / seconds : 0;
  const int left = rate > 0 ? static_cast<int>((total_ - done) / rate + 0.5) : 0;
  std::fprintf(stderr, "%sGames %d of %d, %.2f games/s, %d:%02d left, %s%s",
               terminal_ ? "\r\033[K" : "", done, total_, rate, left / 60, left % 60,
               standing.c_str(), terminal_ ? "" : "\n");
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
