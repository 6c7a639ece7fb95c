#include "lookahead/board.h"

#include "lookahead/cell.h"

namespace {

// While players times bombs stays below this, OwnsLiveBomb scans the bombs,
// which costs less than keeping an index up to date.
constexpr std::size_t kScanOwners = 512;

}  // namespace

void Board::Reset(const State& live) {
  Reset(live, live.players);
}

void Board::Reset(const State& live, const std::vector<Player>& order) {
  live_ = &live;
  tick = live.tick;
  players.assign(order.begin(), order.end());
  // Room for a block per bomb; a chain that destroys more grows the set once,
  // and the room stays for later ticks.
  Prepare(live, players.size(), live.bombs.size(), live.bombs.size());
  IndexPlayers();
  for (const Bomb& bomb : live.bombs)
    AddBomb(bomb);
}

void Board::Reset(const Board& from, bool keepDead) {
  live_ = from.live_;
  tick = from.tick;
  players.clear();
  for (const Player& player : from.players) {
    if (player.alive || keepDead)
      players.push_back(player);
  }
  Prepare(*live_, players.size(), from.bombs.size(),
          from.destroyedCells_.size() + from.bombs.size());
  for (const auto& [x, y] : from.destroyedCells_)
    DestroyBlock(x, y);
  IndexPlayers();
  for (const Bomb& bomb : from.bombs) {
    if (bomb.timer >= 0)
      AddBomb(bomb);
  }
}

void Board::Prepare(const State& live, std::size_t playerCount, std::size_t bombCount,
                    std::size_t destroyed) {
  // Both indexes are arrays over a small map, stamp-cleared: O(1) unless the
  // map changed size since the last reset.
  destroyed_.Shape(live.width, live.height);
  destroyedCells_.clear();
  bombs.clear();
  nextBomb_.clear();
  cells_.Shape(live.width, live.height);
  occupants_.clear();
  owners_.Clear();
  ReserveRecords(playerCount, bombCount, destroyed);
  const std::size_t bombRoom = bombCount + playerCount;
  scanOwners_ = bombRoom * playerCount <= kScanOwners;
  if (!scanOwners_)
    owners_.Reserve(bombRoom);
}

void Board::ReserveRecords(std::size_t playerCount, std::size_t bombCount, std::size_t destroyed) {
  // Each player drops at most one bomb in the tick, so appending never moves
  // the bombs that pointers refer to; every move or drop may occupy one more
  // cell, so nothing grows during the tick.
  const std::size_t bombRoom = bombCount + playerCount;
  const std::size_t cellCount = bombRoom + 2 * playerCount;
  bombs.reserve(bombRoom);
  nextBomb_.reserve(bombRoom);
  cells_.Reserve(cellCount);
  occupants_.reserve(cellCount);
  destroyed_.Reserve(destroyed);
  destroyedCells_.reserve(destroyed);
}

void Board::IndexPlayers() {
  for (std::size_t i = 0; i < players.size(); ++i) {
    Occupants& on = Occupy(players[i].x, players[i].y);
    if (on.players++ == 0)
      on.firstPlayer = static_cast<int>(i);
  }
}

Board::Occupants& Board::Occupy(int x, int y) {
  const int next = static_cast<int>(occupants_.size());
  const int cell = cells_.Insert(x, y, next);
  if (cell == next)
    occupants_.emplace_back();
  return occupants_[static_cast<std::size_t>(cell)];
}

void Board::Reserve(std::size_t playerCount, std::size_t bombCount, std::size_t destroyed) {
  players.reserve(playerCount);
  ReserveRecords(playerCount, bombCount, destroyed);
  owners_.Reserve(bombCount + playerCount);
}

void Board::DestroyBlock(int x, int y) {
  destroyed_.Insert(x, y, 0);
  destroyedCells_.emplace_back(x, y);
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

void Board::AddBomb(const Bomb& bomb) {
  const int index = static_cast<int>(bombs.size());
  bombs.push_back(bomb);
  nextBomb_.push_back(-1);
  if (!scanOwners_ && bomb.timer >= 0)
    owners_.Insert(bomb.owner, 0, 0);
  Occupants& on = Occupy(bomb.x, bomb.y);
  if (on.lastBomb < 0)
    on.firstBomb = index;
  else
    nextBomb_[static_cast<std::size_t>(on.lastBomb)] = index;
  on.lastBomb = index;
}

bool Board::OwnsLiveBomb(int owner) const {
  if (!scanOwners_)
    return owners_.Find(owner, 0) != nullptr;
  for (const Bomb& bomb : bombs) {
    if (bomb.owner == owner && bomb.timer >= 0)
      return true;
  }
  return false;
}

void Board::IndexOwners() {
  if (scanOwners_)
    return;
  owners_.Clear();
  for (const Bomb& bomb : bombs) {
    if (bomb.timer >= 0)
      owners_.Insert(bomb.owner, 0, 0);
  }
}
