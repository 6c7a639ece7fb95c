#include "search/search.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "lookahead/cell.h"
#include "lookahead/evaluator.h"
#include "lookahead/tick.h"

namespace {

constexpr int kTableBits = 18;  // 4 MiB of positions
// What the bombs at a leaf will do, 2.5 MiB: most leaves are reached again
// (by other replies, other orders of moves, and as the next depth's inner
// positions), and working it out is most of a leaf's cost.
constexpr int kOutlookBits = 16;
// Values, in the order they matter: the bot's death, each opponent caught, a bomb that will catch
// one, being trapped, then blocks and the way to the fight. Every tick later a death costs less and
// a catch is worth less, so the bot puts off the one and hurries the other.
constexpr int kPlyStep = 1000;
constexpr int kCatch = 200000;
constexpr int kPendingCatch = 100000;
constexpr int kTrapped = -500000;
// Below this every line dies or ends trapped.
constexpr int kDoomed = kTrapped + Search::kMaxDepth * kPlyStep;
// At the first tick every reply of the rivals is tried. Each that hands the
// bot a catch the worst reply (the others' joint drop among them) does not
// is an opponent's wrong guess. A careful player is never caught by force,
// only where it must guess, so a command earns the share of kGuess that the
// wrong guesses make of the rivals' replies.
constexpr int kGuess = 20000;
// Each cell short of kTight + 1 that the blasts leave an opponent to flee to.
constexpr int kSqueeze = 2000;
// A block counts when it breaks; one still to break at the horizon counts
// as if it broke when its bomb blasts. It outweighs the ticks spent getting
// clear of the bomb (kExposed each), or the bot would never break one.
constexpr int kBlock = 1000;
// A block on the way to the fight is worth the steps it saves.
constexpr int kBlockOnTheWay = 300;
constexpr int kDistance = 100;
// Rewards come as they happen along a line, a little less each tick later,
// so that of two lines that get the same the quicker one wins: a plan that
// could as well start next tick otherwise never starts.
constexpr int kBlockDecay = 20;
constexpr int kPathDistance = 40;
// Each tick spent where a ticking bomb's blast will land: leave such cells
// early rather than at the last moment a late answer would not make.
constexpr int kExposed = 400;
// On top, each tick at the end of which a blast is due on the bot's cell: the
// next command must take it out, and one that reaches the server a tick late,
// as some do, is fatal. A plan with a tick to spare beats one timed to the
// last. With kExposed it stays below kPlyStep, so a later death still counts
// as the better one.
constexpr int kLastTick = 500;
// Each tick spent beside a living opponent: it may step into the bot's way
// out, which the model, where it stands still, never sees.
constexpr int kCrowded = 20000;
// Each tick of the last Search::kTrail that the bot stood on the cell a
// command leads to (a bomb's drop excepted, which changes the position):
// where nothing changes a careful opponent is never caught, so a standoff is
// left for another cell rather than held.
constexpr int kStale = 40;
// The clock is read at every searched position (a read costs about 20 ns, a
// position on a crowded large map a few us), and the search stops a little
// before the budget, which the last position and the answer still take (at
// 100 us, the 99th percentile of four-seat games reached 10.02 ms at T = 10).
constexpr std::uint32_t kClockEvery = 1;
constexpr std::chrono::microseconds kMostMargin{200};
// An opponent that has not moved since the round began, for this many ticks,
// is taken to stand still: it answers nothing, and standing in the bot's
// blast it is caught. One that moved before must stay put far longer: a
// player that waits for its chance, and flees when threatened, waits this
// long often.
constexpr int kStillTicks = 8;
constexpr int kStuckTicks = 40;
// The opponents this close (in steps), up to kMostFleeing of them, step off
// a blast's path in the model instead of standing in it; those further off
// cannot reach the bot's fight within the horizon that matters.
constexpr long long kFleeReach = 12;
constexpr std::size_t kMostFleeing = 8;
// A position holding more players and bombs than this is not searched: each
// simulated tick copies them all, and the leaves scan them.
constexpr std::size_t kMostRecords = 4096;

constexpr Command kCommandOrder[Search::kCommands] = {
    Command::Stay, Command::Up, Command::Down, Command::Left, Command::Right, Command::DropBomb};

// Whether every command dies or ends trapped.
bool AllDoomed(const std::array<int, Search::kCommands>& values) {
  return std::all_of(values.begin(), values.end(), [](int v) { return v < kDoomed; });
}

const Player* FindPlayer(const Board& board, int id) {
  for (const Player& p : board.players) {
    if (p.id == id) {
      return &p;
    }
  }
  return nullptr;
}

const Player* FindSelf(const Board& board) {
  return FindPlayer(board, State::kSelfId);
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

// The lowest timer of the ticking bombs whose blast would reach (x, y) as
// the board stands (one on the cell, or up to two cells off in line with
// nothing but floor between), or 0 when none would.
int SoonestBlast(const Board& board, int x, int y) {
  int soonest = 0;
  const auto see = [&](int bx, int by) {
    const Bomb* bomb = board.LiveBombAt(bx, by);
    if (bomb != nullptr && bomb->timer >= 1 && (soonest == 0 || bomb->timer < soonest)) {
      soonest = bomb->timer;
    }
  };
  see(x, y);
  for (const Direction& d : kDirections) {
    for (int k = 1; k <= 2; ++k) {
      const int bx = Shift(x, d.dx * k);
      const int by = Shift(y, d.dy * k);
      if (!Valid(bx, by, board.Width(), board.Height())) {
        break;
      }
      const State::Tile tile = board.TileAt(bx, by);
      if (tile == State::Tile::Wall || tile == State::Tile::Block) {
        break;
      }
      see(bx, by);
    }
  }
  return soonest;
}

bool Exposed(const Board& board, int x, int y) {
  return SoonestBlast(board, x, y) > 0;
}

// What a tick on a cell costs whose soonest blast is `soonest` ticks off.
int Exposure(int soonest) {
  return soonest == 0 ? 0 : soonest == 1 ? kExposed + kLastTick : kExposed;
}

// An opponent the model does not search steps off a blast's path, to a
// cell out of it if there is one: one that stood still in the path would be
// counted caught by a bomb it walks away from. The step is a myopic one, and
// may lead into a dead end or a blast: the flight of a careful player (the
// quickest way to safety, waiting where it must) foresaw fewer catches and
// won fewer games against the clients we meet (bench/RESULTS.md).
Command Flee(const Board& board, const Player& p) {
  if (!Exposed(board, p.x, p.y)) {
    return Command::Stay;
  }
  constexpr Command kSteps[4] = {Command::Up, Command::Down, Command::Left, Command::Right};
  Command step = Command::Stay;
  for (int i = 0; i < 4; ++i) {
    const int x = Shift(p.x, kDirections[i].dx);
    const int y = Shift(p.y, kDirections[i].dy);
    if (!board.Clear(x, y)) {
      continue;
    }
    if (!Exposed(board, x, y)) {
      return kSteps[i];
    }
    step = step == Command::Stay ? kSteps[i] : step;
  }
  return step;
}

}  // namespace

Search::Search(std::chrono::microseconds budget, int maxDepth)
    : budget_(budget),
      maxDepth_(std::clamp(maxDepth, 1, kMaxDepth)),
      boards_(kMaxDepth + 1),
      sizedFor_(kMaxDepth + 1, 0),
      table_(kTableBits),
      outlooks_(kOutlookBits) {
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

void Search::Prepare(int ply) {
  const State& live = *live_;
  const std::size_t records = live.players.size() + live.bombs.size();
  std::size_t& sized = sizedFor_[static_cast<std::size_t>(ply)];
  if (records <= sized) {
    return;
  }
  // A player holds one live bomb at a time, so a board never holds more
  // bombs than the live ones and one a player; a bomb breaks at most four
  // blocks, and a player drops at most one bomb a tick (a chain may set its
  // last one off early). Boards are sized only as deep as the budget
  // reaches, so a crowded position keeps few of them.
  const std::size_t players = live.players.size();
  const std::size_t bombs = live.bombs.size() + players;
  const std::size_t drops = live.bombs.size() + players * static_cast<std::size_t>(ply);
  const std::size_t destroyed =
      std::min(static_cast<std::size_t>(std::max(live.Blocks(), 0)), 4 * drops);
  Board& board = boards_[static_cast<std::size_t>(ply)];
  board.Reset(live);
  board.Reserve(players, bombs, destroyed);
  simulators_[static_cast<std::size_t>(ply)].Reserve(bombs);
  sized = records;
}

std::chrono::nanoseconds Search::PrepareCost(int ply) const {
  // Sizing a board clears cell indexes that cover a small map; the memory is
  // new to the process, so each cell costs a little more than a write.
  constexpr std::chrono::nanoseconds kPerCell{4};
  const State& live = *live_;
  if (live.players.size() + live.bombs.size() <= sizedFor_[static_cast<std::size_t>(ply)]) {
    return {};
  }
  const long long cells = static_cast<long long>(live.width) * live.height;
  return kPerCell * std::min<long long>(cells, static_cast<long long>(CellIndex::kDenseCells));
}

void Search::FindRivals(const Board& board, const Player& self) {
  rivalCount_ = 0;
  near_.clear();
  for (const Player& p : board.players) {
    if (p.id != State::kSelfId && p.alive && Steps(p.x, p.y, self.x, self.y) <= kRivalReach &&
        !StandsStill(p.id)) {
      near_.push_back(&p);
    }
  }
  if (near_.empty()) {
    return;
  }
  // Breadth first over the cells the bot can walk: the first opponents met
  // are the ones that can get in its way soonest. One behind a block or round
  // a wall counts by the way round, and past kRivalReach steps not at all.
  const auto local = [&](int x, int y) {
    return static_cast<std::size_t>((x - self.x + kRivalReach) +
                                    (y - self.y + kRivalReach) * kWalkSide);
  };
  if (++walkStamp_ == 0) {
    walked_.fill(0);
    walkStamp_ = 1;
  }
  std::size_t head = 0;
  std::size_t tail = 0;
  walkQueue_[tail++] = {self.x, self.y, 0};
  walked_[local(self.x, self.y)] = walkStamp_;
  while (head < tail) {
    const Step at = walkQueue_[head++];
    for (const Direction& d : kDirections) {
      const int x = Shift(at.x, d.dx);
      const int y = Shift(at.y, d.dy);
      for (const Player*& p : near_) {
        if (p != nullptr && p->x == x && p->y == y) {
          rivals_[static_cast<std::size_t>(rivalCount_++)] = p->id;
          if (rivalCount_ == kRivals) {
            return;
          }
          p = nullptr;  // met once
        }
      }
      if (at.steps + 1 >= kRivalReach || Steps(x, y, self.x, self.y) > kRivalReach ||
          walked_[local(x, y)] == walkStamp_ || !board.Clear(x, y)) {
        continue;
      }
      walked_[local(x, y)] = walkStamp_;
      walkQueue_[tail++] = {x, y, at.steps + 1};
    }
  }
}

int Search::RivalAt(int id, int ply) const {
  for (int r = 0; r < rivalCount_; ++r) {
    if (rivals_[static_cast<std::size_t>(r)] == id) {
      return ply <= kRivalPlies[static_cast<std::size_t>(r)] ? r : -1;
    }
  }
  return -1;
}

bool Search::Crowded(const Board& board, int x, int y, int ply, bool leaf) const {
  for (const Player& p : board.players) {
    if (p.alive && p.id != State::kSelfId && Steps(p.x, p.y, x, y) == 1 &&
        (leaf || RivalAt(p.id, ply) < 0)) {
      return true;
    }
  }
  return false;
}

void Search::Watch(const State& live, const Player& self) {
  if (live.tick < lastTick_) {
    seen_.clear();  // a new round
    trailKept_ = 0;
  }
  trail_[static_cast<std::size_t>(trailNext_)] = {self.x, self.y};
  trailNext_ = (trailNext_ + 1) % kTrail;
  trailKept_ = std::min(trailKept_ + 1, kTrail);
  if (seen_.empty()) {
    GuessOwnId(live);
  }
  lastTick_ = live.tick;
  still_.clear();
  still_.reserve(live.players.size());
  // Only the opponents listed now are kept, in the list's order, so that a
  // server sending new ids every block cannot grow the list. The reader
  // keeps the players that stay in their order and appends new ones after
  // them: one pass over the last list finds each.
  seen_.reserve(live.players.size());  // both, so that one decision warms them
  watched_.clear();
  watched_.reserve(live.players.size());
  std::size_t next = 0;
  for (const Player& p : live.players) {
    if (p.id == State::kSelfId) {
      continue;
    }
    std::size_t at = next;
    while (at < seen_.size() && seen_[at].id != p.id) {
      ++at;
    }
    next = at;  // past the players dropped since; at the end for a new one
    if (at == seen_.size()) {
      watched_.push_back({p.id, p.x, p.y, 0, false});
      continue;
    }
    Seen seen = seen_[at];
    ++next;
    const bool stayed = seen.x == p.x && seen.y == p.y;
    seen.ticks = stayed ? seen.ticks + 1 : 0;
    seen.moved = seen.moved || !stayed;
    seen.x = p.x;
    seen.y = p.y;
    if (seen.ticks >= (seen.moved ? kStuckTicks : kStillTicks)) {
      still_.push_back(p.id);
    }
    watched_.push_back(seen);
  }
  seen_.swap(watched_);
}

void Search::GuessOwnId(const State& live) {
  ownId_ = kUnknownId;
  if (!live.bombs.empty()) {
    return;
  }
  const std::size_t others = live.players.size() - 1;
  listed_.assign(others + 1, 0);
  for (const Player& p : live.players) {
    if (p.id == State::kSelfId) {
      continue;
    }
    if (p.id < 0 || static_cast<std::size_t>(p.id) > others ||
        listed_[static_cast<std::size_t>(p.id)] != 0) {
      return;
    }
    listed_[static_cast<std::size_t>(p.id)] = 1;
  }
  ownId_ = static_cast<int>(std::find(listed_.begin(), listed_.end(), 0) - listed_.begin());
}

void Search::Order(const State& live) {
  order_.assign(live.players.begin(), live.players.end());
  const auto self = std::find_if(order_.begin(), order_.end(),
                                 [](const Player& p) { return p.id == State::kSelfId; });
  const bool taken =
      std::any_of(order_.begin(), order_.end(), [&](const Player& p) { return p.id == ownId_; });
  if (ownId_ == kUnknownId || taken || self == order_.end()) {
    return;  // as listed: the reader puts the bot last
  }
  const Player bot = *self;
  order_.erase(self);
  const auto after =
      std::find_if(order_.begin(), order_.end(), [&](const Player& p) { return p.id > ownId_; });
  order_.insert(after, bot);
}

int Search::Stale(int x, int y) const {
  return static_cast<int>(std::count(trail_.begin(), trail_.begin() + trailKept_, std::pair{x, y}));
}

bool Search::Modelled(int id) const {
  return StandsStill(id) || std::find(fleeing_.begin(), fleeing_.end(), id) != fleeing_.end() ||
         std::find(rivals_.begin(), rivals_.begin() + rivalCount_, id) !=
             rivals_.begin() + rivalCount_;
}

bool Search::StandsStill(int id) const {
  return std::find(still_.begin(), still_.end(), id) != still_.end();
}

void Search::ChooseFleeing(const State& live, const Player& self) {
  fleeing_.clear();
  ranked_.clear();
  for (const Player& p : live.players) {
    if (p.id == State::kSelfId || !p.alive) {
      continue;
    }
    if (const long long steps = Steps(p.x, p.y, self.x, self.y); steps <= kFleeReach) {
      ranked_.push_back({steps, p.id});
    }
  }
  const std::size_t kept = std::min(ranked_.size(), kMostFleeing);
  std::partial_sort(ranked_.begin(), ranked_.begin() + static_cast<std::ptrdiff_t>(kept),
                    ranked_.end());
  for (std::size_t i = 0; i < kept; ++i) {
    const int id = ranked_[i].second;
    if (!StandsStill(id)) {
      fleeing_.push_back(id);
    }
  }
}

void Search::Play(int ply, Command command, Reply reply) {
  Board& board = boards_[static_cast<std::size_t>(ply)];
  if (ply == 1) {
    board.Reset(*live_, order_);
  } else {
    // An opponent caught in the model may well have walked away in truth:
    // it stays on the board as an obstacle, so that no escape counts on it
    // being gone.
    board.Reset(boards_[static_cast<std::size_t>(ply - 1)], true);
  }
  for (Player& p : board.players) {
    if (p.id == State::kSelfId) {
      continue;
    }
    const int rival = RivalAt(p.id, ply);
    p.command = rival >= 0         ? reply.rivals[static_cast<std::size_t>(rival)]
                : reply.othersDrop ? Command::DropBomb
                : p.alive && std::find(fleeing_.begin(), fleeing_.end(), p.id) != fleeing_.end()
                    ? Flee(board, p)
                    : Command::Stay;
  }
  PlayTick(simulators_[static_cast<std::size_t>(ply)], command);
  ++decision_.ticks;
}

int Search::Leaf(const Board& board, std::uint64_t key, const Player& self, int ply) {
  Outlook outlook;
  if (!outlooks_.Probe(key, outlook)) {
    outlook = outlook_.Look(board, self, targets_, still_, !hopeful_);
    outlooks_.Store(key, outlook);
  }
  if (outlook.trapped) {
    return kTrapped + ply * kPlyStep;
  }
  return outlook.victims * (kPendingCatch - ply * kPlyStep) + kSqueeze * outlook.squeeze +
         (kBlock - (ply + outlook.ownBlast) * kBlockDecay) * outlook.blocks +
         kBlockOnTheWay * outlook.blocksOnTheWay - kExposed * outlook.flight -
         kDistance * targets_.At(self.x, self.y);
}

int Search::Worst(int ply, Command command, int depthLeft, int deadBefore, int enough,
                  int* guesses) {
  const std::size_t at = static_cast<std::size_t>(ply);
  const Board& from = boards_[at - 1];
  // The rivals that answer at this tick, alive on the board it is played from.
  std::array<const Player*, kRivals> rivals{};
  int answering = 0;
  for (int r = 0; r < rivalCount_; ++r) {
    const Player* p = FindPlayer(from, rivals_[static_cast<std::size_t>(r)]);
    if (p != nullptr && p->alive && ply <= kRivalPlies[static_cast<std::size_t>(r)]) {
      rivals[static_cast<std::size_t>(answering++)] = p;
    }
  }
  int worst = INT_MAX;
  std::array<Command, kMaxDepth> line{};
  int lineLength = 0;
  std::array<int, kCommands * kCommands> replies;  // filled up to tried, when guesses are wanted
  int tried = 0;
  // A guess is no reason to stand where a blast lands next tick: an answer
  // that reaches the server a tick late would be fatal.
  bool blastDue = false;
  const auto answer = [&](Reply reply) {
    Play(ply, command, reply);
    if (ply == 1 && reply.rivals == Reply{}.rivals && !reply.othersDrop) {
      // Where the command takes the bot, the others standing still.
      const Player* moved = FindSelf(boards_[1]);
      if (decision_.depth == 0) {
        decision_.x[static_cast<std::size_t>(command)] = moved->x;
        decision_.y[static_cast<std::size_t>(command)] = moved->y;
      }
      blastDue = SoonestBlast(boards_[1], moved->x, moved->y) == 1;
    }
    const int value = Value(ply, depthLeft, deadBefore);
    if (guesses != nullptr && !reply.othersDrop) {
      replies[static_cast<std::size_t>(tried++)] = value;
    }
    if (!stopped_ && value < worst) {
      worst = value;
      line = lines_[at];
      lineLength = lineLengths_[at];
    }
  };
  // Every pair of the answering rivals' commands (the second's only Stay when
  // just one answers); once no better than a command already found, the rest
  // cannot raise it.
  for (const Command first : kCommandOrder) {
    if (answering > 0 ? !Changes(from, *rivals[0], first) : first != Command::Stay) {
      continue;
    }
    for (const Command second : kCommandOrder) {
      if (answering > 1 ? !Changes(from, *rivals[1], second) : second != Command::Stay) {
        continue;
      }
      answer({{first, second}, false});
      if (stopped_) {
        return 0;
      }
      if (worst <= enough) {
        break;
      }
    }
    if (worst <= enough) {
      break;
    }
  }
  if (ply == 1 && othersMayDrop_ && !stopped_) {
    answer({{Command::DropBomb, Command::DropBomb}, true});
  }
  lines_[at] = line;
  lineLengths_[at] = lineLength;
  if (guesses != nullptr && !stopped_ && worst > kDoomed && !blastDue) {
    const auto wrong = std::count_if(replies.begin(), replies.begin() + tried,
                                     [&](int v) { return v >= worst + kPendingCatch / 2; });
    *guesses = static_cast<int>(kGuess * wrong / tried);
  }
  return stopped_ ? 0 : worst;
}

int Search::Value(int ply, int depthLeft, int deadBefore) {
  const std::size_t at = static_cast<std::size_t>(ply);
  const Board& board = boards_[at];
  lineLengths_[at] = 0;
  // Step 1. A line in which the bot dies ends there.
  const Player* self = FindSelf(board);
  if (self == nullptr || !self->alive) {
    return kDeath + ply * kPlyStep;
  }
  // Step 2. Opponents caught in this tick: dead now, alive a tick before.
  int dead = 0;
  for (const Player& p : board.players) {
    dead += p.id != State::kSelfId && !p.alive && Modelled(p.id) ? 1 : 0;
  }
  int gain = (dead - deadBefore) * (kCatch - ply * kPlyStep) -
             kPathDistance * targets_.After(self->x, self->y, board.Destroyed()) -
             Exposure(SoonestBlast(board, self->x, self->y)) -
             (Crowded(board, self->x, self->y, ply, depthLeft == 0) ? kCrowded : 0);
  // Blocks broken in this tick: those listed after the ones the position
  // started the tick with.
  const auto& broken = board.Destroyed();
  const std::size_t before = ply == 1 ? 0 : boards_[at - 1].Destroyed().size();
  for (std::size_t i = before; i < broken.size(); ++i) {
    const auto& [x, y] = broken[i];
    gain += kBlock + (targets_.OnTheWay(x, y) ? kBlockOnTheWay : 0) - ply * kBlockDecay;
  }
  const std::uint64_t boardKey = BoardKey(board);
  if (depthLeft == 0) {
    return gain + Leaf(board, boardKey, *self, ply);
  }
  // Step 3. A position met before on another line. The table keeps what
  // lies ahead of a position only: what a line gained on its way in (a catch,
  // a block) depends on the line, and two lines may catch the same opponent
  // at different ticks and still meet.
  const std::uint64_t key = PositionKey(boardKey, ply, depthLeft);
  int ahead = 0;
  if (table_.Probe(key, ahead)) {
    return gain + ahead;
  }
  if (OutOfTime()) {
    return 0;
  }
  // Step 4. An opponent may drop its next bomb at any tick of a line, not
  // only past its end: a position from which one can shut the bot in is
  // lost whatever the bot does next. It is a leaf's trapped, so a leaf of
  // the last depth that was not trapped answers for it.
  Outlook seen;
  if (!hopeful_ && (!outlooks_.Probe(boardKey, seen) || seen.trapped) &&
      outlook_.ShutIn(board, *self, still_)) {
    const int trapped = kTrapped + ply * kPlyStep;
    table_.Store(key, trapped);
    return gain + trapped;
  }
  // Step 5. The best of the bot's commands that change something, each
  // against the worst reply the model allows.
  int best = INT_MIN;
  for (const Command command : kCommandOrder) {
    if (!Changes(board, *self, command) || (hopeful_ && command == Command::DropBomb)) {
      continue;
    }
    const int next = Worst(ply + 1, command, depthLeft - 1, dead, best);
    if (stopped_) {
      return 0;
    }
    if (next > best) {
      best = next;
      const int length = std::min(lineLengths_[at + 1], kMaxDepth - 1);
      lines_[at][0] = command;
      std::copy_n(lines_[at + 1].begin(), length, lines_[at].begin() + 1);
      lineLengths_[at] = length + 1;
    }
  }
  table_.Store(key, best);
  return gain + best;
}

bool Search::Deepen(Clock::time_point start) {
  // Each depth in full, or not at all.
  std::array<std::array<Command, kMaxDepth>, kCommands> lines{};
  std::array<int, kCommands> lengths{};
  // A drop while the bot's own bomb ticks drops nothing: it holds the cell,
  // and pays for it, as standing does.
  const bool drops = Changes(boards_[0], *FindSelf(boards_[0]), Command::DropBomb);
  for (int depth = 1; depth <= maxDepth_; ++depth) {
    // A board is sized the first time its depth is reached, within the
    // budget: the first decision on a large map is no slower than the rest.
    if (depth > 1 && Clock::now() + PrepareCost(depth) >= deadline_) {
      break;
    }
    Prepare(depth);
    const Clock::time_point depthStart = Clock::now();
    std::array<int, kCommands> values{};
    for (int c = 0; c < kCommands && !stopped_; ++c) {
      if (hopeful_ && kCommandOrder[c] == Command::DropBomb) {
        continue;  // valued below
      }
      // Every command's value is exact at the first tick, for the log.
      int guesses = 0;
      values[static_cast<std::size_t>(c)] =
          Worst(1, kCommandOrder[c], depth - 1, 0, INT_MIN, &guesses) + guesses;
      lines[static_cast<std::size_t>(c)] = lines_[1];
      lengths[static_cast<std::size_t>(c)] = lineLengths_[1];
      // The commands searched so far show what one tick of this position
      // costs: a position that cannot be searched one tick deep within half
      // the budget is left to the one-tick look-ahead, whose own time (as
      // much again on a chain of thousands of bombs) the rest must cover.
      if (depth == 1 && c + 1 < kCommands) {
        const Clock::time_point now = Clock::now();
        if (now + (now - depthStart) / (c + 1) * (kCommands - 1 - c) > start + budget_ / 2) {
          return false;
        }
      }
    }
    if (stopped_) {
      break;
    }
    // Where every command dies or ends trapped, the cost of a held cell,
    // which a drop is spared, would tip the choice to a bomb that only adds
    // to the blasts: the opponents' bombs would then kill the bot by its own.
    const bool doomed = AllDoomed(values);
    for (int c = 0; c < kCommands && !doomed; ++c) {
      if (kCommandOrder[c] != Command::DropBomb || !drops) {
        const auto i = static_cast<std::size_t>(c);
        values[i] -= kStale * Stale(decision_.x[i], decision_.y[i]);
      }
    }
    if (hopeful_) {
      // Hoping the opponents hold back is no reason to drop a bomb of its
      // own where their worst kills: a drop is worth a little less than
      // standing, and no hopeful line drops one.
      values[static_cast<std::size_t>(Command::DropBomb)] =
          values[static_cast<std::size_t>(Command::Stay)] - 1;
      lengths[static_cast<std::size_t>(Command::DropBomb)] = 0;
    }
    decision_.values = values;
    firstDepthTime_ = depth == 1 ? Clock::now() - depthStart : firstDepthTime_;
    decision_.depth = depth;
    // The turn loop takes the first best command; its line is the one shown.
    const auto best =
        static_cast<std::size_t>(std::max_element(values.begin(), values.end()) - values.begin());
    decision_.line[0] = kCommandOrder[best];
    decision_.lineLength = 1 + std::min(lengths[best], kMaxDepth - 1);
    std::copy_n(lines[best].begin(), decision_.lineLength - 1, decision_.line.begin() + 1);
    // Doomed two ticks deep by what the opponents might do: deeper looks
    // only find the same deaths, and the time left goes to the search that
    // hopes they do not.
    if (depth >= 2 && Doomed()) {
      break;
    }
  }
  return true;
}

bool Search::Doomed() const {
  // Without rivals or first-tick drops nothing the opponents do is searched,
  // so there is no worst to hope against.
  return (rivalCount_ > 0 || othersMayDrop_) && AllDoomed(decision_.values);
}

const Search::Decision& Search::Decide(const State& live) {
  const Clock::time_point start = Clock::now();
  deadline_ = start + budget_ - std::min(kMostMargin, budget_ / 5);
  decision_ = Decision{};
  stopped_ = false;
  sinceClock_ = 0;
  table_.NewDecision();
  outlooks_.NewDecision();
  live_ = &live;

  const Player* self = live.FindPlayer(State::kSelfId);
  if (self == nullptr) {
    // Nobody to move: every command is as bad as it gets, and nothing is searched.
    decision_.values.fill(Evaluator::kNoRecord);
    return decision_;
  }
  if (live.players.size() + live.bombs.size() > kMostRecords) {
    decision_.tooBig = true;
    return decision_;
  }
  Watch(live, *self);
  Prepare(0);
  Prepare(1);
  Order(live);
  Board& now = boards_[0];
  now.Reset(live, order_);
  targets_.Build(live, *self);
  FindRivals(now, *self);
  ChooseFleeing(live, *self);
  // Opponents that hold no live bomb may drop one at once.
  othersMayDrop_ = std::any_of(live.players.begin(), live.players.end(), [&](const Player& p) {
    return p.id != State::kSelfId && !now.OwnsLiveBomb(p.id);
  });

  hopeful_ = false;
  if (!Deepen(start)) {
    decision_.tooBig = true;
    return decision_;
  }
  // The search again needs a first depth in the time left.
  if (Doomed() && Clock::now() + firstDepthTime_ < deadline_) {
    // Every command dies if the opponents do their worst: play for their
    // not doing it rather than wait for the blast, searching the lines again
    // with the opponents standing still (or stepping off a blast's path).
    rivalCount_ = 0;
    othersMayDrop_ = false;
    hopeful_ = true;
    table_.NewDecision();
    outlooks_.NewDecision();
    decision_.depth = 0;
    decision_.hopeful = Deepen(start);
  }
  return decision_;
}
