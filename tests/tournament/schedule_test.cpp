// Properties of the schedule over many shapes: fair seating and shards that
// split it exactly.
#include "schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace tournament {
namespace {

TEST(Schedule, MapsArePlayedInEverySeatRotationAndShardsSplitThemExactly) {
  for (int bots = 2; bots <= 5; ++bots) {
    for (int players = 2; players <= 5; ++players) {
      Config c;
      c.bots.resize(static_cast<std::size_t>(bots));
      c.players = players;
      c.games = 60;
      std::set<std::pair<int, int>> met;
      for (int first = 0; first < c.games; first += players) {
        const Game g0 = ScheduledGame(c, first);
        for (int r = 0; r < players; ++r) {
          const Game g = ScheduledGame(c, first + r);
          EXPECT_EQ(g.seed, g0.seed);
          std::vector<int> rotated = g0.seats;
          std::rotate(rotated.begin(), rotated.begin() + r, rotated.end());
          EXPECT_EQ(g.seats, rotated) << bots << " bots, " << players << " seats, game " << g.index;
        }
        for (const int a : g0.seats) {
          for (const int b : g0.seats) {
            met.emplace(a, b);
          }
        }
      }
      // Over enough maps every bot meets every other.
      EXPECT_EQ(met.size(), static_cast<std::size_t>(bots * bots)) << bots << " bots";
      for (const int shards : {1, 3, 7}) {
        for (int game = 0; game < c.games; ++game) {
          int holders = 0;
          for (int i = 1; i <= shards; ++i) {
            holders += Shard{i, shards}.Holds(c, game);
          }
          EXPECT_EQ(holders, 1);
          // The games of one map are never split.
          const int first = game - game % players;
          const Shard one{1, shards};
          EXPECT_EQ(one.Holds(c, game), one.Holds(c, first));
        }
      }
    }
  }
  EXPECT_FALSE(ParseShard("0/2"));
  EXPECT_FALSE(ParseShard("3/2"));
  EXPECT_FALSE(ParseShard("1-2"));
}

}  // namespace
}  // namespace tournament
