// The map of one round: floor, destructible blocks and walls, addressed by
// column x and row y from the top-left corner. A plain value; each Round owns
// its own copy and changes it as blasts destroy blocks.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace arena {

enum class Tile : char { Floor = '.', Block = '#', Wall = '+' };

struct Cell {
  int x = 0;
  int y = 0;
  friend bool operator==(Cell, Cell) = default;
};

class Board {
 public:
  Board(int width, int height, Tile fill);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Contains(Cell c) const { return c.x >= 0 && c.y >= 0 && c.x < width_ && c.y < height_; }
  // Both take a cell for which Contains holds.
  Tile At(Cell c) const { return tiles_[Index(c)]; }
  void Set(Cell c, Tile t) { tiles_[Index(c)] = t; }

  // One string per row, one character per cell, as sent on the wire.
  std::vector<std::string> Rows() const;

 private:
  std::size_t Index(Cell c) const {
    return static_cast<std::size_t>(c.y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(c.x);
  }

  int width_;
  int height_;
  std::vector<Tile> tiles_;
};

// A generated map and the cells its players start on, in spawn order.
struct Layout {
  Board board;
  std::vector<Cell> spawns;
};

// Walls on the border and on every cell whose x and y are both even; blocks on
// a `density` share of the other cells, sparing each spawn and its two
// neighbours along the border. The width and height must be odd and at least 7.
Layout GenerateLayout(int width, int height, int players, double density, std::mt19937_64& rng);

// `players` start cells on the board's floor: the four inner corners first
// (opposite ones first, so two players start far apart), then the middles of
// the four edges, each moved to the nearest free floor cell. Returns fewer
// cells when the floor runs out.
std::vector<Cell> ChooseSpawns(const Board& board, int players);

// A fixed map from text, one row a line; `error` says why when it is rejected.
struct ParsedBoard {
  std::optional<Board> board;
  std::string error;
};
ParsedBoard ParseBoard(const std::string& text);

}  // namespace arena
