// How far each cell near the bot is from a cell where its bomb would catch an
// opponent, in ticks of walking and bombing: the leaves' pull towards the
// fight. Built once per decision on the live map, in a window around the bot
// that no searched line can leave, and read at every leaf. The Search owns one
// and rebuilds it each tick; its storage is reused.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "state/state.h"

class TargetMap {
 public:
  static constexpr int kRadius = 24;  // the window reaches this far from the bot
  static constexpr int kFar = 600;    // the cost of a cell nothing leads from

  // Plans from `self` towards the attack cells of every other player of `live`.
  void Build(const State& live, const Player& self);
  // The cost from (x, y); kFar outside the window or when no path leads on.
  int At(int x, int y) const;
  // The cost from (x, y) once the blocks on `broken` are gone: a way may now
  // run straight to one of them and on from there.
  int After(int x, int y, const std::vector<std::pair<int, int>>& broken) const;
  // Whether breaking the block on (x, y) shortens the bot's way: the block
  // lies nearer the fight than the bot and some way towards it runs through.
  bool OnTheWay(int x, int y) const;

 private:
  int Index(int x, int y) const;  // -1 outside the window or the map
  void Seed(int index, int cost);

  const State* live_ = nullptr;
  int selfCost_ = kFar;
  int left_ = 0;  // the window's top-left cell
  int top_ = 0;
  std::vector<int> cost_;                  // (2 kRadius + 1)^2 cells, row-major
  std::vector<std::pair<int, int>> heap_;  // (-cost, index): a max-heap on -cost
};
