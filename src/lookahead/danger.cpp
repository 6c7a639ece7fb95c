#include "lookahead/danger.h"

#include <algorithm>
#include <climits>
#include <cstddef>

#include "lookahead/cell.h"

namespace {

constexpr int kReach = 2;
constexpr int kDropTime = 6;  // a bomb dropped now, seen after one tick more
constexpr int kChainPasses = 3;

}  // namespace

void DangerList::Clear() {
  dangers_.clear();
  centreOf_.clear();
  centreCells_.Clear();
  centres_.clear();
}

void DangerList::Add(const Danger& danger) {
  const int index = static_cast<int>(dangers_.size());
  const int next = static_cast<int>(centres_.size());
  const int centre = centreCells_.Insert(danger.x, danger.y, next);
  if (centre == next) {
    centres_.push_back({danger.x, danger.y, index, INT_MAX});
  }
  centres_[static_cast<std::size_t>(centre)].last = index;
  dangers_.push_back(danger);
  centreOf_.push_back(centre);
}

void DangerList::List(const Board& board) {
  Clear();
  const std::size_t most = board.bombs.size() + board.players.size();
  dangers_.reserve(most);
  centreOf_.reserve(most);
  centreCells_.Reserve(most);
  centres_.reserve(most);
  reach_.reserve(8 * most);
  for (const Bomb& bomb : board.bombs) {
    Add({bomb.x, bomb.y, bomb.timer});
  }
  for (const Player& player : board.players) {
    if (player.id != State::kSelfId && !board.OwnsLiveBomb(player.id)) {
      Add({player.x, player.y, kDropTime});
    }
  }
}

void DangerList::Chain() {
  // Step 1. Find once, for every centre, the centres on the eight cells in
  // its reach.
  reach_.clear();
  reachStart_.clear();
  reachStart_.reserve(centres_.size() + 1);
  for (const Centre& centre : centres_) {
    reachStart_.push_back(static_cast<int>(reach_.size()));
    for (const Direction& d : kDirections) {
      for (int k = 1; k <= kReach; ++k) {
        if (const int* target =
                centreCells_.Find(Shift(centre.x, d.dx * k), Shift(centre.y, d.dy * k))) {
          reach_.push_back(*target);
        }
      }
    }
  }
  reachStart_.push_back(static_cast<int>(reach_.size()));
  // Step 2. A source lowers every danger in its reach to its own time, and
  // dangers that share a cell are lowered alike, so each centre keeps one
  // cap: a danger's time is its own time or the cap, whichever is lower, at
  // every moment of the passes. The passes run in list order and updates
  // take effect at once, so a lowered time travels on within a pass. Walls
  // and blocks do not separate dangers; nor does a shared cell link them.
  for (int pass = 0; pass < kChainPasses; ++pass) {
    for (std::size_t i = 0; i < dangers_.size(); ++i) {
      const auto centre = static_cast<std::size_t>(centreOf_[i]);
      const int time = std::min(dangers_[i].time, centres_[centre].cap);
      for (int r = reachStart_[centre]; r < reachStart_[centre + 1]; ++r) {
        int& cap = centres_[static_cast<std::size_t>(reach_[static_cast<std::size_t>(r)])].cap;
        cap = std::min(cap, time);
      }
    }
  }
  // Step 3. Settle every danger's time.
  for (std::size_t i = 0; i < dangers_.size(); ++i) {
    int& time = dangers_[i].time;
    time = std::min(time, centres_[static_cast<std::size_t>(centreOf_[i])].cap);
  }
}

int DangerList::At(int x, int y) const {
  // The crosses that cover (x, y) are centred on the cell itself and on the
  // cells in reach along both axes; the one latest in the list decides.
  int last = -1;
  const auto consider = [&](int cx, int cy) {
    if (const int* centre = centreCells_.Find(cx, cy)) {
      last = std::max(last, centres_[static_cast<std::size_t>(*centre)].last);
    }
  };
  consider(x, y);
  for (const Direction& d : kDirections) {
    for (int k = 1; k <= kReach; ++k) {
      consider(Shift(x, d.dx * k), Shift(y, d.dy * k));
    }
  }
  return last < 0 ? kNone : dangers_[static_cast<std::size_t>(last)].time;
}
