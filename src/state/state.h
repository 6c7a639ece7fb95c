// The bot's picture of the game at the current tick, and the rules by which
// the status reader merges each block of server lines into it.
//
// The Client owns one live State for the whole connection; only the reader
// calls the merge operations. The look-ahead reads it and never changes it.
// Records are plain values; lookups take the first match in vector order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "state/cell_map.h"
#include "state/command.h"

struct Player {
  int id = 0;
  int x = 0;
  int y = 0;
  bool alive = false;
  Command command = Command::Stay;

  bool operator==(const Player&) const = default;
};

struct Bomb {
  static constexpr int kUnattributed = -2;

  int owner = kUnattributed;
  int x = 0;
  int y = 0;
  int timer = 0;  // below 0: gone, or exploded in a simulation

  bool operator==(const Bomb&) const = default;
};

struct State {
  enum class Tile : std::int32_t { Empty = 0, Block = 1, Wall = 2 };

  static constexpr int kSelfId = -1;
  // A dimension outside 0..kMaxSide counts as 0, so a hostile server cannot
  // make the tile vector huge (at most 4096 x 4096 cells).
  static constexpr int kMaxSide = 4096;

  int tick = 0;
  std::vector<Player> players;
  std::vector<Bomb> bombs;
  int width = 0;
  int height = 0;
  std::vector<Tile> tiles;  // row-major: cell (x, y) is tiles[x + y * width]

  // The fields above; the block count and the merge index are derived.
  bool operator==(const State& other) const;

  // Number of Block tiles, kept by the map rows and resizing. Code that writes
  // `tiles` directly must call RecountBlocks before anyone reads the count.
  int Blocks() const { return blocks_; }
  void RecountBlocks();

  // Lookups: the first match in vector order, or nullptr.
  Player* FindPlayer(int id);
  const Player* FindPlayer(int id) const;
  Bomb* FindBomb(int x, int y);

  // The cell must be on the map.
  Tile At(int x, int y) const { return tiles[Index(x, y)]; }
  Tile& At(int x, int y) { return tiles[Index(x, y)]; }
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(x) +
           static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
  }

  // Players section: begin, one call per player line, end (at "ENDPLAYERS" or
  // at a disconnect inside the section). Ids are indexed from BeginPlayers on.
  void BeginPlayers();
  void MergePlayer(int id, int x, int y);
  void EndPlayers();

  // "X " and "Y " lines. Without a self record there is nobody to move, so the
  // value is dropped.
  void SetOwnX(int x);
  void SetOwnY(int y);

  // Bombs section: begin, one call per bomb line, end. The cells of `bombs`
  // are indexed from BeginBombs on, so a long section is not quadratic.
  void BeginBombs();
  void MergeBomb(int x, int y, int timer);
  void EndBombs();

  // "WIDTH " and "HEIGHT " lines: tiles is resized at its end, nothing moves.
  void SetWidth(int value);
  void SetHeight(int value);

  // Row `row` (from 0) of the map; characters other than ". # +" and cells
  // off the map leave tiles as they were.
  void SetRow(int row, std::string_view text);

  // "ENDMAP" (or a disconnect inside the map): the tick is complete.
  void EndMap();

  // "ENDOFROUND": players and bombs go, the map stays.
  void EndRound();

 private:
  void ResizeTiles();
  void IndexPlayers();
  void IndexBombs();

  int blocks_ = 0;
  // Lookups of the merge rules, each the first match in list order, so that
  // long sections are not quadratic: player by id during a players section,
  // bomb by cell during a bombs section, player by cell at the end of a map.
  CellMap playerIds_;
  std::size_t indexedPlayers_ = 0;
  CellMap bombCells_;
  std::size_t indexedBombs_ = 0;
  CellMap playerCells_;
};
