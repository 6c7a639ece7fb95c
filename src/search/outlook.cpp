#include "search/outlook.h"

#include <algorithm>
#include <cstdlib>

#include "lookahead/cell.h"

namespace {

constexpr int kReach = 2;

}  // namespace

int OutlookFinder::Local(int x, int y) const {
  const long long wx = static_cast<long long>(x) - centreX_ + kRadius;
  const long long wy = static_cast<long long>(y) - centreY_ + kRadius;
  return wx < 0 || wy < 0 || wx >= kSide || wy >= kSide ? -1 : static_cast<int>(wx + wy * kSide);
}

template <typename Visit>
void OutlookFinder::Cross(const Board& board, const Near& bomb, Visit visit) const {
  visit(bomb.x, bomb.y);
  for (const Direction& d : kDirections) {
    for (int k = 1; k <= kReach; ++k) {
      const int x = Shift(bomb.x, d.dx * k);
      const int y = Shift(bomb.y, d.dy * k);
      if (!Valid(x, y, board.Width(), board.Height())) {
        break;
      }
      const State::Tile tile = board.TileAt(x, y);
      if (tile == State::Tile::Wall) {
        break;
      }
      visit(x, y);
      if (tile == State::Tile::Block) {
        break;
      }
    }
  }
}

int OutlookFinder::StandingOpponents(const Board& board, const Player& self, int x, int y) {
  if (!board.PlayerOn(x, y)) {
    return 0;
  }
  // Caught ones stay on the board as obstacles; they cannot be caught twice.
  int standing = 0;
  for (const Player& p : board.players) {
    standing += p.alive && p.id != self.id && p.x == x && p.y == y ? 1 : 0;
  }
  return standing;
}

bool OutlookFinder::Free(const Board& board, const Player& self, int x, int y) {
  if (!board.Clear(x, y)) {
    return false;
  }
  // An opponent next to the cell may step onto it first.
  for (const Direction& d : kDirections) {
    const int nx = Shift(x, d.dx);
    const int ny = Shift(y, d.dy);
    if ((nx != self.x || ny != self.y) && board.PlayerOn(nx, ny)) {
      return false;
    }
  }
  return true;
}

Outlook OutlookFinder::Look(const Board& board, const Player& self, const TargetMap& targets) {
  Outlook outlook;
  centreX_ = self.x;
  centreY_ = self.y;

  // Step 1. The bombs near enough to matter, with their own timers.
  count_ = 0;
  for (const Bomb& b : board.bombs) {
    if (b.timer < 1 || count_ == kMostBombs) {
      continue;  // gone, or (timer 0) gone without a blast by the bot's rules
    }
    const long long dx = std::llabs(static_cast<long long>(b.x) - self.x);
    const long long dy = std::llabs(static_cast<long long>(b.y) - self.y);
    if (std::max(dx, dy) <= kRadius + kReach) {
      near_[static_cast<std::size_t>(count_++)] = {b.x, b.y, b.timer, b.owner == self.id};
    }
  }
  if (count_ == 0) {
    return outlook;
  }
  // Step 2. A bomb that a blast reaches goes off with it.
  for (bool lowered = true; lowered;) {
    lowered = false;
    for (int i = 0; i < count_; ++i) {
      const Near& source = near_[static_cast<std::size_t>(i)];
      Cross(board, source, [&](int x, int y) {
        for (int j = 0; j < count_; ++j) {
          Near& target = near_[static_cast<std::size_t>(j)];
          if (target.x == x && target.y == y && target.time > source.time) {
            target.time = source.time;
            lowered = true;
          }
        }
      });
    }
  }
  // Step 3. When each cell of the window is blasted; what the own bomb takes.
  blastAt_.fill(0);
  int last = 0;
  for (int i = 0; i < count_; ++i) {
    const Near& bomb = near_[static_cast<std::size_t>(i)];
    const int time = std::min(bomb.time, 7);
    last = std::max(last, time);
    Cross(board, bomb, [&](int x, int y) {
      if (const int cell = Local(x, y); cell >= 0) {
        blastAt_[static_cast<std::size_t>(cell)] |= static_cast<std::uint8_t>(1u << time);
      }
      if (bomb.own) {
        if (board.TileAt(x, y) == State::Tile::Block) {
          ++outlook.blocks;
          outlook.blocksOnTheWay += targets.OnTheWay(x, y) ? 1 : 0;
        } else {
          outlook.victims += StandingOpponents(board, self, x, y);
        }
      }
    });
  }
  // Step 4. Staying where no blast comes is safe; otherwise every tick the
  // bot may wait or step onto a free cell, and must not stand where a blast
  // of that tick lands. Cells that blasts clear are not counted on.
  const int home = Local(self.x, self.y);
  if (blastAt_[static_cast<std::size_t>(home)] == 0) {
    return outlook;
  }
  reach_.fill(0);
  reach_[static_cast<std::size_t>(home)] = 1;
  for (int t = 1; t <= last; ++t) {
    next_.fill(0);
    bool any = false;
    for (int cell = 0; cell < kSide * kSide; ++cell) {
      if (!reach_[static_cast<std::size_t>(cell)]) {
        continue;
      }
      const int cx = Shift(centreX_, cell % kSide - kRadius);
      const int cy = Shift(centreY_, cell / kSide - kRadius);
      const auto enter = [&](int x, int y, bool step) {
        const int to = Local(x, y);
        if (to < 0 || next_[static_cast<std::size_t>(to)] ||
            (blastAt_[static_cast<std::size_t>(to)] >> t & 1u) || (step && !board.Clear(x, y))) {
          return;
        }
        next_[static_cast<std::size_t>(to)] = 1;
        any = true;
      };
      enter(cx, cy, false);
      for (const Direction& d : kDirections) {
        enter(Shift(cx, d.dx), Shift(cy, d.dy), true);
      }
    }
    if (!any) {
      outlook.trapped = true;
      return outlook;
    }
    reach_.swap(next_);
  }
  return outlook;
}
