#include "state/cell_map.h"
#include "state/cell_index.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <random>
#include <utility>

namespace {

TEST(CellMap, KeysAnywhereInTheIntRangeAreDistinct) {
  const std::pair<int, int> keys[] = {{0, 0},
                                      {0, 1},
                                      {1, 0},
                                      {-1, 0},
                                      {0, -1},
                                      {INT_MIN, INT_MIN},
                                      {INT_MAX, 0},
                                      {0, INT_MAX},
                                      {INT_MIN, INT_MAX},
                                      {INT_MAX, INT_MIN},
                                      {-1, -1},
                                      {INT_MIN + 1, 0}};
  CellMap map;
  int value = 0;
  for (auto [x, y] : keys) {
    EXPECT_EQ(map.Find(x, y), nullptr) << x << "," << y;
    EXPECT_EQ(map.Insert(x, y, value), value);
    ++value;
  }
  EXPECT_EQ(map.Size(), std::size(keys));
  value = 0;
  for (auto [x, y] : keys) {
    ASSERT_NE(map.Find(x, y), nullptr) << x << "," << y;
    EXPECT_EQ(*map.Find(x, y), value++);
  }
}

TEST(CellMap, InsertKeepsTheFirstValue) {
  CellMap map;
  map.Insert(3, 4, 7) += 1;
  EXPECT_EQ(map.Insert(3, 4, 9), 8);
  EXPECT_EQ(map.Size(), 1u);
}

// Against std::map through growth and many clears, so stale slots of an
// earlier fill never show through.
TEST(CellMap, MatchesAnOrderedMapAcrossGrowthAndClears) {
  std::mt19937 random(3);
  CellMap map;
  for (int round = 0; round < 200; ++round) {
    std::map<std::pair<int, int>, int> expected;
    map.Clear();
    const int count = static_cast<int>(random() % 300);
    for (int i = 0; i < count; ++i) {
      const int x = static_cast<int>(random() % 40) - 20;
      const int y = static_cast<int>(random());
      expected.emplace(std::pair{x, y}, i);
      map.Insert(x, y, i);
    }
    ASSERT_EQ(map.Size(), expected.size()) << "round " << round;
    for (const auto& [key, value] : expected) {
      const int* found = map.Find(key.first, key.second);
      ASSERT_NE(found, nullptr) << "round " << round;
      ASSERT_EQ(*found, value) << "round " << round;
    }
    for (int i = 0; i < 50; ++i) {
      const int x = static_cast<int>(random() % 40) - 20;
      const int y = static_cast<int>(random() % 40);
      ASSERT_EQ(map.Find(x, y) != nullptr, expected.count({x, y}) == 1) << "round " << round;
    }
  }
}

// Against std::map across map shapes (small ones held as an array, one too
// large for it, none at all), keys on the map and off it, clears and
// re-shapes, so neither the array nor the fallback shows a stale key.
TEST(CellIndex, MatchesAnOrderedMapOnAndOffMapsOfEveryShape) {
  std::mt19937 random(5);
  const std::pair<int, int> shapes[] = {{15, 13}, {1, 1}, {0, 7}, {300, 300}, {60, 60}, {15, 13}};
  CellIndex index;
  for (const auto& [width, height] : shapes) {
    index.Shape(width, height);
    for (int round = 0; round < 40; ++round) {
      std::map<std::pair<int, int>, int> expected;
      if (round > 0)
        index.Clear();
      index.Reserve(64);
      const auto coordinate = [&](int size) {
        const unsigned roll = random() % 10;
        return roll == 0   ? static_cast<int>(random())
               : roll == 1 ? -1 - static_cast<int>(random() % 3)
                           : static_cast<int>(random() % static_cast<unsigned>(size + 2));
      };
      const int count = static_cast<int>(random() % 64);
      for (int i = 0; i < count; ++i) {
        const int x = coordinate(width);
        const int y = coordinate(height);
        expected.emplace(std::pair{x, y}, i);
        ASSERT_EQ(index.Insert(x, y, i), expected.at({x, y}));
      }
      ASSERT_EQ(index.Size(), expected.size()) << width << "x" << height << " round " << round;
      for (int i = 0; i < 100; ++i) {
        const int x = coordinate(width);
        const int y = coordinate(height);
        const int* found = index.Find(x, y);
        const auto it = expected.find({x, y});
        ASSERT_EQ(found != nullptr, it != expected.end()) << x << "," << y;
        if (found != nullptr) {
          ASSERT_EQ(*found, it->second) << x << "," << y;
        }
      }
    }
  }
}

}  // namespace
