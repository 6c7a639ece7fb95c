// Cell tests shared by the blast, the command simulation and the evaluation.
// Coordinates may be any int the reader stores, so neighbours are formed with
// wrap-around instead of signed overflow; a wrapped cell is never on the map.
#pragma once

#include <cstdint>
#include <cstdlib>

// True when (x, y) lies on a width x height map.
inline bool Valid(int x, int y, int width, int height) {
  return x >= 0 && x < width && y >= 0 && y < height;
}

// v + delta in 32-bit wrap-around arithmetic (the conversion back is modular).
inline int Shift(int v, int delta) {
  return static_cast<int>(static_cast<std::uint32_t>(v) + static_cast<std::uint32_t>(delta));
}

// The steps between (ax, ay) and (bx, by) along the grid, in 64 bits so that
// no pair of ints overflows.
inline long long Steps(int ax, int ay, int bx, int by) {
  return std::llabs(static_cast<long long>(ax) - bx) + std::llabs(static_cast<long long>(ay) - by);
}

// The four directions in the fixed order up, down, left, right.
struct Direction {
  int dx;
  int dy;
};
inline constexpr Direction kDirections[4] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
