#include "grid.h"

#include <cstddef>

State Grid(const std::vector<std::string_view>& rows) {
  State state;
  state.height = static_cast<int>(rows.size());
  state.width = rows.empty() ? 0 : static_cast<int>(rows.front().size());
  for (std::string_view row : rows) {
    for (char c : row) {
      state.tiles.push_back(c == '#'   ? State::Tile::Block
                            : c == '+' ? State::Tile::Wall
                                       : State::Tile::Empty);
    }
  }
  state.RecountBlocks();
  return state;
}

namespace {

template <typename Map>
std::vector<std::string> Draw(int width, int height, const Map& tileAt) {
  std::vector<std::string> rows;
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      const State::Tile tile = tileAt(x, y);
      row += tile == State::Tile::Block ? '#' : tile == State::Tile::Wall ? '+' : '.';
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

std::vector<std::string> Rows(const State& state) {
  return Draw(state.width, state.height, [&](int x, int y) { return state.At(x, y); });
}

std::vector<std::string> Rows(const Board& board) {
  return Draw(board.Width(), board.Height(), [&](int x, int y) { return board.TileAt(x, y); });
}

Player At(int id, int x, int y) {
  return {id, x, y, true, Command::Stay};
}

Bomb BombAt(int x, int y, int timer, int owner) {
  return {owner, x, y, timer};
}
