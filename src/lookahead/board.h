// The simulated position of one candidate command: the live map seen through
// an overlay of the blocks destroyed so far, and own copies of the players and
// bombs with indexes by cell. A reset costs what the records hold, never what
// the map measures: on a small map the indexes are arrays over it, sized when
// the map's size changes and cleared by stamp (see CellIndex).
//
// The look-ahead owns one Board and resets it for every candidate; it points
// at the live State, which must stay unchanged and alive while it is used.
#pragma once

#include <utility>
#include <vector>

#include "lookahead/cell.h"
#include "state/cell_index.h"
#include "state/cell_map.h"
#include "state/state.h"

class Board {
 public:
  // Starts from `live`: copies its players and bombs, forgets destroyed
  // blocks and indexes the records by cell.
  void Reset(const State& live);
  // The same with `players`, a reordering of `live`'s, in their place: the
  // order in which their commands apply.
  void Reset(const State& live, const std::vector<Player>& players);
  // Starts from the position a played `from` leaves, as the next status block
  // would show it: dead players and gone bombs are left out, destroyed blocks
  // stay destroyed. Costs what the records hold, never what the map measures.
  // With `keepDead`, dead players stay where they fell, in nobody's way but
  // still standing in the way.
  void Reset(const Board& from, bool keepDead = false);

  int Width() const { return live_->width; }
  int Height() const { return live_->height; }
  // Blocks left on the whole map: the live count less those destroyed here.
  int Blocks() const { return live_->Blocks() - static_cast<int>(destroyed_.Size()); }

  // The tile of an on-map cell, destroyed blocks reading Empty.
  State::Tile TileAt(int x, int y) const;
  // Turns the Block of an on-map cell into Empty.
  void DestroyBlock(int x, int y);
  // Room, kept through later resets, for positions of up to `players`
  // players, `bombs` bombs and `destroyed` destroyed blocks, so that none of
  // them makes this Board allocate. Call it after a Reset.
  void Reserve(std::size_t players, std::size_t bombs, std::size_t destroyed);
  // The cells DestroyBlock was given since the last Reset, in that order.
  const std::vector<std::pair<int, int>>& Destroyed() const { return destroyedCells_; }

  // Whether a player record (dead ones too) stands on (x, y).
  bool PlayerOn(int x, int y) const;
  // Moves players[i] to (x, y), which no record holds.
  void MovePlayer(std::size_t i, int x, int y);

  // A blast passes (x, y): clears `alive` of the first player record there
  // and returns the first live bomb there, or nullptr, with one lookup.
  Bomb* Strike(int x, int y);

  // Whether a bomb with timer 0 or more lies on (x, y).
  bool LiveBombOn(int x, int y) const;
  // The first bomb with timer 0 or more on (x, y), or nullptr.
  const Bomb* LiveBombAt(int x, int y) const;
  // Appends a bomb and indexes it. Room is kept for one bomb per player, so
  // pointers into `bombs` stay valid through the drops of a tick.
  void AddBomb(const Bomb& bomb);

  // Whether a bomb with timer 0 or more has `owner` as its owner. Bombs that
  // AddBomb appends count at once; other timer changes may count only after
  // IndexOwners.
  bool OwnsLiveBomb(int owner) const;
  void IndexOwners();

  // A cell a player may step onto: on the map, Empty, no player record on it
  // and no live bomb on it.
  bool Clear(int x, int y) const;

  // Copies of the live records; change their cells only through MovePlayer.
  // Timers, `alive` and `command` may be changed freely.
  std::vector<Player> players;
  std::vector<Bomb> bombs;
  int tick = 0;

 private:
  // The records on one cell: how many players and the first of them in list
  // order, and the bombs, chained through nextBomb_ in list order (-1: none).
  struct Occupants {
    int players = 0;
    int firstPlayer = -1;
    int firstBomb = -1;
    int lastBomb = -1;
  };

  // Clears the indexes, shaped for `live`'s map and sized for the records
  // about to be copied in and `destroyed` destroyed blocks.
  void Prepare(const State& live, std::size_t players, std::size_t bombs, std::size_t destroyed);
  // Room for the records of a tick from a position of that many players,
  // bombs and destroyed blocks; grows only.
  void ReserveRecords(std::size_t players, std::size_t bombs, std::size_t destroyed);
  // Indexes `players`, already copied in, by cell.
  void IndexPlayers();

  const Occupants* On(int x, int y) const;
  Occupants& Occupy(int x, int y);
  // Index of the first live bomb of `on`, or -1.
  int FirstLiveBomb(const Occupants* on) const;

  const State* live_ = nullptr;
  CellIndex destroyed_;                              // on-map cells whose block a blast destroyed
  std::vector<std::pair<int, int>> destroyedCells_;  // the same cells, listed
  CellIndex cells_;                                  // cell -> index into occupants_
  std::vector<Occupants> occupants_;
  std::vector<int> nextBomb_;  // per bomb: the next bomb on its cell, or -1
  // (owner, 0) for each owner of a live bomb, kept unless scanOwners_: with
  // few players and bombs a scan of the bombs answers sooner.
  CellMap owners_;
  bool scanOwners_ = true;
};

// The lookups of every blast and every evaluated cell, inline.

inline const Board::Occupants* Board::On(int x, int y) const {
  const int* cell = cells_.Find(x, y);
  return cell == nullptr ? nullptr : &occupants_[static_cast<std::size_t>(*cell)];
}

inline State::Tile Board::TileAt(int x, int y) const {
  const State::Tile tile = live_->At(x, y);
  if (tile == State::Tile::Block && destroyed_.Find(x, y) != nullptr)
    return State::Tile::Empty;
  return tile;
}

inline bool Board::PlayerOn(int x, int y) const {
  const Occupants* on = On(x, y);
  return on != nullptr && on->players > 0;
}

inline int Board::FirstLiveBomb(const Occupants* on) const {
  int i = on == nullptr ? -1 : on->firstBomb;
  while (i >= 0 && bombs[static_cast<std::size_t>(i)].timer < 0)
    i = nextBomb_[static_cast<std::size_t>(i)];
  return i;
}

inline Bomb* Board::Strike(int x, int y) {
  const Occupants* on = On(x, y);
  if (on == nullptr)
    return nullptr;
  if (on->players > 0)
    players[static_cast<std::size_t>(on->firstPlayer)].alive = false;
  const int i = FirstLiveBomb(on);
  return i < 0 ? nullptr : &bombs[static_cast<std::size_t>(i)];
}

inline bool Board::LiveBombOn(int x, int y) const {
  return FirstLiveBomb(On(x, y)) >= 0;
}

inline const Bomb* Board::LiveBombAt(int x, int y) const {
  const int i = FirstLiveBomb(On(x, y));
  return i < 0 ? nullptr : &bombs[static_cast<std::size_t>(i)];
}

inline bool Board::Clear(int x, int y) const {
  if (!Valid(x, y, Width(), Height()) || TileAt(x, y) != State::Tile::Empty)
    return false;
  const Occupants* on = On(x, y);
  return on == nullptr || (on->players == 0 && FirstLiveBomb(on) < 0);
}
