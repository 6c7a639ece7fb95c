#include "lookahead/danger.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "lookahead/cell.h"

namespace {

constexpr int kReach = 2;
constexpr int kDropTime = 6;  // a bomb dropped now, seen after one tick more
constexpr int kChainPasses = 3;
// Up to this many centres a scan over all of them finds a centre, or the
// crosses around a cell, faster than lookups by cell; beyond it the centres
// are indexed by cell.
constexpr std::size_t kScanCentres = 16;

// Up to this many centres Around scans them all, most rejected at a glance,
// rather than look up the 21 cells whose crosses could reach its five.
constexpr std::size_t kAroundScanCentres = 128;

// Whether the cross centred on (cx, cy) covers (x, y): the same cell, or two
// cells or less away along a row or column, with shifted cells wrapping
// around as Shift wraps them.
bool Covers(int cx, int cy, int x, int y) {
  const std::uint32_t dx = static_cast<std::uint32_t>(x) - static_cast<std::uint32_t>(cx);
  const std::uint32_t dy = static_cast<std::uint32_t>(y) - static_cast<std::uint32_t>(cy);
  return (dx == 0 && dy + kReach <= 2 * kReach) || (dy == 0 && dx + kReach <= 2 * kReach);
}

// Two lists with the same dangers in the same order, compared as bytes: a
// Danger is three ints with no padding.
bool Same(const std::vector<Danger>& a, const std::vector<Danger>& b) {
  static_assert(std::has_unique_object_representations_v<Danger>);
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(Danger)) == 0);
}

}  // namespace

void DangerList::Clear() {
  dangers_.clear();
  ForgetCentres();
}

void DangerList::ForgetCentres() {
  centreOf_.clear();
  centreCells_.Clear();
  indexed_ = false;
  centres_.clear();
  listed_ = false;
}

int DangerList::FindCentre(int x, int y) const {
  if (indexed_) {
    const int* centre = centreCells_.Find(x, y);
    return centre == nullptr ? -1 : *centre;
  }
  for (std::size_t c = 0; c < centres_.size(); ++c) {
    if (centres_[c].x == x && centres_[c].y == y) {
      return static_cast<int>(c);
    }
  }
  return -1;
}

void DangerList::AddCentre(std::size_t index) {
  const Danger& danger = dangers_[index];
  int centre = FindCentre(danger.x, danger.y);
  if (centre < 0) {
    centre = static_cast<int>(centres_.size());
    centres_.push_back({danger.x, danger.y, 0, INT_MAX});
    if (indexed_) {
      centreCells_.Insert(danger.x, danger.y, centre);
    } else if (centres_.size() > kScanCentres) {
      // Too many to scan: index them all by cell from now on.
      for (std::size_t c = 0; c < centres_.size(); ++c) {
        centreCells_.Insert(centres_[c].x, centres_[c].y, static_cast<int>(c));
      }
      indexed_ = true;
    }
  }
  centres_[static_cast<std::size_t>(centre)].last = static_cast<int>(index);
  centreOf_.push_back(centre);
}

void DangerList::Add(const Danger& danger) {
  dangers_.push_back(danger);
  AddCentre(dangers_.size() - 1);
  listed_ = false;
}

void DangerList::List(const Board& board) {
  const std::size_t most = board.bombs.size() + board.players.size();
  dangers_.clear();
  dangers_.reserve(most);
  for (const Bomb& bomb : board.bombs) {
    dangers_.push_back({bomb.x, bomb.y, bomb.timer});
  }
  for (const Player& player : board.players) {
    if (player.id != State::kSelfId && !board.OwnsLiveBomb(player.id)) {
      dangers_.push_back({player.x, player.y, kDropTime});
    }
  }
  // The centres follow from the cells in list order alone; the candidates of
  // one tick often list the same dangers, and then they stand as they are.
  if (listed_ && Same(dangers_, listedFrom_)) {
    return;
  }
  ForgetCentres();
  centreCells_.Shape(board.Width(), board.Height());
  centreOf_.reserve(most);
  centres_.reserve(most);
  centreCells_.Reserve(most);
  reach_.reserve(8 * most);
  chainedFrom_.reserve(most);
  chainedTimes_.reserve(most);
  listedFrom_.reserve(most);
  for (std::size_t i = 0; i < dangers_.size(); ++i) {
    AddCentre(i);
  }
  listedFrom_.assign(dangers_.begin(), dangers_.end());
  listed_ = true;
}

void DangerList::Chain() {
  // The chained times follow from the list alone, and the candidates of one
  // tick often list the same dangers: then the last result is taken again.
  if (Same(dangers_, chainedFrom_)) {
    for (std::size_t i = 0; i < dangers_.size(); ++i) {
      dangers_[i].time = chainedTimes_[i];
    }
    return;
  }
  chainedFrom_.assign(dangers_.begin(), dangers_.end());
  for (Centre& centre : centres_) {
    centre.cap = INT_MAX;
  }
  // Step 1. Find once, for every centre, the centres on the eight cells in
  // its reach. The order within a reach does not matter to step 2.
  reach_.clear();
  reachStart_.clear();
  reachStart_.reserve(centres_.size() + 1);
  if (!indexed_) {
    // Few centres: reach is symmetric, so each pair is tested once, into a
    // bit mask per centre. Distinct centres lie on distinct cells, so a
    // centre is never in its own reach.
    std::array<std::uint32_t, kScanCentres> reach{};
    for (std::size_t a = 0; a < centres_.size(); ++a) {
      for (std::size_t b = a + 1; b < centres_.size(); ++b) {
        if (Covers(centres_[a].x, centres_[a].y, centres_[b].x, centres_[b].y)) {
          reach[a] |= std::uint32_t{1} << b;
          reach[b] |= std::uint32_t{1} << a;
        }
      }
    }
    for (std::size_t c = 0; c < centres_.size(); ++c) {
      reachStart_.push_back(static_cast<int>(reach_.size()));
      for (std::uint32_t rest = reach[c]; rest != 0; rest &= rest - 1) {
        reach_.push_back(std::countr_zero(rest));
      }
    }
  } else {
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
  chainedTimes_.clear();
  for (std::size_t i = 0; i < dangers_.size(); ++i) {
    int& time = dangers_[i].time;
    time = std::min(time, centres_[static_cast<std::size_t>(centreOf_[i])].cap);
    chainedTimes_.push_back(time);
  }
}

int DangerList::At(int x, int y) const {
  // The crosses that cover (x, y) are centred on the cell itself and on the
  // cells in reach along both axes; the one latest in the list decides.
  int last = -1;
  if (!indexed_) {
    for (const Centre& centre : centres_) {
      last = Covers(centre.x, centre.y, x, y) ? std::max(last, centre.last) : last;
    }
    return last < 0 ? kNone : dangers_[static_cast<std::size_t>(last)].time;
  }
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

void DangerList::Around(int x, int y, int (&times)[5]) const {
  if (centres_.size() > kAroundScanCentres) {
    times[0] = At(x, y);
    for (int d = 0; d < 4; ++d) {
      times[d + 1] = At(Shift(x, kDirections[d].dx), Shift(y, kDirections[d].dy));
    }
    return;
  }
  int last[5] = {-1, -1, -1, -1, -1};
  for (const Centre& centre : centres_) {
    // A cross reaches the five cells only from within three cells of (x, y)
    // along both axes; most centres are further.
    const std::uint32_t dx = static_cast<std::uint32_t>(centre.x) - static_cast<std::uint32_t>(x);
    const std::uint32_t dy = static_cast<std::uint32_t>(centre.y) - static_cast<std::uint32_t>(y);
    if (dx + (kReach + 1) > 2 * (kReach + 1) || dy + (kReach + 1) > 2 * (kReach + 1)) {
      continue;
    }
    last[0] = Covers(centre.x, centre.y, x, y) ? std::max(last[0], centre.last) : last[0];
    for (int d = 0; d < 4; ++d) {
      const bool covers =
          Covers(centre.x, centre.y, Shift(x, kDirections[d].dx), Shift(y, kDirections[d].dy));
      last[d + 1] = covers ? std::max(last[d + 1], centre.last) : last[d + 1];
    }
  }
  for (int cell = 0; cell < 5; ++cell) {
    times[cell] = last[cell] < 0 ? kNone : dangers_[static_cast<std::size_t>(last[cell])].time;
  }
}
