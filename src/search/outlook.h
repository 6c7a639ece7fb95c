// What the bombs still ticking at a leaf of the search will do once the
// horizon is passed: whether the bot can still get clear of every blast that
// reaches it, and what its own bomb will take with it. Reads the Board only;
// the Search owns one and reuses its storage at every leaf.
#pragma once

#include <array>
#include <cstdint>

#include "lookahead/board.h"
#include "search/target_map.h"

struct Outlook {
  bool trapped = false;    // no way of moves or waits outlives the blasts
  int blocks = 0;          // blocks the bot's own bomb will break
  int blocksOnTheWay = 0;  // of them, those that shorten its way to the fight
  int victims = 0;         // standing opponents it will catch
};

class OutlookFinder {
 public:
  Outlook Look(const Board& board, const Player& self, const TargetMap& targets);

 private:
  static constexpr int kRadius = 7;  // no blast further off can be outrun or reached in time
  static constexpr int kSide = 2 * kRadius + 1;
  static constexpr int kMostBombs = 64;

  struct Near {
    int x;
    int y;
    int time;  // the tick, from now, of its blast
    bool own;
  };

  // Runs the cells of `bomb`'s cross, distance 0 first, stopping each arm as
  // a blast would; `visit(x, y)` sees every cell reached.
  template <typename Visit>
  void Cross(const Board& board, const Near& bomb, Visit visit) const;
  int Local(int x, int y) const;  // index into the window, or -1
  // Living opponents on (x, y).
  static int StandingOpponents(const Board& board, const Player& self, int x, int y);
  // A cell the bot can count on stepping onto: clear, and no opponent beside
  // it who might step there first.
  static bool Free(const Board& board, const Player& self, int x, int y);

  std::array<Near, kMostBombs> near_{};
  int count_ = 0;
  int centreX_ = 0;  // the window is centred on the bot
  int centreY_ = 0;
  std::array<std::uint8_t, kSide * kSide> blastAt_{};  // bit t: a blast t ticks from now
  std::array<std::uint8_t, kSide * kSide> reach_{};
  std::array<std::uint8_t, kSide * kSide> next_{};
};
