#include "search/target_map.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "lookahead/cell.h"

namespace {

constexpr int kSide = 2 * TargetMap::kRadius + 1;
constexpr int kReach = 2;
constexpr int kStep = 1;
// Stepping into a block means bombing it first: drop, hide, wait, come back.
constexpr int kBlockStep = 7;
// Past the window, walking and bombing cost about twice the plain distance.
constexpr int kOutsideFactor = 2;
constexpr std::size_t kEdgeOpponents = 16;

}  // namespace

int TargetMap::Index(int x, int y) const {
  const int wx = x - left_;
  const int wy = y - top_;
  if (wx < 0 || wy < 0 || wx >= kSide || wy >= kSide || !Valid(x, y, live_->width, live_->height)) {
    return -1;
  }
  return wx + wy * kSide;
}

int TargetMap::At(int x, int y) const {
  const int i = Index(x, y);
  return i < 0 ? kFar : cost_[static_cast<std::size_t>(i)];
}

int TargetMap::After(int x, int y, const std::vector<std::pair<int, int>>& broken) const {
  int cost = At(x, y);
  for (const auto& [bx, by] : broken) {
    const long long walk = Steps(bx, by, x, y);
    if (walk < cost) {
      cost = std::min(cost, static_cast<int>(walk) + At(bx, by));
    }
  }
  return cost;
}

bool TargetMap::OnTheWay(int x, int y) const {
  const int i = Index(x, y);
  if (i < 0) {
    return false;
  }
  const int cost = cost_[static_cast<std::size_t>(i)];
  if (cost >= selfCost_) {
    return false;
  }
  for (const Direction& d : kDirections) {
    if (At(x + d.dx, y + d.dy) >= cost + kBlockStep && Index(x + d.dx, y + d.dy) >= 0) {
      return true;
    }
  }
  return false;
}

void TargetMap::Seed(int index, int cost) {
  int& current = cost_[static_cast<std::size_t>(index)];
  if (cost < current) {
    current = cost;
    heap_.emplace_back(-cost, index);
    std::push_heap(heap_.begin(), heap_.end());
  }
}

void TargetMap::Build(const State& live, const Player& self) {
  live_ = &live;
  // Coordinates near the int limits come only from a hostile server; the
  // window then simply holds no cell of the map.
  left_ = static_cast<int>(
      std::clamp<long long>(static_cast<long long>(self.x) - kRadius, -kSide, live.width));
  top_ = static_cast<int>(
      std::clamp<long long>(static_cast<long long>(self.y) - kRadius, -kSide, live.height));
  cost_.assign(static_cast<std::size_t>(kSide) * kSide, kFar);
  heap_.clear();
  heap_.reserve(4 * cost_.size());

  // Step 1. Attack cells: an opponent's cell and the cells up to two away in
  // line with nothing between that stops a blast.
  bool anyone = false;
  for (const Player& p : live.players) {
    if (p.id == State::kSelfId || !Valid(p.x, p.y, live.width, live.height)) {
      continue;
    }
    anyone = true;
    if (const int i = Index(p.x, p.y); i >= 0) {
      Seed(i, 0);
    }
    for (const Direction& d : kDirections) {
      for (int k = 1; k <= kReach; ++k) {
        const int x = Shift(p.x, d.dx * k);
        const int y = Shift(p.y, d.dy * k);
        if (!Valid(x, y, live.width, live.height) || live.At(x, y) != State::Tile::Empty) {
          break;
        }
        if (const int i = Index(x, y); i >= 0) {
          Seed(i, 0);
        }
      }
    }
  }
  if (!anyone) {
    std::fill(cost_.begin(), cost_.end(), 0);
    selfCost_ = 0;
    return;
  }
  // Step 2. The window's edge leads on to opponents outside it at an
  // estimate, from the few opponents nearest the bot (a crowd of thousands
  // would otherwise cost thousands of scans of the edge).
  std::array<std::pair<long long, const Player*>, kEdgeOpponents> nearest{};
  std::size_t kept = 0;
  for (const Player& p : live.players) {
    if (p.id == State::kSelfId || !Valid(p.x, p.y, live.width, live.height)) {
      continue;
    }
    const long long steps = Steps(p.x, p.y, self.x, self.y);
    if (kept < nearest.size()) {
      nearest[kept++] = {steps, &p};
    } else if (steps < nearest.back().first) {
      nearest.back() = {steps, &p};
    } else {
      continue;
    }
    std::sort(nearest.begin(), nearest.begin() + static_cast<std::ptrdiff_t>(kept));
  }
  for (int w = 0; w < kSide; ++w) {
    for (const auto& [x, y] :
         {std::pair{left_ + w, top_}, std::pair{left_ + w, top_ + kSide - 1},
          std::pair{left_, top_ + w}, std::pair{left_ + kSide - 1, top_ + w}}) {
      const int i = Index(x, y);
      if (i < 0 || live.At(x, y) == State::Tile::Wall) {
        continue;
      }
      long long closest = kFar;
      for (std::size_t k = 0; k < kept; ++k) {
        const Player& p = *nearest[k].second;
        closest = std::min(closest, Steps(p.x, p.y, x, y));
      }
      Seed(i, static_cast<int>(std::min<long long>(kFar, kOutsideFactor * closest)));
    }
  }
  // Step 3. Cheapest costs outward (Dijkstra); walls never pass.
  while (!heap_.empty()) {
    std::pop_heap(heap_.begin(), heap_.end());
    const auto [negative, index] = heap_.back();
    heap_.pop_back();
    const int cost = -negative;
    if (cost > cost_[static_cast<std::size_t>(index)]) {
      continue;
    }
    // Walking from a neighbour onto this cell costs a step, or a bombing
    // when the cell holds a block.
    const int x = left_ + index % kSide;
    const int y = top_ + index / kSide;
    const int through = cost + (live.At(x, y) == State::Tile::Block ? kBlockStep : kStep);
    for (const Direction& d : kDirections) {
      const int next = Index(x + d.dx, y + d.dy);
      if (next >= 0 && live.At(x + d.dx, y + d.dy) != State::Tile::Wall) {
        Seed(next, through);
      }
    }
  }
  selfCost_ = At(self.x, self.y);
}
