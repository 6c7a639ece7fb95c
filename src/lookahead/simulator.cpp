#include "lookahead/simulator.h"

#include "lookahead/cell.h"

namespace {

constexpr int kArms = 4;
constexpr int kSteps = 3;  // distances 0, 1, 2 on every arm

}  // namespace

bool Simulator::Hit(int x, int y, Bomb*& bomb) {
  bomb = nullptr;
  // Step 1. The arm ends at the map border.
  if (!Valid(x, y, board->Width(), board->Height())) {
    return true;
  }
  // Step 2. A wall stops the arm and stays.
  const State::Tile tile = board->TileAt(x, y);
  if (tile == State::Tile::Wall) {
    return true;
  }
  // Step 3. A block is destroyed and shields the cells behind it.
  if (tile == State::Tile::Block) {
    board->DestroyBlock(x, y);
    return true;
  }
  // Step 4. Only the first record on the cell is hit, dead or not.
  // Step 5. The first live bomb on the cell goes off; it does not stop the arm.
  bomb = board->Strike(x, y);
  return false;
}

bool Simulator::Blast(int x, int y) {
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
  std::vector<Bomb>& bombs = board->bombs;
  frames_.reserve(bombs.size());
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
