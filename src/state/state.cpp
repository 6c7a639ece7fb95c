#include "state/state.h"

#include <algorithm>

namespace {

// Tick counts may in theory run past INT_MAX on an endless connection; wrap
// instead of overflowing.
int Increment(int value) {
  return static_cast<int>(static_cast<std::uint32_t>(value) + 1u);
}

int ClampSide(int value) {
  return value < 0 || value > State::kMaxSide ? 0 : value;
}

}  // namespace

bool State::operator==(const State& other) const {
  return tick == other.tick && players == other.players && bombs == other.bombs &&
         width == other.width && height == other.height && tiles == other.tiles;
}

void State::RecountBlocks() {
  blocks_ = static_cast<int>(std::count(tiles.begin(), tiles.end(), Tile::Block));
}

Player* State::FindPlayer(int id) {
  auto it =
      std::find_if(players.begin(), players.end(), [id](const Player& p) { return p.id == id; });
  return it == players.end() ? nullptr : &*it;
}

const Player* State::FindPlayer(int id) const {
  return const_cast<State*>(this)->FindPlayer(id);
}

Bomb* State::FindBomb(int x, int y) {
  auto it = std::find_if(bombs.begin(), bombs.end(),
                         [x, y](const Bomb& b) { return b.x == x && b.y == y; });
  return it == bombs.end() ? nullptr : &*it;
}

void State::BeginPlayers() {
  for (Player& p : players)
    p.alive = false;
  IndexPlayers();
}

void State::IndexPlayers() {
  playerIds_.Clear();
  playerIds_.Reserve(players.size());
  for (std::size_t i = 0; i < players.size(); ++i)
    playerIds_.Insert(players[i].id, 0, static_cast<int>(i));  // the first one stays
  indexedPlayers_ = players.size();
}

void State::MergePlayer(int id, int x, int y) {
  // Records added by hand since BeginPlayers make the index stale.
  if (indexedPlayers_ != players.size())
    IndexPlayers();
  int& index = playerIds_.Insert(id, 0, static_cast<int>(players.size()));
  if (static_cast<std::size_t>(index) == players.size()) {
    players.emplace_back();
    ++indexedPlayers_;
  }
  players[static_cast<std::size_t>(index)] = Player{id, x, y, true, Command::Stay};
}

void State::EndPlayers() {
  std::erase_if(players, [](const Player& p) { return !p.alive; });
  Player* self = FindPlayer(kSelfId);
  if (self == nullptr)
    self = &players.emplace_back(Player{kSelfId, 0, 0, false, Command::Stay});
  self->alive = true;
  // The next section may list every player anew before the old records go:
  // room for both, so that a steady game does not allocate.
  players.reserve(2 * players.size());
  playerIds_.Reserve(2 * players.size());
  playerCells_.Reserve(players.size());
}

void State::SetOwnX(int x) {
  if (Player* self = FindPlayer(kSelfId))
    self->x = x;
}

void State::SetOwnY(int y) {
  if (Player* self = FindPlayer(kSelfId))
    self->y = y;
}

void State::BeginBombs() {
  for (Bomb& b : bombs)
    b.timer = -1;
  IndexBombs();
}

void State::IndexBombs() {
  bombCells_.Clear();
  bombCells_.Reserve(bombs.size());
  for (std::size_t i = 0; i < bombs.size(); ++i)
    bombCells_.Insert(bombs[i].x, bombs[i].y, static_cast<int>(i));  // the first one stays
  indexedBombs_ = bombs.size();
}

void State::MergeBomb(int x, int y, int timer) {
  // Bombs added by hand since BeginBombs make the index stale.
  if (indexedBombs_ != bombs.size())
    IndexBombs();
  int& index = bombCells_.Insert(x, y, static_cast<int>(bombs.size()));
  if (static_cast<std::size_t>(index) == bombs.size()) {
    bombs.push_back(Bomb{Bomb::kUnattributed, x, y, 0});
    ++indexedBombs_;
  }
  bombs[static_cast<std::size_t>(index)].timer = timer;
}

void State::EndBombs() {
  std::erase_if(bombs, [](const Bomb& b) { return b.timer < 0; });
  // As for players: room for a next section that moves every bomb.
  bombs.reserve(2 * bombs.size());
  bombCells_.Reserve(2 * bombs.size());
}

void State::SetWidth(int value) {
  width = ClampSide(value);
  ResizeTiles();
}

void State::SetHeight(int value) {
  height = ClampSide(value);
  ResizeTiles();
}

void State::ResizeTiles() {
  const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (size < tiles.size()) {
    blocks_ -= static_cast<int>(
        std::count(tiles.begin() + static_cast<std::ptrdiff_t>(size), tiles.end(), Tile::Block));
  }
  tiles.resize(size, Tile::Empty);
}

void State::SetRow(int row, std::string_view text) {
  if (row < 0 || row >= height)
    return;
  const std::size_t cells = std::min(text.size(), static_cast<std::size_t>(width));
  Tile* tile = tiles.data() + Index(0, row);
  int blocks = blocks_;
  // Maps are random mixes of the three characters: a branch per cell would
  // mispredict on almost every one, so the tile is chosen by arithmetic on
  // the comparisons, which the compiler also turns into vector code.
  constexpr int kBlock = static_cast<int>(Tile::Block);
  constexpr int kWall = static_cast<int>(Tile::Wall);
  static_assert(static_cast<int>(Tile::Empty) == 0);
  for (std::size_t j = 0; j < cells; ++j) {
    const char c = text[j];
    const int block = c == '#';
    const int wall = c == '+';
    const int old = static_cast<int>(tile[j]);
    const int value = (block | wall | (c == '.')) != 0 ? block * kBlock + wall * kWall : old;
    blocks += static_cast<int>(value == kBlock) - static_cast<int>(old == kBlock);
    tile[j] = static_cast<Tile>(value);
  }
  blocks_ = blocks;
}

void State::EndMap() {
  tick = Increment(tick);
  // A bomb at timer 5 was dropped during the previous tick: whoever stands on
  // it first in list order dropped it (the self record is last, so another
  // player on the same cell takes the blame).
  bool fresh = false;
  for (const Bomb& b : bombs)
    fresh = fresh || b.timer == 5;
  if (!fresh)
    return;
  playerCells_.Clear();
  playerCells_.Reserve(players.size());
  for (std::size_t i = 0; i < players.size(); ++i)
    playerCells_.Insert(players[i].x, players[i].y, static_cast<int>(i));  // the first one stays
  for (Bomb& b : bombs) {
    if (b.timer != 5)
      continue;
    if (const int* first = playerCells_.Find(b.x, b.y))
      b.owner = players[static_cast<std::size_t>(*first)].id;
  }
}

void State::EndRound() {
  players.clear();
  bombs.clear();
  tick = 0;
}
