#include "search/search.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "lookahead/cell.h"
#include "lookahead/evaluator.h"
#include "lookahead/tick.h"

namespace {

constexpr int kTableBits = 18;  // 4 MiB of positions
// Values, in the order they matter: the bot's death, each opponent caught, a bomb that will catch
// one, being trapped, then blocks and the way to the fight. Every tick later a death costs less and
// a catch is worth less, so the bot puts off the one and hurries the other.
constexpr int kPlyStep = 1000;
constexpr int kCatch = 200000;
constexpr int kPendingCatch = 100000;
constexpr int kTrapped = -500000;
constexpr int kBlock = 400;
constexpr int kPendingBlock = 300;
// A block on the way to the fight is worth the steps it saves.
constexpr int kBlockOnTheWay = 300;
constexpr int kPendingBlockOnTheWay = 500;
constexpr int kDistance = 100;
// Rewards come as they happen along a line, a little less each tick later,
// so that of two lines that get the same the quicker one wins: a plan that
// could as well start next tick otherwise never starts.
constexpr int kBlockDecay = 20;
constexpr int kPathDistance = 40;
// Each tick spent where a ticking bomb's blast will land: leave such cells
// early rather than at the last moment a late answer would not make.
constexpr int kExposed = 400;
// Each tick spent beside a living opponent: it may step into the bot's way
// out, which the model, where it stands still, never sees.
constexpr int kCrowded = 20000;
// The clock is read at every searched position (a read costs about 20 ns, a
// position on a crowded large map a few us), and the search stops a little
// before the budget, which the last position and the answer still take.
constexpr std::uint32_t kClockEvery = 1;
constexpr std::chrono::microseconds kMostMargin{100};

constexpr Command kCommandOrder[Search::kCommands] = {
    Command::Stay, Command::Up, Command::Down, Command::Left, Command::Right, Command::DropBomb};

const Player* FindSelf(const Board& board) {
  for (const Player& p : board.players) {
    if (p.id == State::kSelfId) {
      return &p;
    }
  }
  return nullptr;
}

// Commands that would leave the position as Stay does are not searched twice.
bool Changes(const Board& board, const Player& self, Command command) {
  switch (command) {
    case Command::Up:
      return board.Clear(self.x, Shift(self.y, -1));
    case Command::Down:
      return board.Clear(self.x, Shift(self.y, 1));
    case Command::Left:
      return board.Clear(Shift(self.x, -1), self.y);
    case Command::Right:
      return board.Clear(Shift(self.x, 1), self.y);
    case Command::DropBomb:
      return !board.OwnsLiveBomb(self.id);
    case Command::Stay:
      return true;
  }
  return true;
}

// Whether a living opponent stands beside (x, y).
bool Crowded(const Board& board, int x, int y) {
  for (const Player& p : board.players) {
    if (p.alive && p.id != State::kSelfId &&
        std::llabs(static_cast<long long>(p.x) - x) + std::llabs(static_cast<long long>(p.y) - y) ==
            1) {
      return true;
    }
  }
  return false;
}

// Whether a live bomb's blast would reach (x, y) as the board stands.
bool Exposed(const Board& board, int x, int y) {
  for (const Bomb& bomb : board.bombs) {
    if (bomb.timer < 1 || (bomb.x != x && bomb.y != y)) {
      continue;
    }
    const long long gap = std::llabs(static_cast<long long>(bomb.x) - x) +
                          std::llabs(static_cast<long long>(bomb.y) - y);
    if (gap > 2) {
      continue;
    }
    // The cell between, if any, must let the blast through.
    const int mx = bomb.x + (x - bomb.x) / 2;
    const int my = bomb.y + (y - bomb.y) / 2;
    if (gap < 2 || (Valid(mx, my, board.Width(), board.Height()) &&
                    board.TileAt(mx, my) == State::Tile::Empty)) {
      return true;
    }
  }
  return false;
}

}  // namespace

Search::Search(std::chrono::microseconds budget)
    : budget_(budget), boards_(kMaxDepth + 1), table_(kTableBits) {
  simulators_.reserve(boards_.size());
  for (Board& board : boards_) {
    simulators_.emplace_back(&board);
  }
}

bool Search::OutOfTime() {
  // The first depth always completes, so that every command has a value.
  if (decision_.depth == 0 || ++sinceClock_ % kClockEvery != 0) {
    return stopped_;
  }
  stopped_ = stopped_ || Clock::now() >= deadline_;
  return stopped_;
}

void Search::Play(int ply, Command command, bool othersDrop) {
  Board& board = boards_[static_cast<std::size_t>(ply)];
  if (ply == 1) {
    board.Reset(*live_);
  } else {
    // An opponent caught in the model may well have walked away in truth:
    // it stays on the board as an obstacle, so that no escape counts on it
    // being gone.
    board.Reset(boards_[static_cast<std::size_t>(ply - 1)], true);
  }
  for (Player& p : board.players) {
    p.command = othersDrop && p.id != State::kSelfId ? Command::DropBomb : Command::Stay;
  }
  PlayTick(simulators_[static_cast<std::size_t>(ply)], command);
  ++decision_.ticks;
}

int Search::Leaf(const Board& board, const Player& self, int ply) {
  const Outlook outlook = outlook_.Look(board, self, targets_);
  if (outlook.trapped) {
    return kTrapped + ply * kPlyStep;
  }
  return outlook.victims * (kPendingCatch - ply * kPlyStep) + kPendingBlock * outlook.blocks +
         kPendingBlockOnTheWay * outlook.blocksOnTheWay - kDistance * targets_.At(self.x, self.y);
}

int Search::Value(int ply, int depthLeft, int deadBefore) {
  const Board& board = boards_[static_cast<std::size_t>(ply)];
  // Step 1. A line in which the bot dies ends there.
  const Player* self = FindSelf(board);
  if (self == nullptr || !self->alive) {
    return kDeath + ply * kPlyStep;
  }
  // Step 2. Opponents caught in this tick: dead now, alive a tick before.
  int dead = 0;
  for (const Player& p : board.players) {
    dead += p.id != State::kSelfId && !p.alive ? 1 : 0;
  }
  int gain = (dead - deadBefore) * (kCatch - ply * kPlyStep) -
             kPathDistance * targets_.After(self->x, self->y, board.Destroyed()) -
             (Exposed(board, self->x, self->y) ? kExposed : 0) -
             (Crowded(board, self->x, self->y) ? kCrowded : 0);
  // Blocks broken in this tick: those listed after the ones the position
  // started the tick with.
  const auto& broken = board.Destroyed();
  const std::size_t before =
      ply == 1 ? 0 : boards_[static_cast<std::size_t>(ply - 1)].Destroyed().size();
  for (std::size_t i = before; i < broken.size(); ++i) {
    const auto& [x, y] = broken[i];
    gain += kBlock + (targets_.OnTheWay(x, y) ? kBlockOnTheWay : 0) - ply * kBlockDecay;
  }
  if (depthLeft == 0) {
    return gain + Leaf(board, *self, ply);
  }
  // Step 3. A position met before on another line. The table keeps what
  // lies ahead of a position only: what a line gained on its way in (a catch,
  // a block) depends on the line, and two lines may catch the same opponent
  // at different ticks and still meet.
  const std::uint64_t key = PositionKey(board, ply, depthLeft);
  int ahead = 0;
  if (table_.Probe(key, ahead)) {
    return gain + ahead;
  }
  if (OutOfTime()) {
    return 0;
  }
  // Step 4. The best of the bot's commands that change something.
  int best = INT_MIN;
  for (const Command command : kCommandOrder) {
    if (!Changes(board, *self, command)) {
      continue;
    }
    Play(ply + 1, command, false);
    const int next = Value(ply + 1, depthLeft - 1, dead);
    if (stopped_) {
      return 0;
    }
    best = std::max(best, next);
  }
  table_.Store(key, best);
  return gain + best;
}

const Search::Decision& Search::Decide(const State& live) {
  const Clock::time_point start = Clock::now();
  deadline_ = start + budget_ - std::min(kMostMargin, budget_ / 5);
  decision_ = Decision{};
  stopped_ = false;
  sinceClock_ = 0;
  table_.NewDecision();
  live_ = &live;

  const Player* self = live.FindPlayer(State::kSelfId);
  if (self == nullptr) {
    // Nobody to move: every command is as bad as it gets, and nothing is searched.
    decision_.values.fill(Evaluator::kNoRecord);
    return decision_;
  }
  // Every board sized for this many records now, so that no depth reached
  // for the first time later in the game allocates.
  const std::size_t records = live.players.size() + live.bombs.size();
  if (records > warmFor_) {
    // A line adds at most a bomb a player a tick, a bomb breaks at most four
    // blocks, and a board keeps the destroyed ones with the bombs.
    const std::size_t players = live.players.size();
    const std::size_t bombs = live.bombs.size() + players * boards_.size();
    for (std::size_t ply = 0; ply < boards_.size(); ++ply) {
      boards_[ply].Reset(live);
      boards_[ply].Reserve(players, bombs, 5 * bombs);
      simulators_[ply].Reserve(bombs);
    }
    warmFor_ = records;
  }
  targets_.Build(live, *self);
  // Opponents that hold no live bomb may drop one at once.
  bool mayDrop = false;
  for (const Player& p : live.players) {
    if (p.id == State::kSelfId) {
      continue;
    }
    mayDrop = mayDrop || std::none_of(live.bombs.begin(), live.bombs.end(), [&](const Bomb& b) {
                return b.owner == p.id && b.timer >= 0;
              });
  }

  // Iterative deepening: each depth in full, or not at all.
  for (int depth = 1; depth <= kMaxDepth; ++depth) {
    std::array<int, kCommands> values{};
    for (int c = 0; c < kCommands && !stopped_; ++c) {
      int worst = INT_MAX;
      for (const bool othersDrop : {false, true}) {
        if (othersDrop && !mayDrop) {
          continue;
        }
        Play(1, kCommandOrder[c], othersDrop);
        if (depth == 1 && !othersDrop) {
          const Player* moved = FindSelf(boards_[1]);
          decision_.x[static_cast<std::size_t>(c)] = moved->x;
          decision_.y[static_cast<std::size_t>(c)] = moved->y;
        }
        worst = std::min(worst, Value(1, depth - 1, 0));
        if (stopped_) {
          break;
        }
      }
      values[static_cast<std::size_t>(c)] = worst;
    }
    if (stopped_) {
      break;
    }
    decision_.values = values;
    decision_.depth = depth;
  }
  return decision_;
}
