// A tournament's schedule: which bots sit in which seats of which game on
// which map. Every game follows from the Config and its index alone, so a
// resumed run and every shard agree on it without talking to each other.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace tournament {

struct Bot {
  std::string name;
  std::string command;
  friend bool operator==(const Bot&, const Bot&) = default;
};

// Everything that decides the games; two results files can be joined only
// when theirs are equal.
struct Config {
  std::vector<Bot> bots;
  int games = 0;
  int players = 2;
  std::uint64_t seed = 1;
  std::string size = "15x13";
  double density = 0.6;
  std::string map;  // a fixed map's file, played instead of generated ones
  int maxTicks = 400;
  int tickMs = 5;
  friend bool operator==(const Config&, const Config&) = default;
};

nlohmann::json ToJson(const Config& c);
// Throws nlohmann::json::exception on a missing or mistyped field.
Config ConfigFromJson(const nlohmann::json& j);

struct Game {
  int index = 0;
  std::uint64_t seed = 0;  // the map's: the same for every seat order of it
  std::vector<int> seats;  // bot index in each seat
};

// Each map is played once per rotation of its seats, so the games of one
// map are `players` consecutive indexes.
Game ScheduledGame(const Config& c, int index);
int MapOf(const Config& c, int index);

// The I-th of N slices (I from 1), cut between maps so pairs stay whole.
struct Shard {
  int index = 1;
  int count = 1;
  bool Holds(const Config& c, int game) const { return MapOf(c, game) % count == index - 1; }
};
std::optional<Shard> ParseShard(const std::string& text);

}  // namespace tournament
