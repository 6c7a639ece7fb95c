// Turns snapshots into what the terminal shows: an ANSI frame redrawn in
// place, a plain text frame, or only the round results. Keeps the last chat
// lines between frames; the caller prints the text it returns.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "view/snapshot.h"

namespace arena {

enum class ViewMode { Ansi, Plain, None };

class View {
 public:
  explicit View(ViewMode mode) : mode_(mode) {}

  std::string Draw(const Snapshot& s);

 private:
  std::vector<std::string> Panel(const Snapshot& s) const;
  std::vector<std::string> Map(const Snapshot& s) const;

  ViewMode mode_;
  bool first_ = true;
  std::deque<std::string> chat_;  // newest last
};

// "Round 2 of 3: <name> wins after 57 ticks", or "no winner" for a draw.
std::string RoundResult(const Snapshot& s);
std::string ResultsTable(const std::vector<Standing>& standings);

}  // namespace arena
