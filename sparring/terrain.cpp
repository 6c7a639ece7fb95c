#include "terrain.h"

#include <functional>
#include <queue>

#include "escape.h"

namespace sparring {

namespace {

constexpr int kBlockCost = 6;
constexpr int kBombCost = 4;

}  // namespace

int Room(const Position& p, arena::Cell from, const std::vector<int>& rivals, int radius) {
  std::vector<int> steps(static_cast<std::size_t>(p.Cells()), kNever);
  std::vector<arena::Cell> queue = {from};
  steps[static_cast<std::size_t>(p.Index(from))] = 1;
  int room = 0;
  for (std::size_t head = 0; head < queue.size(); ++head) {
    const arena::Cell c = queue[head];
    const int t = steps[static_cast<std::size_t>(p.Index(c))];
    room += t < rivals[static_cast<std::size_t>(p.Index(c))];
    if (t > radius) {
      continue;
    }
    for (int d = 1; d < 5; ++d) {
      const arena::Cell n{c.x + kSteps[d].x, c.y + kSteps[d].y};
      if ((n == p.players[kUs] || p.Enterable(n)) &&
          steps[static_cast<std::size_t>(p.Index(n))] == kNever) {
        steps[static_cast<std::size_t>(p.Index(n))] = t + 1;
        queue.push_back(n);
      }
    }
  }
  return room;
}

int BlocksBroken(const Position& p, arena::Cell at) {
  int blocks = 0;
  for (int d = 1; d < 5; ++d) {
    for (int i = 1; i <= arena::kBlastReach; ++i) {
      const arena::Cell c{at.x + kSteps[d].x * i, at.y + kSteps[d].y * i};
      if (!p.board.Contains(c) || p.board.At(c) == arena::Tile::Wall) {
        break;
      }
      if (p.board.At(c) == arena::Tile::Block) {
        ++blocks;
        break;
      }
    }
  }
  return blocks;
}

std::vector<int> StepsTo(const Position& p, const std::vector<int>& goals) {
  std::vector<int> steps(static_cast<std::size_t>(p.Cells()), kNever);
  std::vector<int> queue;
  for (const int g : goals) {
    steps[static_cast<std::size_t>(g)] = 0;
    queue.push_back(g);
  }
  const int w = p.board.Width();
  for (std::size_t head = 0; head < queue.size(); ++head) {
    const arena::Cell c{queue[head] % w, queue[head] / w};
    for (int d = 1; d < 5; ++d) {
      const arena::Cell n{c.x + kSteps[d].x, c.y + kSteps[d].y};
      if ((n == p.players[kUs] || p.Enterable(n)) &&
          steps[static_cast<std::size_t>(p.Index(n))] == kNever) {
        steps[static_cast<std::size_t>(p.Index(n))] =
            steps[static_cast<std::size_t>(queue[head])] + 1;
        queue.push_back(p.Index(n));
      }
    }
  }
  return steps;
}

std::vector<int> CostToOthers(const Position& p) {
  std::vector<int> cost(static_cast<std::size_t>(p.Cells()), kNever);
  using Entry = std::pair<int, int>;  // cost, cell index
  std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
  for (std::size_t i = 1; i < p.players.size(); ++i) {
    const int at = p.Index(p.players[i]);
    cost[static_cast<std::size_t>(at)] = 0;
    queue.push({0, at});
  }
  const int w = p.board.Width();
  while (!queue.empty()) {
    const auto [so_far, i] = queue.top();
    queue.pop();
    if (so_far > cost[static_cast<std::size_t>(i)]) {
      continue;
    }
    for (int d = 1; d < 5; ++d) {
      const arena::Cell n{i % w + kSteps[d].x, i / w + kSteps[d].y};
      if (!p.board.Contains(n) || p.board.At(n) == arena::Tile::Wall) {
        continue;
      }
      const int step = p.board.At(n) == arena::Tile::Block ? kBlockCost
                       : p.HasBomb(n)                      ? kBombCost
                                                           : 1;
      const int j = p.Index(n);
      if (so_far + step < cost[static_cast<std::size_t>(j)]) {
        cost[static_cast<std::size_t>(j)] = so_far + step;
        queue.push({so_far + step, j});
      }
    }
  }
  return cost;
}

}  // namespace sparring
