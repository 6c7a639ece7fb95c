#include "recording/snapshot_json.h"

namespace arena {

using nlohmann::json;

json ToJson(const Snapshot& s) {
  json players = json::array();
  for (const SnapshotPlayer& p : s.players) {
    players.push_back({{"id", p.id},
                       {"name", p.name},
                       {"x", p.x},
                       {"y", p.y},
                       {"alive", p.alive},
                       {"wins", p.wins},
                       {"command", p.command}});
  }
  json bombs = json::array();
  for (const SnapshotBomb& b : s.bombs) {
    bombs.push_back({{"owner", b.owner}, {"x", b.x}, {"y", b.y}, {"timer", b.timer}});
  }
  json blasts = json::array();
  for (const SnapshotCell& c : s.blasts) {
    blasts.push_back({c.x, c.y});
  }
  json deaths = json::array();
  for (const SnapshotDeath& d : s.deaths) {
    deaths.push_back({{"victim", d.victim},
                      {"killer", d.killer},
                      {"cause", d.killer == d.victim ? "suicide" : "bomb"}});
  }
  json chat = json::array();
  for (const SnapshotChat& c : s.chat) {
    chat.push_back({{"id", c.id}, {"text", c.text}});
  }
  return {{"round", s.round},   {"rounds", s.rounds},
          {"tick", s.tick},     {"map", s.rows},
          {"players", players}, {"bombs", bombs},
          {"blasts", blasts},   {"deaths", deaths},
          {"chat", chat},       {"round_over", s.roundOver},
          {"winner", s.winner}};
}

json ToJson(const std::vector<Standing>& standings) {
  json rows = json::array();
  for (const Standing& st : standings) {
    rows.push_back({{"name", st.name},
                    {"wins", st.wins},
                    {"kills", st.kills},
                    {"deaths", st.deaths},
                    {"suicides", st.suicides},
                    {"commands", st.commands},
                    {"ignored", st.ignored},
                    {"disconnects", st.disconnects}});
  }
  return {{"results", rows}};
}

Snapshot SnapshotFromJson(const json& j) {
  Snapshot s;
  s.round = j.at("round").get<int>();
  s.rounds = j.at("rounds").get<int>();
  s.tick = j.at("tick").get<int>();
  s.rows = j.at("map").get<std::vector<std::string>>();
  for (const json& p : j.at("players")) {
    s.players.push_back(SnapshotPlayer{p.at("id").get<int>(), p.at("name").get<std::string>(),
                                       p.at("x").get<int>(), p.at("y").get<int>(),
                                       p.at("alive").get<bool>(), p.at("wins").get<int>(),
                                       p.at("command").get<std::string>()});
  }
  for (const json& b : j.at("bombs")) {
    s.bombs.push_back(SnapshotBomb{b.at("owner").get<int>(), b.at("x").get<int>(),
                                   b.at("y").get<int>(), b.at("timer").get<int>()});
  }
  for (const json& c : j.at("blasts")) {
    s.blasts.push_back(SnapshotCell{c.at(0).get<int>(), c.at(1).get<int>()});
  }
  for (const json& d : j.at("deaths")) {
    s.deaths.push_back(SnapshotDeath{d.at("victim").get<int>(), d.at("killer").get<int>()});
  }
  for (const json& c : j.at("chat")) {
    s.chat.push_back(SnapshotChat{c.at("id").get<int>(), c.at("text").get<std::string>()});
  }
  s.roundOver = j.at("round_over").get<bool>();
  s.winner = j.at("winner").get<int>();
  return s;
}

std::vector<Standing> StandingsFromJson(const json& j) {
  std::vector<Standing> standings;
  for (const json& r : j.at("results")) {
    standings.push_back(Standing{r.at("name").get<std::string>(), r.at("wins").get<int>(),
                                 r.at("kills").get<int>(), r.at("deaths").get<int>(),
                                 r.at("suicides").get<int>(), r.at("commands").get<int>(),
                                 r.at("ignored").get<int>(), r.at("disconnects").get<int>()});
  }
  return standings;
}

}  // namespace arena
