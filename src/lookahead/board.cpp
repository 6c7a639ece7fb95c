#include "lookahead/board.h"

#include "lookahead/cell.h"

void Board::Reset(const State& live) {
  live_ = &live;
  tick = live.tick;
  players.assign(live.players.begin(), live.players.end());
  Prepare(live.players.size(), live.bombs.size());
  // Room for a block per bomb; a chain that destroys more grows the set once,
  // and the room stays for later ticks.
  destroyed_.Reserve(live.bombs.size());
  destroyedCells_.reserve(live.bombs.size());
  IndexPlayers();
  for (const Bomb& bomb : live.bombs)
    AddBomb(bomb);
}

void Board::Reset(const Board& from) {
  live_ = from.live_;
  tick = from.tick;
  players.clear();
  for (const Player& player : from.players) {
    if (player.alive)
      players.push_back(player);
  }
  Prepare(players.size(), from.bombs.size());
  const std::size_t destroyed = from.destroyedCells_.size() + from.bombs.size();
  destroyed_.Reserve(destroyed);
  destroyedCells_.reserve(destroyed);
  for (const auto& [x, y] : from.destroyedCells_)
    DestroyBlock(x, y);
  IndexPlayers();
  for (const Bomb& bomb : from.bombs) {
    if (bomb.timer >= 0)
      AddBomb(bomb);
  }
}

void Board::Prepare(std::size_t playerCount, std::size_t bombCount) {
  destroyed_.Clear();
  destroyedCells_.clear();
  // Each player drops at most one bomb in the tick, so appending never moves
  // the bombs that pointers refer to; every move or drop may occupy one more
  // cell, so nothing grows during the tick.
  const std::size_t bombRoom = bombCount + playerCount;
  const std::size_t cellCount = bombRoom + 2 * playerCount;
  bombs.clear();
  bombs.reserve(bombRoom);
  nextBomb_.clear();
  nextBomb_.reserve(bombRoom);
  cells_.Clear();
  cells_.Reserve(cellCount);
  occupants_.clear();
  occupants_.reserve(cellCount);
  owners_.Clear();
  owners_.Reserve(bombRoom);
}

void Board::IndexPlayers() {
  for (std::size_t i = 0; i < players.size(); ++i) {
    Occupants& on = Occupy(players[i].x, players[i].y);
    if (on.players++ == 0)
      on.firstPlayer = static_cast<int>(i);
  }
}

const Board::Occupants* Board::On(int x, int y) const {
  const int* cell = cells_.Find(x, y);
  return cell == nullptr ? nullptr : &occupants_[static_cast<std::size_t>(*cell)];
}

Board::Occupants& Board::Occupy(int x, int y) {
  const int next = static_cast<int>(occupants_.size());
  const int cell = cells_.Insert(x, y, next);
  if (cell == next)
    occupants_.emplace_back();
  return occupants_[static_cast<std::size_t>(cell)];
}

State::Tile Board::TileAt(int x, int y) const {
  const State::Tile tile = live_->At(x, y);
  if (tile == State::Tile::Block && destroyed_.Find(x, y) != nullptr)
    return State::Tile::Empty;
  return tile;
}

void Board::DestroyBlock(int x, int y) {
  destroyed_.Insert(x, y, 0);
  destroyedCells_.emplace_back(x, y);
}

bool Board::PlayerOn(int x, int y) const {
  const Occupants* on = On(x, y);
  return on != nullptr && on->players > 0;
}

void Board::MovePlayer(std::size_t i, int x, int y) {
  Player& player = players[i];
  Occupants& from = occupants_[static_cast<std::size_t>(*cells_.Find(player.x, player.y))];
  if (--from.players > 0 && static_cast<std::size_t>(from.firstPlayer) == i) {
    // The next record in list order on the old cell becomes its first.
    std::size_t j = i + 1;
    while (players[j].x != player.x || players[j].y != player.y)
      ++j;
    from.firstPlayer = static_cast<int>(j);
  }
  player.x = x;
  player.y = y;
  Occupants& to = Occupy(x, y);
  to.players = 1;
  to.firstPlayer = static_cast<int>(i);
}

int Board::FirstLiveBomb(const Occupants* on) const {
  int i = on == nullptr ? -1 : on->firstBomb;
  while (i >= 0 && bombs[static_cast<std::size_t>(i)].timer < 0)
    i = nextBomb_[static_cast<std::size_t>(i)];
  return i;
}

Bomb* Board::Strike(int x, int y) {
  const Occupants* on = On(x, y);
  if (on == nullptr)
    return nullptr;
  if (on->players > 0)
    players[static_cast<std::size_t>(on->firstPlayer)].alive = false;
  const int i = FirstLiveBomb(on);
  return i < 0 ? nullptr : &bombs[static_cast<std::size_t>(i)];
}

bool Board::LiveBombOn(int x, int y) const {
  return FirstLiveBomb(On(x, y)) >= 0;
}

void Board::AddBomb(const Bomb& bomb) {
  const int index = static_cast<int>(bombs.size());
  bombs.push_back(bomb);
  nextBomb_.push_back(-1);
  if (bomb.timer >= 0)
    owners_.Insert(bomb.owner, 0, 0);
  Occupants& on = Occupy(bomb.x, bomb.y);
  if (on.lastBomb < 0)
    on.firstBomb = index;
  else
    nextBomb_[static_cast<std::size_t>(on.lastBomb)] = index;
  on.lastBomb = index;
}

void Board::IndexOwners() {
  owners_.Clear();
  for (const Bomb& bomb : bombs) {
    if (bomb.timer >= 0)
      owners_.Insert(bomb.owner, 0, 0);
  }
}

bool Board::Clear(int x, int y) const {
  if (!Valid(x, y, Width(), Height()) || TileAt(x, y) != State::Tile::Empty)
    return false;
  const Occupants* on = On(x, y);
  return on == nullptr || (on->players == 0 && FirstLiveBomb(on) < 0);
}
