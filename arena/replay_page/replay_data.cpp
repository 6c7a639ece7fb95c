#include "replay_page/replay_data.h"

#include <cstddef>

namespace arena {

namespace {

using nlohmann::json;

json PlayerEntry(const SnapshotPlayer& p) {
  return json::array({p.id, p.x, p.y, p.alive ? 1 : 0, p.wins});
}

json RoundHeader(const Snapshot& s) {
  json names = json::array();
  for (const SnapshotPlayer& p : s.players) {
    names.push_back(json::array({p.id, p.name}));
  }
  return {{"round", s.round},
          {"rounds", s.rounds},
          {"map", s.rows},
          {"names", names},
          {"ticks", json::array()}};
}

// Flat [x, y, tile, ...] for every cell that differs from the previous tick.
json TileChanges(const Snapshot& before, const Snapshot& now) {
  json changes = json::array();
  for (std::size_t y = 0; y < now.rows.size(); ++y) {
    const std::string& row = now.rows[y];
    const std::string* old = y < before.rows.size() ? &before.rows[y] : nullptr;
    for (std::size_t x = 0; x < row.size(); ++x) {
      if (old == nullptr || x >= old->size() || (*old)[x] != row[x]) {
        changes.push_back(x);
        changes.push_back(y);
        changes.push_back(std::string(1, row[x]));
      }
    }
  }
  return changes;
}

json PlayerChanges(const Snapshot* before, const Snapshot& now) {
  json changes = json::array();
  for (std::size_t i = 0; i < now.players.size(); ++i) {
    const SnapshotPlayer& p = now.players[i];
    const bool same = before != nullptr && i < before->players.size() &&
                      before->players[i].id == p.id && before->players[i].x == p.x &&
                      before->players[i].y == p.y && before->players[i].alive == p.alive &&
                      before->players[i].wins == p.wins;
    if (!same) {
      changes.push_back(PlayerEntry(p));
    }
  }
  return changes;
}

json TickEntry(const Snapshot* before, const Snapshot& s) {
  json bombs = json::array();
  for (const SnapshotBomb& b : s.bombs) {
    bombs.insert(bombs.end(), {b.owner, b.x, b.y, b.timer});
  }
  json blasts = json::array();
  for (const SnapshotCell& c : s.blasts) {
    blasts.insert(blasts.end(), {c.x, c.y});
  }
  json deaths = json::array();
  for (const SnapshotDeath& d : s.deaths) {
    deaths.insert(deaths.end(), {d.victim, d.killer});
  }
  json chat = json::array();
  for (const SnapshotChat& c : s.chat) {
    chat.push_back(json::array({c.id, c.text}));
  }
  json entry = {{"t", s.tick}, {"p", PlayerChanges(before, s)}};
  // Empty fields are left out: most ticks of a big game change little.
  const std::pair<const char*, json*> optional[] = {
      {"b", &bombs}, {"x", &blasts}, {"d", &deaths}, {"c", &chat}};
  for (const auto& [key, value] : optional) {
    if (!value->empty()) {
      entry[key] = std::move(*value);
    }
  }
  if (before != nullptr) {
    json tiles = TileChanges(*before, s);
    if (!tiles.empty()) {
      entry["m"] = std::move(tiles);
    }
  }
  if (s.roundOver) {
    entry["over"] = true;
    entry["winner"] = s.winner;
  }
  return entry;
}

}  // namespace

void ReplayData::Add(const Snapshot& s) {
  // A new round begins where the round number changes; a recording cut short
  // may lack a round's first tick, so the first tick seen stands for it.
  const bool first = !previous_ || previous_->round != s.round;
  if (first) {
    rounds_.push_back(RoundHeader(s));
  }
  rounds_.back()["ticks"].push_back(TickEntry(first ? nullptr : &*previous_, s));
  previous_ = s;
  ++ticks_;
}

json ReplayData::Finish() {
  return {{"rounds", std::move(rounds_)}};
}

}  // namespace arena
