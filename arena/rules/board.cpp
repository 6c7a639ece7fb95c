#include "rules/board.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <sstream>

namespace arena {

Board::Board(int width, int height, Tile fill)
    : width_(width),
      height_(height),
      tiles_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

std::vector<std::string> Board::Rows() const {
  std::vector<std::string> rows;
  rows.reserve(static_cast<std::size_t>(height_));
  for (int y = 0; y < height_; ++y) {
    std::string row;
    row.reserve(static_cast<std::size_t>(width_));
    for (int x = 0; x < width_; ++x) {
      row.push_back(static_cast<char>(At({x, y})));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<Cell> ChooseSpawns(const Board& board, int players) {
  const int w = board.Width();
  const int h = board.Height();
  const std::vector<Cell> targets = {
      {1, 1},     {w - 2, h - 2}, {w - 2, 1}, {1, h - 2},
      {w / 2, 1}, {w / 2, h - 2}, {1, h / 2}, {w - 2, h / 2},
  };
  std::vector<Cell> spawns;
  for (int i = 0; i < players; ++i) {
    const Cell target = targets[static_cast<std::size_t>(i) % targets.size()];
    // Nearest free floor cell; ties go to the first in row order, so a fixed
    // map always yields the same spawns.
    int bestDistance = std::numeric_limits<int>::max();
    Cell best{-1, -1};
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const Cell c{x, y};
        if (board.At(c) != Tile::Floor ||
            std::find(spawns.begin(), spawns.end(), c) != spawns.end()) {
          continue;
        }
        const int distance = std::abs(x - target.x) + std::abs(y - target.y);
        if (distance < bestDistance) {
          bestDistance = distance;
          best = c;
        }
      }
    }
    if (best.x < 0) {
      break;
    }
    spawns.push_back(best);
  }
  return spawns;
}

Layout GenerateLayout(int width, int height, int players, double density, std::mt19937_64& rng) {
  Board board(width, height, Tile::Floor);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool border = x == 0 || y == 0 || x == width - 1 || y == height - 1;
      if (border || (x % 2 == 0 && y % 2 == 0)) {
        board.Set({x, y}, Tile::Wall);
      }
    }
  }
  std::vector<Cell> spawns = ChooseSpawns(board, players);

  // A spawn's neighbours along the border are the cells next to it that also
  // lie on the ring just inside the border wall.
  auto onRing = [&](Cell c) {
    return c.x == 1 || c.y == 1 || c.x == width - 2 || c.y == height - 2;
  };
  std::vector<Cell> spared = spawns;
  for (const Cell s : spawns) {
    for (const Cell n :
         {Cell{s.x - 1, s.y}, Cell{s.x + 1, s.y}, Cell{s.x, s.y - 1}, Cell{s.x, s.y + 1}}) {
      if (board.Contains(n) && board.At(n) == Tile::Floor && onRing(n)) {
        spared.push_back(n);
      }
    }
  }

  std::vector<Cell> candidates;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Cell c{x, y};
      if (board.At(c) == Tile::Floor &&
          std::find(spared.begin(), spared.end(), c) == spared.end()) {
        candidates.push_back(c);
      }
    }
  }
  const auto blocks = static_cast<std::size_t>(
      std::clamp(density, 0.0, 1.0) * static_cast<double>(candidates.size()) + 0.5);
  // Partial Fisher-Yates on the raw engine output: std::shuffle and the
  // distributions differ between standard libraries, the engine does not.
  for (std::size_t i = 0; i < blocks; ++i) {
    const std::size_t j = i + static_cast<std::size_t>(rng() % (candidates.size() - i));
    std::swap(candidates[i], candidates[j]);
    board.Set(candidates[i], Tile::Block);
  }
  return Layout{std::move(board), std::move(spawns)};
}

ParsedBoard ParseBoard(const std::string& text) {
  std::vector<std::string> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    rows.push_back(line);
  }
  while (!rows.empty() && rows.back().empty()) {
    rows.pop_back();
  }
  if (rows.empty()) {
    return {std::nullopt, "the map is empty"};
  }
  const std::size_t width = rows.front().size();
  if (width > 255 || rows.size() > 255) {
    return {std::nullopt, "the map is larger than 255x255"};
  }
  Board board(static_cast<int>(width), static_cast<int>(rows.size()), Tile::Wall);
  for (std::size_t y = 0; y < rows.size(); ++y) {
    if (rows[y].size() != width) {
      return {std::nullopt, "row " + std::to_string(y + 1) + " is " +
                                std::to_string(rows[y].size()) + " characters long, row 1 is " +
                                std::to_string(width)};
    }
    for (std::size_t x = 0; x < width; ++x) {
      const char c = rows[y][x];
      if (c != '.' && c != '#' && c != '+') {
        return {std::nullopt, "row " + std::to_string(y + 1) + " has the byte " +
                                  std::to_string(static_cast<unsigned char>(c)) +
                                  "; only '.', '#' and '+' are allowed"};
      }
      board.Set({static_cast<int>(x), static_cast<int>(y)}, static_cast<Tile>(c));
    }
  }
  return {std::move(board), ""};
}

}  // namespace arena
