#include "recording/round_record.h"

namespace arena {

nlohmann::json ToJson(const RoundOutcome& r) {
  nlohmann::json seats = nlohmann::json::array();
  for (const SeatResult& s : r.seats) {
    nlohmann::json j = {{"name", s.name},
                        {"end", s.end},
                        {"kills", s.kills},
                        {"commands", s.commands},
                        {"disconnects", s.disconnects}};
    if (!s.command.empty()) {
      j["command"] = s.command;
    }
    if (s.end != "survived") {
      j["tick"] = s.tick;
    }
    if (s.end == "killed") {
      j["killer"] = s.killer;
    }
    if (s.exit) {
      j["exit"] = *s.exit;
    }
    if (s.signal) {
      j["signal"] = *s.signal;
    }
    seats.push_back(std::move(j));
  }
  return {{"round", r.round}, {"seed", r.seed}, {"seats", std::move(seats)}};
}

std::string JsonLine(const nlohmann::json& j) {
  return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

RoundOutcome RoundOutcomeFromJson(const nlohmann::json& j) {
  RoundOutcome r;
  r.round = j.at("round").get<int>();
  r.seed = j.at("seed").get<std::uint64_t>();
  for (const nlohmann::json& s : j.at("seats")) {
    SeatResult seat;
    seat.name = s.at("name").get<std::string>();
    seat.command = s.value("command", "");
    seat.end = s.at("end").get<std::string>();
    if (seat.end != "survived" && seat.end != "suicide" && seat.end != "killed" &&
        seat.end != "left") {
      throw nlohmann::json::other_error::create(501, "unknown end: " + seat.end, &s);
    }
    if (seat.end != "survived") {
      seat.tick = s.at("tick").get<int>();
    }
    if (seat.end == "killed") {
      seat.killer = s.at("killer").get<int>();
    }
    seat.kills = s.at("kills").get<int>();
    seat.commands = s.at("commands").get<int>();
    seat.disconnects = s.at("disconnects").get<int>();
    if (s.contains("exit")) {
      seat.exit = s.at("exit").get<int>();
    }
    if (s.contains("signal")) {
      seat.signal = s.at("signal").get<int>();
    }
    r.seats.push_back(std::move(seat));
  }
  return r;
}

std::optional<RoundOutcome> RoundTracker::See(const Snapshot& s,
                                             const std::vector<Standing>& standings) {
  if (s.round != round_) {
    round_ = s.round;
    reported_ = false;
    atStart_ = standings;
    seats_.assign(standings.size(), SeatResult{});
  }
  // The snapshot that closes a round by leaving repeats the previous tick's
  // deaths, so only a seat's first end counts.
  for (const SnapshotDeath& d : s.deaths) {
    SeatResult& seat = seats_[static_cast<std::size_t>(d.victim)];
    if (seat.end == "survived") {
      seat.end = d.victim == d.killer ? "suicide" : "killed";
      seat.tick = s.tick;
      seat.killer = d.victim == d.killer ? -1 : d.killer;
    }
  }
  for (const SnapshotPlayer& p : s.players) {
    SeatResult& seat = seats_[static_cast<std::size_t>(p.id)];
    if (!p.alive && seat.end == "survived") {
      seat.end = "left";
      seat.tick = s.tick;
    }
  }
  if (!s.roundOver || reported_) {
    return std::nullopt;
  }
  reported_ = true;
  RoundOutcome r{s.round, seed_, seats_};
  for (std::size_t i = 0; i < r.seats.size() && i < standings.size(); ++i) {
    SeatResult& seat = r.seats[i];
    seat.name = standings[i].name;
    seat.kills = standings[i].kills - atStart_[i].kills;
    seat.commands = standings[i].commands - atStart_[i].commands;
    seat.disconnects = standings[i].disconnects - atStart_[i].disconnects;
  }
  return r;
}

}  // namespace arena
