// Where a player can still be safe from a forecast's blasts. Rivals may get
// in the way: a cell counts only when the player steps onto it before any
// rival could be standing there.
#pragma once

#include <climits>
#include <vector>

#include "forecast.h"

namespace sparring {

inline constexpr int kNever = INT_MAX;

// Steps until one of the players `from` could first stand on each cell,
// walking over the cells enterable now; kNever where none of them can. The
// player `late`, if one of them, spends the first step dropping a bomb.
std::vector<int> Arrivals(const Position& p, const std::vector<int>& from, int late = kNobody);
// Rivals that block only the cells they stand on.
std::vector<int> Standing(const Position& p, const std::vector<int>& from);

class Refuges {
 public:
  // `rivals` as Arrivals gives them: entering a cell on step t needs t < rivals[cell].
  Refuges(const Forecast& f, const Position& p, const std::vector<int>& rivals);

  // Standing on cell i after step t, the player can outlive every blast.
  bool Safe(int t, int i) const {
    return t > f_.horizon || safe_[static_cast<std::size_t>(t * f_.cells + i)] != 0;
  }
  // Cells a player on `from` before the next step can be standing on, alive,
  // once the last bomb has gone off; every cell of the map when none is ticking.
  int WaysOut(arena::Cell from) const;

 private:
  const Forecast& f_;
  const Position& p_;
  const std::vector<int>& rivals_;
  std::vector<char> safe_;
};

}  // namespace sparring
