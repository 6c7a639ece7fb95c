#include "search/transposition.h"

namespace {

// splitmix64's finaliser: every input bit reaches every output bit.
std::uint64_t Mix(std::uint64_t v) {
  v ^= v >> 30;
  v *= 0xBF58476D1CE4E5B9ULL;
  v ^= v >> 27;
  v *= 0x94D049BB133111EBULL;
  v ^= v >> 31;
  return v;
}

std::uint64_t Pair(int a, int b) {
  return (std::uint64_t{static_cast<std::uint32_t>(a)} << 32) | static_cast<std::uint32_t>(b);
}

// Folds one field into the key. Each field goes through the mixer on its
// own: a field added or xored in plain could cancel a neighbour's change
// (an alive flag's +1 against a coordinate's low bit).
std::uint64_t Fold(std::uint64_t key, std::uint64_t field) {
  return Mix(key ^ Mix(field + 0x9E3779B97F4A7C15ULL));
}

}  // namespace

std::uint64_t BoardKey(const Board& board) {
  std::uint64_t key = 0x5EA8C4ULL;
  for (const Player& p : board.players) {
    key = Fold(Fold(key, Pair(p.x, p.y)), Pair(p.id, p.alive ? 1 : 0));
  }
  key = Fold(key, 0xB0);
  for (const Bomb& b : board.bombs) {
    if (b.timer >= 0) {
      key = Fold(Fold(key, Pair(b.x, b.y)), Pair(b.owner, b.timer));
    }
  }
  // Blocks broken in another order are the same blocks.
  std::uint64_t broken = 0;
  for (const auto& [x, y] : board.Destroyed()) {
    broken += Mix(Pair(x, y) ^ 0xB10CULL);
  }
  return Fold(key, broken);
}

std::uint64_t PositionKey(std::uint64_t boardKey, int ply, int depthLeft) {
  return Fold(boardKey, Pair(ply, depthLeft));
}
