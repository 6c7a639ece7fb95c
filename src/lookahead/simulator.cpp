#include "lookahead/simulator.h"

#include <climits>
#include <cstddef>
#include <stdexcept>
#include <vector>

#include "lookahead/cell.h"

namespace {

constexpr int kReach = 2;                  // cells beyond the centre on each arm
constexpr int kSteps = kReach + 1;         // distances 0, 1, 2
constexpr int kResumePoints = 4 * kSteps;  // (arm, distance) pairs
constexpr int kRunning = -2;               // timers from here down are links

// While a chained bomb's arms run, its timer holds a link instead of -1: the
// index of the bomb whose blast set it off and the blast (arm, distance) that
// did. The links form the explicit stack of the chain inside the bombs list
// itself, so a chain of any length needs neither recursion nor memory. Any
// negative timer already means "not live", so no blast can set it off again;
// the link becomes -1 when the bomb's arms are done.
// Every link must fit between kRunning and INT_MIN.
constexpr std::size_t kMaxLinkedBombs = INT_MAX / kResumePoints;

int Link(std::size_t parent, int arm, int distance) {
  const std::size_t code =
      parent * kResumePoints + static_cast<std::size_t>(arm * kSteps + distance);
  return kRunning - static_cast<int>(code);
}

}  // namespace

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
  for (Bomb& candidate : state->bombs) {
    if (candidate.timer >= 0 && candidate.x == x && candidate.y == y) {
      bomb = &candidate;
      break;
    }
  }
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
  std::vector<Bomb>& bombs = state->bombs;
  if (bombs.size() > kMaxLinkedBombs) {
    throw std::length_error("bomb list too long for a chain detonation");
  }
  // Step 1. The timer goes negative first, so the chain cannot set it off again.
  root.timer = -1;
  const std::size_t rootIndex = static_cast<std::size_t>(&root - bombs.data());
  std::size_t current = rootIndex;
  int arm = 0;
  int distance = 0;
  // Step 2. Run the arms of the current bomb; descend into every bomb a blast
  // sets off and resume the bomb above once all its arms are done.
  for (;;) {
    if (distance == kSteps) {
      ++arm;
      distance = 0;
    }
    if (arm == 4) {
      if (current == rootIndex) {
        return;
      }
      const int code = kRunning - bombs[current].timer;
      bombs[current].timer = -1;
      current = static_cast<std::size_t>(code / kResumePoints);
      arm = (code % kResumePoints) / kSteps;
      distance = code % kSteps + 1;  // the blast that set it off passed on
      continue;
    }
    const Bomb& bomb = bombs[current];
    const int x = Shift(bomb.x, kDirections[arm].dx * distance);
    const int y = Shift(bomb.y, kDirections[arm].dy * distance);
    Bomb* chained = nullptr;
    if (Hit(x, y, chained)) {
      ++arm;
      distance = 0;
    } else if (chained != nullptr) {
      chained->timer = Link(current, arm, distance);
      current = static_cast<std::size_t>(chained - bombs.data());
      arm = 0;
      distance = 0;
    } else {
      ++distance;
    }
  }
}
