#include "schedule.h"

#include <regex>

namespace tournament {

nlohmann::json ToJson(const Config& c) {
  nlohmann::json bots = nlohmann::json::array();
  for (const Bot& b : c.bots) {
    bots.push_back({{"name", b.name}, {"command", b.command}});
  }
  return {{"bots", bots},   {"games", c.games},        {"players", c.players},
          {"seed", c.seed}, {"size", c.size},          {"density", c.density},
          {"map", c.map},   {"max_ticks", c.maxTicks}, {"tick_ms", c.tickMs}};
}

Config ConfigFromJson(const nlohmann::json& j) {
  Config c;
  for (const nlohmann::json& b : j.at("bots")) {
    c.bots.push_back({b.at("name").get<std::string>(), b.at("command").get<std::string>()});
  }
  c.games = j.at("games").get<int>();
  c.players = j.at("players").get<int>();
  c.seed = j.at("seed").get<std::uint64_t>();
  c.size = j.at("size").get<std::string>();
  c.density = j.at("density").get<double>();
  c.map = j.at("map").get<std::string>();
  c.maxTicks = j.at("max_ticks").get<int>();
  c.tickMs = j.at("tick_ms").get<int>();
  if (c.bots.size() < 2 || c.players < 2 || c.games < 0) {
    throw nlohmann::json::other_error::create(501, "not a tournament's configuration", &j);
  }
  return c;
}

int MapOf(const Config& c, int index) {
  return index / c.players;
}

Game ScheduledGame(const Config& c, int index) {
  const int map = MapOf(c, index);
  const int rotation = index % c.players;
  const int bots = static_cast<int>(c.bots.size());
  // Two seats: every pair of bots in turn. More: the bots take turns filling
  // the seats, starting one further on each map.
  std::vector<int> lineup;
  if (c.players == 2) {
    const int pairs = bots * (bots - 1) / 2;
    int k = map % pairs;
    for (int a = 0; a < bots && lineup.empty(); ++a) {
      if (k < bots - 1 - a) {
        lineup = {a, a + 1 + k};
      }
      k -= bots - 1 - a;
    }
  } else {
    for (int seat = 0; seat < c.players; ++seat) {
      lineup.push_back((map + seat) % bots);
    }
  }
  Game g;
  g.index = index;
  g.seed = c.seed + static_cast<std::uint64_t>(map);
  for (int seat = 0; seat < c.players; ++seat) {
    g.seats.push_back(lineup[static_cast<std::size_t>((seat + rotation) % c.players)]);
  }
  return g;
}

std::optional<Shard> ParseShard(const std::string& text) {
  static const std::regex pattern("([0-9]{1,6})/([0-9]{1,6})");
  std::smatch m;
  if (!std::regex_match(text, m, pattern)) {
    return std::nullopt;
  }
  const Shard s{std::stoi(m[1].str()), std::stoi(m[2].str())};
  if (s.count < 1 || s.index < 1 || s.index > s.count) {
    return std::nullopt;
  }
  return s;
}

}  // namespace tournament
