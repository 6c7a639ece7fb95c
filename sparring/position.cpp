#include "position.h"

#include <algorithm>

namespace sparring {

bool Position::Armed(int player) const {
  return std::any_of(bombs.begin(), bombs.end(),
                     [player](const arena::Bomb& b) { return b.owner == player; });
}

bool Position::HasBomb(arena::Cell c) const {
  return std::any_of(bombs.begin(), bombs.end(), [c](const arena::Bomb& b) { return b.at == c; });
}

bool Position::Enterable(arena::Cell c) const {
  return board.Contains(c) && board.At(c) == arena::Tile::Floor && !HasBomb(c) &&
         std::find(players.begin(), players.end(), c) == players.end();
}

arena::Board BoardFromRows(const std::vector<std::string>& rows, int width, int height) {
  arena::Board board(std::max(width, 0), std::max(height, 0), arena::Tile::Wall);
  for (int y = 0; y < board.Height() && y < static_cast<int>(rows.size()); ++y) {
    const std::string& row = rows[static_cast<std::size_t>(y)];
    for (int x = 0; x < board.Width() && x < static_cast<int>(row.size()); ++x) {
      const char c = row[static_cast<std::size_t>(x)];
      if (c == '.' || c == '#') {
        board.Set({x, y}, static_cast<arena::Tile>(c));
      }
    }
  }
  return board;
}

Position Facing(arena::Board board, int self, const std::vector<Seat>& living,
                std::vector<arena::Bomb> bombs) {
  Position p{std::move(board), {}, {}};
  std::vector<int> ids;
  for (const bool us : {true, false}) {
    for (const Seat& s : living) {
      if ((s.id == self) == us) {
        p.players.push_back(s.at);
        ids.push_back(s.id);
      }
    }
  }
  for (arena::Bomb& b : bombs) {
    const auto index = std::find(ids.begin(), ids.end(), b.owner);
    b.owner = index == ids.end() ? kNobody : static_cast<int>(index - ids.begin());
  }
  p.bombs = std::move(bombs);
  return p;
}

Position OwnerBook::Observe(const Status& status) {
  Position p{BoardFromRows(status.rows, status.width, status.height), {{status.x, status.y}}, {}};
  std::vector<int> ids = {kSelfId};
  for (const SeenPlayer& s : status.others) {
    p.players.push_back({s.x, s.y});
    ids.push_back(s.id);
  }
  // A bomb sent with a full timer was dropped this tick, so its owner still
  // stands on it; older bombs keep the owner seen then.
  std::vector<Owner> owners;
  for (const SeenBomb& s : status.bombs) {
    const arena::Cell at{s.x, s.y};
    if (!p.board.Contains(at)) {
      continue;
    }
    Owner o{at, kUnknown};
    if (s.timer == arena::kBombTimer - 1) {
      const auto on = std::find(p.players.begin(), p.players.end(), at);
      if (on != p.players.end()) {
        o.id = ids[static_cast<std::size_t>(on - p.players.begin())];
      }
    } else if (const auto known = std::find_if(owners_.begin(), owners_.end(),
                                               [at](const Owner& k) { return k.at == at; });
               known != owners_.end()) {
      o.id = known->id;
    }
    owners.push_back(o);
    const auto index = std::find(ids.begin(), ids.end(), o.id);
    const int owner =
        o.id == kUnknown || index == ids.end() ? kNobody : static_cast<int>(index - ids.begin());
    p.bombs.push_back(arena::Bomb{owner, at, s.timer});
  }
  owners_ = std::move(owners);
  return p;
}

}  // namespace sparring
