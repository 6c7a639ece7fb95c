#include "lookahead/evaluator.h"

#include <cstdint>

#include "lookahead/cell.h"

namespace {

// Scores are summed in 32-bit wrap-around arithmetic: for every sane position
// this is plain int arithmetic, and coordinates near the int limits cannot
// overflow the distance terms.
using Sum = std::uint32_t;

// |a - b| without overflow: the shorter way round the 32-bit circle, which
// is |a - b| whenever that fits in an int.
Sum Distance(int a, int b) {
  const Sum d = static_cast<Sum>(a) - static_cast<Sum>(b);
  return static_cast<int>(d) < 0 ? Sum{0} - d : d;
}

// The terms around the evaluated cell (x, y). The own cell and its four
// neighbours are looked at by several terms, so their tests are taken once.
class Terms {
 public:
  Terms(const Board& board, const DangerList& dangers, int x, int y) : board_(board) {
    int times[5];
    dangers.Around(x, y, times);
    near_[0] = Look(x, y, false, times[0]);
    for (int d = 0; d < 4; ++d) {
      near_[d + 1] =
          Look(Shift(x, kDirections[d].dx), Shift(y, kDirections[d].dy), true, times[d + 1]);
    }
  }

  // 7 - danger for a cell on the map, 0 off it; negative above 7. Cell 0 is
  // (x, y), cells 1 to 4 its neighbours up, down, left, right.
  Sum Threat(int cell) const {
    const Near& near = near_[cell];
    return near.inside ? static_cast<Sum>(DangerList::kNone) - static_cast<Sum>(near.danger) : 0;
  }

  int Exits() const {
    int exits = 0;
    for (int d = 1; d <= 4; ++d) {
      exits += near_[d].clear ? 1 : 0;
    }
    return exits;
  }

  // Clear side cells along the clear straight cells at distance 1 and 2.
  int Corners(int x, int y) const {
    int corners = 0;
    for (int d = 0; d < 4; ++d) {
      const Direction& dir = kDirections[d];
      for (int k = 1; k <= 2; ++k) {
        const int cx = Shift(x, dir.dx * k);
        const int cy = Shift(y, dir.dy * k);
        if (!(k == 1 ? near_[d + 1].clear : board_.Clear(cx, cy))) {
          break;
        }
        corners += board_.Clear(Shift(cx, dir.dy), Shift(cy, dir.dx)) ? 1 : 0;
        corners += board_.Clear(Shift(cx, -dir.dy), Shift(cy, -dir.dx)) ? 1 : 0;
      }
    }
    return corners;
  }

  int AdjacentBlocks(int x, int y) const {
    int blocks = 0;
    for (const Direction& d : kDirections) {
      const int cx = Shift(x, d.dx);
      const int cy = Shift(y, d.dy);
      if (Valid(cx, cy, board_.Width(), board_.Height()) &&
          board_.TileAt(cx, cy) == State::Tile::Block) {
        ++blocks;
      }
    }
    return blocks;
  }

  // Cells at distance 1 and 2 on the row and column with a player record.
  int NearPlayers(int x, int y) const {
    int cells = 0;
    for (const Direction& d : kDirections) {
      for (int k = 1; k <= 2; ++k) {
        cells += board_.PlayerOn(Shift(x, d.dx * k), Shift(y, d.dy * k)) ? 1 : 0;
      }
    }
    return cells;
  }

  // True off the map or on a quiet cell, else when a clear quiet neighbour exists.
  bool SafeStep() const {
    if (!near_[0].inside || near_[0].danger == DangerList::kNone) {
      return true;
    }
    for (int d = 1; d <= 4; ++d) {
      if (near_[d].clear && near_[d].danger == DangerList::kNone) {
        return true;
      }
    }
    return false;
  }

  bool BlocksLeft() const { return board_.Blocks() > 0; }

  bool UnclaimedBomb() const {
    for (const Bomb& bomb : board_.bombs) {
      if (bomb.timer >= 0 && bomb.owner == Bomb::kUnattributed) {
        return true;
      }
    }
    return false;
  }

  // The first live bomb owned by `id`, or nullptr.
  const Bomb* OwnBomb(int id) const {
    for (const Bomb& bomb : board_.bombs) {
      if (bomb.timer >= 0 && bomb.owner == id) {
        return &bomb;
      }
    }
    return nullptr;
  }

  // Sum over every record of its distance to (x, y).
  Sum PlayerDistances(int x, int y) const {
    Sum sum = 0;
    for (const Player& player : board_.players) {
      sum += Distance(player.x, x) + Distance(player.y, y);
    }
    return sum;
  }

 private:
  struct Near {
    bool inside;
    bool clear;
    int danger;  // only for a cell on the map
  };

  Near Look(int x, int y, bool neighbour, int danger) const {
    Near near{Valid(x, y, board_.Width(), board_.Height()), false, DangerList::kNone};
    if (near.inside) {
      near.clear = neighbour && board_.Clear(x, y);
      near.danger = danger;
    }
    return near;
  }

  const Board& board_;
  Near near_[5];
};

}  // namespace

int Evaluator::Eval(int id) const {
  // Step 1. The evaluated record gives the cell of every term.
  const Player* player = nullptr;
  for (const Player& record : board->players) {
    if (record.id == id) {
      player = &record;
      break;
    }
  }
  if (player == nullptr) {
    return kNoRecord;
  }
  const int x = player->x;
  const int y = player->y;

  // Step 2. The terms.
  const Terms terms(*board, *dangers, x, y);
  const int exits = terms.Exits();
  const int corners = terms.Corners(x, y);
  const int threatHere = static_cast<int>(terms.Threat(0));
  Sum threatAround = 0;
  for (int cell = 0; cell <= 4; ++cell) {
    threatAround += terms.Threat(cell);
  }
  const Sum adjacentBlocks = static_cast<Sum>(terms.AdjacentBlocks(x, y));
  const Sum nearPlayers = static_cast<Sum>(terms.NearPlayers(x, y));
  const Bomb* ownBomb = terms.OwnBomb(id);
  const bool hasLiveBomb = ownBomb != nullptr;
  const bool droppedNow = hasLiveBomb && ownBomb->timer == 5;

  // Step 3. Room to move, nearness of blasts, death.
  Sum score = 100 * static_cast<Sum>(exits) - 10 * threatAround;
  if (!player->alive) {
    score -= 10000;
  }
  // Step 4. No side cell to hide in.
  if (corners == 0) {
    score -= 100;
    if (threatHere > 0) {
      score -= 5000;
    }
  }
  // Step 5. The worth of a bomb dropped this tick.
  if (droppedNow) {
    if (corners == 0) {
      score -= 5000;
    }
    score += 500 * adjacentBlocks + 200 * nearPlayers;
  } else {
    // Step 6. Survival without a fresh bomb.
    if (!terms.SafeStep()) {
      score -= 5000;
    }
    if (threatHere == 0) {
      score += 100;
    }
    if (board->LiveBombOn(x, y)) {
      score -= 1000;
    }
  }
  // Step 7. Without a bomb of its own: the pull towards targets.
  if (!hasLiveBomb) {
    if (terms.BlocksLeft() && !terms.UnclaimedBomb()) {
      score -= 250;
    }
    if (corners == 0) {
      score -= 500;
    }
    score += 250 * adjacentBlocks + 100 * nearPlayers;
  }
  // Step 8. On a safe cell: towards the reference point (half the width on
  // both axes) and towards every record, itself and dead ones included.
  if (threatHere == 0) {
    const int half = board->Width() / 2;
    score -= 2 * (Distance(half, x) + Distance(half, y));
    score -= 2 * terms.PlayerDistances(x, y);
  }
  // Step 9.
  return static_cast<int>(score);
}
