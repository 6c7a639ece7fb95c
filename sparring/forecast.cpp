#include "forecast.h"

namespace sparring {

Forecast Foresee(const Position& p, const std::vector<arena::Bomb>& extra) {
  std::vector<arena::Bomb> bombs = p.bombs;
  bombs.insert(bombs.end(), extra.begin(), extra.end());
  arena::Round round(p.board, {}, std::move(bombs));
  Forecast f;
  f.cells = p.Cells();
  const auto cells = static_cast<std::size_t>(f.cells);
  f.open.assign(cells, 0);  // step 0 is never asked about
  f.blasted.assign(cells, 0);
  // Every step counts each timer down, so this ends within the longest timer.
  while (!round.Bombs().empty()) {
    ++f.horizon;
    const std::size_t begin = f.open.size();
    f.open.resize(begin + cells, 0);
    f.blasted.resize(begin + cells, 0);
    const arena::Board& board = round.GetBoard();
    for (int y = 0; y < board.Height(); ++y) {
      for (int x = 0; x < board.Width(); ++x) {
        f.open[begin + static_cast<std::size_t>(p.Index({x, y}))] =
            board.At({x, y}) == arena::Tile::Floor;
      }
    }
    for (const arena::Bomb& b : round.Bombs()) {
      f.open[begin + static_cast<std::size_t>(p.Index(b.at))] = 0;
    }
    for (const arena::Cell c : round.Step({}).blasts) {
      f.blasted[begin + static_cast<std::size_t>(p.Index(c))] = 1;
    }
  }
  f.cleared = round.GetBoard();
  return f;
}

}  // namespace sparring
