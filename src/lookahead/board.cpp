#include "lookahead/board.h"

#include "lookahead/cell.h"

void Board::Reset(const State& live) {
  live_ = &live;
  tick = live.tick;
  players.assign(live.players.begin(), live.players.end());
  destroyed_.Clear();
  // Every arm of every bomb, a dropped one included, destroys one block at most.
  destroyed_.Reserve(4 * (live.bombs.size() + live.players.size()));

  // Every move may open one more cell, so all fit without growing.
  const std::size_t playerCells = 2 * players.size();
  playerCells_.Clear();
  playerCells_.Reserve(playerCells);
  playerCellList_.clear();
  playerCellList_.reserve(playerCells);
  for (std::size_t i = 0; i < players.size(); ++i) {
    const int next = static_cast<int>(playerCellList_.size());
    const int cell = playerCells_.Insert(players[i].x, players[i].y, next);
    if (cell == next)
      playerCellList_.push_back({0, static_cast<int>(i)});
    ++playerCellList_[static_cast<std::size_t>(cell)].count;
  }

  // Each player drops at most one bomb in the tick, so appending never moves
  // the bombs that pointers refer to, nor grows the index.
  const std::size_t bombCount = live.bombs.size() + live.players.size();
  bombs.clear();
  bombs.reserve(bombCount);
  bombCells_.Clear();
  bombCells_.Reserve(bombCount);
  bombCellList_.clear();
  bombCellList_.reserve(bombCount);
  nextBomb_.clear();
  nextBomb_.reserve(bombCount);
  owners_.Clear();
  owners_.Reserve(bombCount);
  for (const Bomb& bomb : live.bombs)
    AddBomb(bomb);
}

void Board::IndexOwners() {
  owners_.Clear();
  for (const Bomb& bomb : bombs) {
    if (bomb.timer >= 0)
      owners_.Insert(bomb.owner, 0, 0);
  }
}

State::Tile Board::TileAt(int x, int y) const {
  const State::Tile tile = live_->At(x, y);
  if (tile == State::Tile::Block && destroyed_.Find(x, y) != nullptr)
    return State::Tile::Empty;
  return tile;
}

void Board::DestroyBlock(int x, int y) {
  destroyed_.Insert(x, y, 0);
}

Player* Board::FirstPlayerOn(int x, int y) {
  const int* cell = playerCells_.Find(x, y);
  if (cell == nullptr)
    return nullptr;
  const PlayerCell& on = playerCellList_[static_cast<std::size_t>(*cell)];
  return on.count == 0 ? nullptr : &players[static_cast<std::size_t>(on.first)];
}

bool Board::PlayerOn(int x, int y) const {
  const int* cell = playerCells_.Find(x, y);
  return cell != nullptr && playerCellList_[static_cast<std::size_t>(*cell)].count > 0;
}

void Board::MovePlayer(std::size_t i, int x, int y) {
  Player& player = players[i];
  PlayerCell& from =
      playerCellList_[static_cast<std::size_t>(*playerCells_.Find(player.x, player.y))];
  --from.count;
  if (from.count > 0 && static_cast<std::size_t>(from.first) == i) {
    // The next record in list order on the old cell becomes its first.
    std::size_t j = i + 1;
    while (players[j].x != player.x || players[j].y != player.y)
      ++j;
    from.first = static_cast<int>(j);
  }
  player.x = x;
  player.y = y;
  const int next = static_cast<int>(playerCellList_.size());
  const int cell = playerCells_.Insert(x, y, next);
  if (cell == next)
    playerCellList_.push_back({0, 0});
  PlayerCell& to = playerCellList_[static_cast<std::size_t>(cell)];
  to.count = 1;
  to.first = static_cast<int>(i);
}

int Board::FirstLiveBomb(int x, int y) const {
  const int* cell = bombCells_.Find(x, y);
  if (cell == nullptr)
    return -1;
  int i = bombCellList_[static_cast<std::size_t>(*cell)].first;
  while (i >= 0 && bombs[static_cast<std::size_t>(i)].timer < 0)
    i = nextBomb_[static_cast<std::size_t>(i)];
  return i;
}

Bomb* Board::FirstLiveBombOn(int x, int y) {
  const int i = FirstLiveBomb(x, y);
  return i < 0 ? nullptr : &bombs[static_cast<std::size_t>(i)];
}

bool Board::LiveBombOn(int x, int y) const {
  return FirstLiveBomb(x, y) >= 0;
}

void Board::AddBomb(const Bomb& bomb) {
  const int index = static_cast<int>(bombs.size());
  bombs.push_back(bomb);
  nextBomb_.push_back(-1);
  if (bomb.timer >= 0)
    owners_.Insert(bomb.owner, 0, 0);
  const int next = static_cast<int>(bombCellList_.size());
  const int cell = bombCells_.Insert(bomb.x, bomb.y, next);
  if (cell == next) {
    bombCellList_.push_back({index, index});
    return;
  }
  BombCell& on = bombCellList_[static_cast<std::size_t>(cell)];
  nextBomb_[static_cast<std::size_t>(on.last)] = index;
  on.last = index;
}

bool Board::Clear(int x, int y) const {
  return Valid(x, y, Width(), Height()) && TileAt(x, y) == State::Tile::Empty && !PlayerOn(x, y) &&
         !LiveBombOn(x, y);
}
