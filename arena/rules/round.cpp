#include "rules/round.h"

#include <algorithm>

namespace arena {

Round::Round(Board board, const std::vector<Cell>& starts) : board_(std::move(board)) {
  for (std::size_t i = 0; i < starts.size(); ++i) {
    players_.push_back(Player{static_cast<int>(i), starts[i], true});
  }
}

bool Round::PlayerAt(Cell c) const {
  return std::any_of(players_.begin(), players_.end(),
                     [c](const Player& p) { return p.alive && p.at == c; });
}

bool Round::BombAt(Cell c) const {
  return std::any_of(bombs_.begin(), bombs_.end(),
                     [c](const Bomb& b) { return b.timer > 0 && b.at == c; });
}

void Round::Act(Player& p, Command c) {
  if (c == Command::Bomb) {
    const bool hasBomb = std::any_of(bombs_.begin(), bombs_.end(),
                                     [&](const Bomb& b) { return b.timer > 0 && b.owner == p.id; });
    if (!hasBomb) {
      bombs_.push_back(Bomb{p.id, p.at, kBombTimer});
    }
    return;
  }
  Cell target = p.at;
  switch (c) {
    case Command::Up:
      --target.y;
      break;
    case Command::Down:
      ++target.y;
      break;
    case Command::Left:
      --target.x;
      break;
    case Command::Right:
      ++target.x;
      break;
    default:
      return;
  }
  if (board_.Contains(target) && board_.At(target) == Tile::Floor && !PlayerAt(target) &&
      !BombAt(target)) {
    p.at = target;
  }
}

TickOutcome Round::Step(const std::vector<Command>& commands) {
  TickOutcome out;
  // Step 1. Commands, in id order, each seeing the moves and bombs before it.
  for (Player& p : players_) {
    const auto id = static_cast<std::size_t>(p.id);
    if (p.alive && id < commands.size()) {
      Act(p, commands[id]);
    }
  }
  // Step 2. Timers, in placement order; an exploding bomb may set off others.
  for (std::size_t i = 0; i < bombs_.size(); ++i) {
    if (bombs_[i].timer == 1) {
      Explode(i, out);
    } else if (bombs_[i].timer > 1) {
      --bombs_[i].timer;
    }
  }
  std::erase_if(bombs_, [](const Bomb& b) { return b.timer <= 0; });
  ++tick_;
  return out;
}

void Round::Explode(std::size_t bomb, TickOutcome& out) {
  // Marked first, so a chain that comes back to this cell does not repeat it.
  bombs_[bomb].timer = 0;
  const Bomb b = bombs_[bomb];
  if (!Cover(b.at, b.owner, out)) {
    return;
  }
  constexpr Cell kDirections[] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
  for (const Cell d : kDirections) {
    for (int i = 1; i <= kBlastReach; ++i) {
      if (!Cover({b.at.x + d.x * i, b.at.y + d.y * i}, b.owner, out)) {
        break;
      }
    }
  }
}

bool Round::Cover(Cell c, int owner, TickOutcome& out) {
  if (!board_.Contains(c) || board_.At(c) == Tile::Wall) {
    return false;
  }
  if (std::find(out.blasts.begin(), out.blasts.end(), c) == out.blasts.end()) {
    out.blasts.push_back(c);
  }
  if (board_.At(c) == Tile::Block) {
    board_.Set(c, Tile::Floor);
    return false;
  }
  for (Player& p : players_) {
    if (p.alive && p.at == c) {
      p.alive = false;
      out.deaths.push_back(Death{p.id, owner});
    }
  }
  for (std::size_t j = 0; j < bombs_.size(); ++j) {
    if (bombs_[j].timer > 0 && bombs_[j].at == c) {
      Explode(j, out);
    }
  }
  return true;
}

void Round::Withdraw(int id) {
  for (Player& p : players_) {
    if (p.id == id) {
      p.alive = false;
    }
  }
}

int Round::AliveCount() const {
  return static_cast<int>(
      std::count_if(players_.begin(), players_.end(), [](const Player& p) { return p.alive; }));
}

std::optional<int> Round::Winner() const {
  if (AliveCount() != 1) {
    return std::nullopt;
  }
  return std::find_if(players_.begin(), players_.end(), [](const Player& p) { return p.alive; })
      ->id;
}

}  // namespace arena
