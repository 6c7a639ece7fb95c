#include "replay_page/decision_data.h"

#include <cstdlib>

namespace arena {

namespace {

using nlohmann::json;

// The other five cells relative to the Stay cell, or empty when one is more
// than a step away.
std::string CellLetters(const Decision& d) {
  std::string letters;
  const Candidate& stay = d.candidates[0];
  for (std::size_t i = 1; i < d.candidates.size(); ++i) {
    const int dx = d.candidates[i].x - stay.x;
    const int dy = d.candidates[i].y - stay.y;
    if (std::abs(dx) > 1 || std::abs(dy) > 1) {
      return "";
    }
    letters += static_cast<char>('a' + 3 * (dx + 1) + dy + 1);
  }
  return letters;
}

std::string Cells(const Decision& d) {
  std::string cells = CellLetters(d);
  if (!cells.empty()) {
    return cells;
  }
  for (std::size_t i = 1; i < d.candidates.size(); ++i) {
    cells += (i > 1 ? "." : "") + std::to_string(d.candidates[i].x) + "." +
             std::to_string(d.candidates[i].y);
  }
  return cells;
}

// Everything but the time, which changes every tick.
std::string Body(const Decision& d) {
  std::string text =
      std::to_string(d.candidates[0].x) + "," + std::to_string(d.candidates[0].y) + "," + Cells(d);
  // Candidates often score alike, so all but Stay's value are differences.
  const std::int64_t stay = d.candidates[0].value;
  text += "," + std::to_string(stay);
  for (std::size_t i = 1; i < d.candidates.size(); ++i) {
    text += "," + std::to_string(d.candidates[i].value - stay);
  }
  return text + "," + std::to_string(d.chosen);
}

std::string SearchPart(const Decision& d) {
  if (!d.searched) {
    return "";
  }
  std::string line;
  for (const int command : d.line) {
    line += static_cast<char>('0' + command);
  }
  return "," + std::to_string(d.depth) + "," + std::to_string(d.searchedTicks) + "," + line +
         (d.tooBig ? ",1" : ",0");
}

}  // namespace

std::string EncodeRound(const std::map<int, Decision>& round, const std::vector<SeatTick>& ticks,
                        int& mismatched) {
  std::string out;
  std::string previous;  // the last full token's body and search part
  for (const SeatTick& tick : ticks) {
    if (!out.empty()) {
      out += ' ';
    }
    const auto it = round.find(tick.tick + 1);
    if (it == round.end()) {
      out += '-';
      continue;
    }
    const Decision& d = it->second;
    const bool there = tick.placed && d.candidates[0].x == tick.x && d.candidates[0].y == tick.y;
    if (d.known && !there) {
      ++mismatched;
    }
    if (!d.known || !there) {
      out += '?';
      continue;
    }
    const std::string body = Body(d);
    const std::string search = SearchPart(d);
    if (body + search == previous) {
      out += "=" + std::to_string(d.micros);
    } else {
      out += body + "," + std::to_string(d.micros) + search;
      previous = body + search;
    }
  }
  return out;
}

std::vector<int> AddDecisions(json& data, const std::vector<SeatDecisions>& seats) {
  static constexpr const char* kSource[] = {"", "bot", "other", "missing"};
  json sources = json::array();
  for (const SeatDecisions& s : seats) {
    sources.push_back(kSource[static_cast<int>(s.source)]);
  }
  data["seats"] = std::move(sources);
  std::vector<int> mismatched(seats.size(), 0);
  for (json& round : data.at("rounds")) {
    const auto index = round.at("round").get<std::size_t>() - 1;
    // Each seat's cell tick by tick, from the players that changed.
    std::vector<std::vector<SeatTick>> shown(seats.size());
    std::vector<SeatTick> now(seats.size());
    for (const json& t : round.at("ticks")) {
      for (const json& p : t.at("p")) {
        const auto id = p.at(0).get<std::size_t>();
        if (id < now.size()) {
          now[id] = {0, p.at(1).get<int>(), p.at(2).get<int>(), true};
        }
      }
      for (std::size_t seat = 0; seat < seats.size(); ++seat) {
        shown[seat].push_back(now[seat]);
        shown[seat].back().tick = t.at("t").get<int>();
      }
    }
    json why = json::array();
    for (std::size_t seat = 0; seat < seats.size(); ++seat) {
      const SeatDecisions& s = seats[seat];
      const bool logged = s.source == SeatDecisions::Source::Bot && index < s.log.rounds.size();
      why.push_back(logged ? json(EncodeRound(s.log.rounds[index], shown[seat], mismatched[seat]))
                           : json());
    }
    round["why"] = std::move(why);
  }
  return mismatched;
}

}  // namespace arena
