#include "lookahead/cell.h"

bool LiveBombAt(const State& state, int x, int y) {
  for (const Bomb& bomb : state.bombs) {
    if (bomb.timer >= 0 && bomb.x == x && bomb.y == y) {
      return true;
    }
  }
  return false;
}

bool Clear(const State& state, int x, int y) {
  if (!Valid(x, y, state.width, state.height) || state.At(x, y) != State::Tile::Empty) {
    return false;
  }
  for (const Player& player : state.players) {
    if (player.x == x && player.y == y) {
      return false;
    }
  }
  return !LiveBombAt(state, x, y);
}
