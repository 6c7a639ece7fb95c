#include "lookahead/simulator.h"

#include <algorithm>

#include "lookahead/cell.h"

namespace {

constexpr int kArms = 4;
constexpr int kSteps = 3;  // distances 0, 1, 2 on every arm

}  // namespace

Simulator::Simulator(State* state) : state(state) {
  Index();
}

void Simulator::Refresh() {
  if (indexedBombs_ != state->bombs.size() || indexedWidth_ != state->width ||
      indexedHeight_ != state->height) {
    Index();
  }
}

void Simulator::Index() {
  byCell_.clear();
  const std::vector<Bomb>& bombs = state->bombs;
  for (std::size_t i = 0; i < bombs.size(); ++i) {
    if (Valid(bombs[i].x, bombs[i].y, state->width, state->height)) {
      byCell_.push_back({state->Index(bombs[i].x, bombs[i].y), i});
    }
  }
  std::sort(byCell_.begin(), byCell_.end());
  frames_.reserve(bombs.size());
  indexedBombs_ = bombs.size();
  indexedWidth_ = state->width;
  indexedHeight_ = state->height;
}

Bomb* Simulator::LiveBombOn(int x, int y) {
  const std::size_t cell = state->Index(x, y);
  auto it = std::lower_bound(byCell_.begin(), byCell_.end(), Entry{cell, 0});
  for (; it != byCell_.end() && it->cell == cell; ++it) {
    Bomb& bomb = state->bombs[it->bomb];
    if (bomb.timer >= 0) {
      return &bomb;
    }
  }
  return nullptr;
}

bool Simulator::Hit(int x, int y, Bomb*& bomb) {
  bomb = nullptr;
  // Step 1. The arm ends at the map border.
  if (!Valid(x, y, state->width, state->height)) {
    return true;
  }
  // Step 2. A wall stops the arm and stays.
  State::Tile& tile = state->At(x, y);
  if (tile == State::Tile::Wall) {
    return true;
  }
  // Step 3. A block is destroyed and shields the cells behind it.
  if (tile == State::Tile::Block) {
    tile = State::Tile::Empty;
    return true;
  }
  // Step 4. Only the first record on the cell is hit, dead or not.
  for (Player& player : state->players) {
    if (player.x == x && player.y == y) {
      player.alive = false;
      break;
    }
  }
  // Step 5. The first live bomb on the cell goes off; it does not stop the arm.
  bomb = LiveBombOn(x, y);
  return false;
}

bool Simulator::Blast(int x, int y) {
  Refresh();
  Bomb* bomb = nullptr;
  if (Hit(x, y, bomb)) {
    return true;
  }
  if (bomb != nullptr) {
    Detonate(*bomb);
  }
  return false;
}

void Simulator::Detonate(Bomb& root) {
  Refresh();
  std::vector<Bomb>& bombs = state->bombs;
  // Step 1. The timer goes negative first, so the chain cannot set it off again.
  root.timer = -1;
  Frame current{static_cast<std::size_t>(&root - bombs.data()), 0, 0};
  // Step 2. Run the arms of the current bomb. A bomb that a blast sets off
  // becomes current with all its arms; the interrupted bomb then resumes
  // after the blast that set it off, which passed on.
  for (;;) {
    if (current.distance == kSteps) {
      ++current.arm;
      current.distance = 0;
    }
    if (current.arm == kArms) {
      if (frames_.empty()) {
        return;
      }
      current = frames_.back();
      frames_.pop_back();
      ++current.distance;
      continue;
    }
    const Bomb& bomb = bombs[current.bomb];
    const Direction& d = kDirections[current.arm];
    Bomb* chained = nullptr;
    if (Hit(Shift(bomb.x, d.dx * current.distance), Shift(bomb.y, d.dy * current.distance),
            chained)) {
      ++current.arm;
      current.distance = 0;
    } else if (chained != nullptr) {
      chained->timer = -1;
      frames_.push_back(current);
      current = {static_cast<std::size_t>(chained - bombs.data()), 0, 0};
    } else {
      ++current.distance;
    }
  }
}
