#include "search/outlook.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "lookahead/cell.h"

namespace {

constexpr int kReach = 2;
constexpr int kLatest = 7;  // later blasts are all marked at this tick

}  // namespace

int OutlookFinder::Local(int x, int y) const {
  const long long wx = static_cast<long long>(x) - centreX_ + kRadius;
  const long long wy = static_cast<long long>(y) - centreY_ + kRadius;
  return wx < 0 || wy < 0 || wx >= kSide || wy >= kSide ? -1 : static_cast<int>(wx + wy * kSide);
}

int OutlookFinder::CellX(int cell) const {
  return Shift(centreX_, cell % kSide - kRadius);
}

int OutlookFinder::CellY(int cell) const {
  return Shift(centreY_, cell / kSide - kRadius);
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

void OutlookFinder::Chain(const Board& board, int from) {
  // Earliest first: a bomb's time is final once every earlier blast has
  // been run, as in a shortest-path search.
  std::uint64_t done = 0;
  for (int round = from; round < count_; ++round) {
    int first = -1;
    for (int i = from; i < count_; ++i) {
      if (!(done >> i & 1u) && (first < 0 || near_[static_cast<std::size_t>(i)].time <
                                                 near_[static_cast<std::size_t>(first)].time)) {
        first = i;
      }
    }
    done |= std::uint64_t{1} << first;
    SetOff(board, near_[static_cast<std::size_t>(first)], from);
  }
}

void OutlookFinder::SetOff(const Board& board, const Near& source, int from) {
  Cross(board, source, [&](int x, int y) {
    for (int j = from; j < count_; ++j) {
      Near& target = near_[static_cast<std::size_t>(j)];
      if (target.x == x && target.y == y && target.time > source.time) {
        target.time = source.time;
      }
    }
  });
}

int OutlookFinder::Mark(const Board& board, int from, Window& at) const {
  int last = 0;
  for (int i = from; i < count_; ++i) {
    const Near& bomb = near_[static_cast<std::size_t>(i)];
    const int time = std::min(bomb.time, kLatest);
    last = std::max(last, time);
    Cross(board, bomb, [&](int x, int y) {
      if (const int cell = Local(x, y); cell >= 0) {
        at[static_cast<std::size_t>(cell)] |= static_cast<std::uint8_t>(1u << time);
      }
    });
  }
  return last;
}

bool OutlookFinder::Free(const Board& board, const Player& mover, int x, int y) {
  if (!board.Clear(x, y)) {
    return false;
  }
  for (const Direction& d : kDirections) {
    const int nx = Shift(x, d.dx);
    const int ny = Shift(y, d.dy);
    if ((nx != mover.x || ny != mover.y) && board.PlayerOn(nx, ny)) {
      return false;
    }
  }
  return true;
}

bool OutlookFinder::Passable(const Board& board, const Player& mover, int x, int y, int cell,
                             bool wary, int tick) {
  if (cell < 0) {
    return wary ? Free(board, mover, x, y) : board.Clear(x, y);
  }
  Passage& known = passages_[static_cast<std::size_t>(cell)];
  if (known.stamp != lookStamp_) {
    known = {lookStamp_, board.Clear(x, y), -1};
  }
  const int opens = opensAt_[static_cast<std::size_t>(cell)];
  const bool clear = known.clear || (opens != 0 && tick >= opens);
  if (!wary || !clear) {
    return clear;
  }
  int moverBeside = 0;
  for (const Direction& d : kDirections) {
    moverBeside += Shift(x, d.dx) == mover.x && Shift(y, d.dy) == mover.y ? 1 : 0;
  }
  if (known.beside < 0) {
    known.beside = 0;
    for (const Direction& d : kDirections) {
      known.beside += board.PlayerOn(Shift(x, d.dx), Shift(y, d.dy)) ? 1 : 0;
    }
  }
  return known.beside == moverBeside;
}

int OutlookFinder::Ways(const Board& board, const Player& mover, const Window& at, int last,
                        bool wary, bool counting, Obstacle obstacle) {
  const int home = Local(mover.x, mover.y);
  if (home < 0) {
    return counting ? kSide * kSide : 1;
  }
  // The cells the mover may stand on at tick t, as a list; mark_ tells
  // which are in the next tick's list already.
  int* reached = reached_.data();
  int* next = next_.data();
  int count = 1;
  reached[0] = home;
  for (int t = 1; t <= last; ++t) {
    if (++stamp_ == 0) {
      mark_.fill(0);
      stamp_ = 1;
    }
    int found = 0;
    for (int i = 0; i < count; ++i) {
      const int cell = reached[i];
      const int cx = CellX(cell);
      const int cy = CellY(cell);
      // Waiting needs no free cell; a step needs one it can count on.
      for (int d = -1; d < 4; ++d) {
        int to = cell;
        if (d >= 0) {
          const int x = Shift(cx, kDirections[d].dx);
          const int y = Shift(cy, kDirections[d].dy);
          to = Local(x, y);
          if (!Passable(board, mover, x, y, to, wary, t) ||
              (to == obstacle.cell && t >= obstacle.from)) {
            continue;
          }
          if (to < 0) {
            return counting ? kSide * kSide : t;
          }
        }
        const auto index = static_cast<std::size_t>(to);
        if (mark_[index] != stamp_ && !(at[index] >> t & 1u)) {
          if (!counting && at[index] >> t == 0) {
            return t;
          }
          mark_[index] = stamp_;
          next[found++] = to;
        }
      }
    }
    if (found == 0) {
      return 0;
    }
    std::swap(reached, next);
    count = found;
  }
  return counting ? count : last + 1;
}

bool OutlookFinder::ShutInByAWalk(const Board& board, const Player& self,
                                  const std::vector<int>& still, int home, int last, int bombs) {
  // Only drops within kReach steps of the bot matter (a blast reaches no
  // further, and a bomb further off barely bends a flight).
  const auto walks = [&](const Player& p) {
    return p.alive && p.id != self.id && Local(p.x, p.y) >= 0 &&
           Steps(p.x, p.y, self.x, self.y) <= kReach + kWalk &&
           std::find(still.begin(), still.end(), p.id) == still.end();
  };
  // Those holding no live bomb walk together: each may drop from the next tick.
  NewWalk();
  int count = 0;
  for (const Player& p : board.players) {
    if (walks(p) && !board.OwnsLiveBomb(p.id)) {
      count = Start(p, count);
    }
  }
  if (count > 0 && DropsAfterAWalk(board, self, home, last, count, 0)) {
    return true;
  }
  // One holding a bomb walks alone, and drops once its bombs are gone: the
  // answer to the bot's bomb beside its own.
  for (const Player& p : board.players) {
    if (!walks(p) || !board.OwnsLiveBomb(p.id)) {
      continue;
    }
    const int ready = Ready(board, self, p.id, bombs);
    if (ready <= kGoneSoon) {
      NewWalk();
      if (DropsAfterAWalk(board, self, home, last, Start(p, 0), ready)) {
        return true;
      }
    }
  }
  return false;
}

void OutlookFinder::NewWalk() {
  if (++stamp_ == 0) {
    mark_.fill(0);
    stamp_ = 1;
  }
}

int OutlookFinder::Start(const Player& walker, int count) {
  const auto cell = static_cast<std::size_t>(Local(walker.x, walker.y));
  if (mark_[cell] == stamp_) {
    return count;
  }
  mark_[cell] = stamp_;
  drops_[static_cast<std::size_t>(count)] = {static_cast<int>(cell), 0};
  return count + 1;
}

int OutlookFinder::Ready(const Board& board, const Player& self, int id, int bombs) const {
  // A bomb is gone the tick it blasts, or (timer 0) on the next without one.
  int ready = 1;
  for (const Bomb& b : board.bombs) {
    if (b.owner == id && b.timer > ready && !InReach(self, b.x, b.y)) {
      ready = b.timer;
    }
  }
  for (int i = 0; i < bombs; ++i) {
    if (near_[static_cast<std::size_t>(i)].owner == id) {
      ready = std::max(ready, near_[static_cast<std::size_t>(i)].time);
    }
  }
  return ready;
}

bool OutlookFinder::DropsAfterAWalk(const Board& board, const Player& self, int home, int last,
                                    int count, int ready) {
  const auto steps = [&](int x, int y) { return Steps(x, y, self.x, self.y); };
  // The walks that can still end within kReach steps of the bot.
  const auto promising = [&](int x, int y, int walked) {
    return steps(x, y) <= kReach + kWalk - walked;
  };
  // The cells the walkers can reach, fewest steps first.
  for (int i = 0; i < count; ++i) {
    const Drop from = drops_[static_cast<std::size_t>(i)];
    if (from.steps == kWalk) {
      continue;
    }
    for (const Direction& d : kDirections) {
      const int x = Shift(CellX(from.cell), d.dx);
      const int y = Shift(CellY(from.cell), d.dy);
      const int to = Local(x, y);
      if (to >= 0 && mark_[static_cast<std::size_t>(to)] != stamp_ &&
          promising(x, y, from.steps + 1) &&
          Passable(board, self, x, y, to, false, from.steps + 1)) {
        mark_[static_cast<std::size_t>(to)] = stamp_;
        drops_[static_cast<std::size_t>(count++)] = {to, from.steps + 1};
      }
    }
  }

  // Each drop after a walk alone, with the bombs on the board: one whose
  // blast reaches the bot, or, when the bot must flee anyway, one beside
  // its way. A drop where a free walker stands is the threat Trapped runs.
  const bool fleeing = blastAt_[static_cast<std::size_t>(home)] != 0;
  for (int i = 0; i < count; ++i) {
    const Drop drop = drops_[static_cast<std::size_t>(i)];
    const Near bomb = {CellX(drop.cell), CellY(drop.cell), 0, Bomb::kUnattributed};
    if ((drop.steps == 0 && ready == 0) || steps(bomb.x, bomb.y) > kReach) {
      continue;
    }
    // It stands there from tick `arrival` and drops the tick after, waiting
    // out of the way while a blast lands there on either tick.
    const unsigned blasted = blastAt_[static_cast<std::size_t>(drop.cell)];
    int arrival = std::max(drop.steps, ready);
    while ((blasted >> arrival & 3u) != 0) {
      ++arrival;
    }
    if (arrival + 1 >= kLatest) {
      continue;  // too late to tell from the blasts the window holds
    }
    int time = std::min(arrival + kNextDrop, kLatest);
    if (const unsigned later = blasted >> (arrival + 2); later != 0) {
      time = std::min(time, arrival + 2 + std::countr_zero(later));
    }
    dropAt_ = blastAt_;
    bool hits = false;
    Cross(board, bomb, [&](int x, int y) {
      if (const int at = Local(x, y); at >= 0) {
        dropAt_[static_cast<std::size_t>(at)] |= static_cast<std::uint8_t>(1u << time);
      }
      hits = hits || (x == self.x && y == self.y);
    });
    if (!hits && !fleeing) {
      continue;
    }
    if (Ways(board, self, dropAt_, std::max(last, time), true, false, {drop.cell, arrival}) == 0) {
      return true;
    }
  }
  return false;
}

bool OutlookFinder::InReach(const Player& self, int x, int y) {
  const long long dx = std::llabs(static_cast<long long>(x) - self.x);
  const long long dy = std::llabs(static_cast<long long>(y) - self.y);
  return std::max(dx, dy) <= kRadius + kReach;
}

int OutlookFinder::Blasts(const Board& board, const Player& self) {
  centreX_ = self.x;
  centreY_ = self.y;
  if (++lookStamp_ == 0) {
    passages_.fill({});
    lookStamp_ = 1;
  }
  count_ = 0;
  for (const Bomb& b : board.bombs) {
    if (b.timer < 1 || count_ == kMostBombs) {
      continue;  // gone, or (timer 0) gone without a blast by the bot's rules
    }
    if (InReach(self, b.x, b.y)) {
      near_[static_cast<std::size_t>(count_++)] = {b.x, b.y, b.timer, b.owner};
    }
  }
  Chain(board, 0);
  blastAt_.fill(0);
  Open(board);
  return Mark(board, 0, blastAt_);
}

void OutlookFinder::Open(const Board& board) {
  // A bomb's cell opens once every bomb there is gone, a block once the
  // first blast breaks it; both the tick after the blast, which lands there.
  opensAt_.fill(0);
  for (int i = 0; i < count_; ++i) {
    const Near& bomb = near_[static_cast<std::size_t>(i)];
    const auto opens = static_cast<std::uint8_t>(bomb.time < kLatest ? bomb.time + 1 : kNever);
    Cross(board, bomb, [&](int x, int y) {
      const int cell = Local(x, y);
      if (cell < 0) {
        return;
      }
      std::uint8_t& at = opensAt_[static_cast<std::size_t>(cell)];
      if (x == bomb.x && y == bomb.y) {
        at = std::max(at, opens);
      } else if (board.TileAt(x, y) == State::Tile::Block && opens != kNever &&
                 (at == 0 || opens < at)) {
        at = opens;
      }
    });
  }
}

bool OutlookFinder::Trapped(const Board& board, const Player& self, const std::vector<int>& still,
                            int last, bool wary) {
  // An opponent holding no live bomb may drop one where it stands on the
  // next tick, with chains: the bot's way out must outlive that too.
  const int bombs = count_;
  for (const Player& p : board.players) {
    if (wary && p.alive && p.id != self.id && count_ < kMostBombs && InReach(self, p.x, p.y) &&
        !board.OwnsLiveBomb(p.id)) {
      near_[static_cast<std::size_t>(count_++)] = {p.x, p.y, kNextDrop, p.id};
    }
  }
  threatAt_ = blastAt_;
  int threatLast = last;
  if (count_ > bombs) {
    // A bomb not yet dropped sets off no bomb that blasts before it would.
    for (int i = 0; i < bombs; ++i) {
      SetOff(board, near_[static_cast<std::size_t>(i)], bombs);
    }
    Chain(board, bombs);
    threatLast = std::max(last, Mark(board, bombs, threatAt_));
  }
  // Staying where no blast comes is safe; otherwise every tick the bot may
  // wait or step onto a free cell, and must not stand where a blast of that
  // tick lands.
  const int home = Local(self.x, self.y);
  if (threatAt_[static_cast<std::size_t>(home)] != 0 &&
      Ways(board, self, threatAt_, threatLast, wary, false) == 0) {
    return true;
  }
  return wary && ShutInByAWalk(board, self, still, home, last, bombs);
}

bool OutlookFinder::ShutIn(const Board& board, const Player& self, const std::vector<int>& still) {
  const int last = Blasts(board, self);
  // Shut in by the bombs alone, the bot dies in the line itself, where a
  // later death is told from an earlier one.
  const int home = Local(self.x, self.y);
  if (blastAt_[static_cast<std::size_t>(home)] != 0 &&
      Ways(board, self, blastAt_, last, false, false) == 0) {
    return false;
  }
  return Trapped(board, self, still, last, true);
}

Outlook OutlookFinder::Look(const Board& board, const Player& self, const TargetMap& targets,
                            const std::vector<int>& still, bool wary) {
  const auto standsStill = [&](int id) {
    return std::find(still.begin(), still.end(), id) != still.end();
  };
  Outlook outlook;

  // Step 1. When each cell of the window is blasted, by the bombs near
  // enough to matter; a bomb that a blast reaches goes off with it.
  const int last = Blasts(board, self);
  const int bombs = count_;

  // Step 2. What the own bomb takes.
  for (int i = 0; i < bombs; ++i) {
    if (near_[static_cast<std::size_t>(i)].owner == self.id) {
      // Capped as the window marks it: a server's timer may be any int.
      outlook.ownBlast = std::min(near_[static_cast<std::size_t>(i)].time, kLatest);
      Cross(board, near_[static_cast<std::size_t>(i)], [&](int x, int y) {
        if (Valid(x, y, board.Width(), board.Height()) &&
            board.TileAt(x, y) == State::Tile::Block) {
          ++outlook.blocks;
          outlook.blocksOnTheWay += targets.OnTheWay(x, y) ? 1 : 0;
        }
      });
    }
  }
  // An opponent standing still in an own blast is caught, once however many
  // own bombs reach it (a server may credit the bot with several).
  for (const Player& p : board.players) {
    if (!p.alive || p.id == self.id || !standsStill(p.id)) {
      continue;
    }
    bool reached = false;
    for (int i = 0; i < bombs && !reached; ++i) {
      if (near_[static_cast<std::size_t>(i)].owner == self.id) {
        Cross(board, near_[static_cast<std::size_t>(i)],
              [&](int x, int y) { reached = reached || (x == p.x && y == p.y); });
      }
    }
    outlook.victims += reached ? 1 : 0;
  }

  // Step 3. Each opponent in a blast's way: caught when no way of moves or
  // waits outlives the blasts, squeezed when few cells are left to it.
  // Caught ones stay on the board as obstacles and are not caught twice.
  for (const Player& p : board.players) {
    const int cell = Local(p.x, p.y);
    if (!p.alive || p.id == self.id || cell < 0 || blastAt_[static_cast<std::size_t>(cell)] == 0 ||
        standsStill(p.id)) {
      continue;
    }
    const int ways = Ways(board, p, blastAt_, last, false, true);
    if (ways == 0) {
      ++outlook.victims;
    } else if (ways <= kTight) {
      outlook.squeeze += kTight + 1 - ways;
    }
  }

  // Step 4. Whether the bot can still outrun the blasts.
  outlook.trapped = Trapped(board, self, still, last, wary);
  const int home = Local(self.x, self.y);
  // Step 5. The ticks still to spend in a blast's path: a line that drops
  // its bomb at the horizon pays for the flight it has not yet made, as one
  // that dropped it earlier did along the way.
  if (!outlook.trapped && blastAt_[static_cast<std::size_t>(home)] != 0) {
    outlook.flight = std::max(Ways(board, self, blastAt_, last, false, false) - 1, 0);
  }
  return outlook;
}
