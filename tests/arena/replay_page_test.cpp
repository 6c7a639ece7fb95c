// The replay page's data: a random game's compact form decodes back to every
// snapshot, and nothing a client says can break out of the page's script.
#include <gtest/gtest.h>

#include <random>

#include "replay_page/html_page.h"
#include "replay_page/replay_data.h"
#include "server/match.h"

namespace {

using nlohmann::json;

std::vector<arena::Snapshot> RandomGame(std::uint64_t seed) {
  arena::MatchOptions o;
  o.rounds = 3;
  o.maxTicks = 120;
  o.seed = seed;
  arena::Match match(o);
  std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
  std::vector<arena::Snapshot> ticks;
  for (int round = 0; round < o.rounds; ++round) {
    match.StartRound();
    ticks.push_back(match.TakeSnapshot());
    while (!match.RoundOver()) {
      for (int seat = 0; seat < o.players; ++seat) {
        match.Play(seat, static_cast<arena::Command>(rng() % 6));
      }
      match.Say(0, "tick " + std::to_string(ticks.back().tick));
      match.Step();
      ticks.push_back(match.TakeSnapshot());
    }
  }
  return ticks;
}

TEST(ReplayPage, CompactDataDecodesBackToEverySnapshot) {
  for (const std::uint64_t seed : {1, 2, 3}) {
    const std::vector<arena::Snapshot> ticks = RandomGame(seed);
    arena::ReplayData builder;
    for (const arena::Snapshot& s : ticks) {
      builder.Add(s);
    }
    const json data = builder.Finish();
    std::size_t next = 0;
    for (const json& round : data.at("rounds")) {
      auto rows = round.at("map").get<std::vector<std::string>>();
      std::vector<arena::SnapshotPlayer> players;
      for (const json& t : round.at("ticks")) {
        const json m = t.value("m", json::array());
        for (std::size_t k = 0; k + 2 < m.size(); k += 3) {
          rows[m[k + 1].get<std::size_t>()][m[k].get<std::size_t>()] =
              m[k + 2].get<std::string>()[0];
        }
        for (const json& p : t.at("p")) {
          const auto id = p[0].get<std::size_t>();
          players.resize(std::max(players.size(), id + 1));
          players[id] = {p[0], "", p[1], p[2], p[3] == 1, p[4], ""};
        }
        ASSERT_LT(next, ticks.size());
        const arena::Snapshot& s = ticks[next++];
        EXPECT_EQ(round.at("round"), s.round);
        EXPECT_EQ(t.at("t"), s.tick);
        EXPECT_EQ(rows, s.rows) << "round " << s.round << " tick " << s.tick;
        ASSERT_EQ(players.size(), s.players.size());
        for (std::size_t i = 0; i < players.size(); ++i) {
          EXPECT_EQ(
              std::tie(players[i].x, players[i].y, players[i].alive, players[i].wins),
              std::tie(s.players[i].x, s.players[i].y, s.players[i].alive, s.players[i].wins));
        }
        EXPECT_EQ(t.value("b", json::array()).size(), 4 * s.bombs.size());
        EXPECT_EQ(t.value("d", json::array()).size(), 2 * s.deaths.size());
        EXPECT_EQ(t.value("c", json::array()).size(), s.chat.size());
      }
    }
    EXPECT_EQ(next, ticks.size());
  }
}

TEST(ReplayPage, ClientTextCannotCloseTheDataScript) {
  arena::ReplayData data;
  arena::Snapshot s;
  s.rows = {"..."};
  s.players = {{0, "</script><script>alert(1)</script>", 0, 0, true, 0, ""}};
  s.chat = {{0, "<!-- \xff"}};
  data.Add(s);
  const std::string html = arena::ReplayPageHtml(data.Finish());
  const std::string open = R"(<script id="recording" type="application/json">)";
  const std::size_t begin = html.find(open) + open.size();
  const std::size_t end = html.find("</script>", begin);
  ASSERT_NE(html.find(open), std::string::npos);
  EXPECT_EQ(html.find('<', begin), end);
  const json back = json::parse(html.substr(begin, end - begin));
  EXPECT_EQ(back["rounds"][0]["names"][0][1], s.players[0].name);
  EXPECT_EQ(back["rounds"][0]["ticks"][0]["c"][0][1], "<!-- \xef\xbf\xbd");
}

}  // namespace
