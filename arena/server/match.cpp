#include "server/match.h"

#include <algorithm>

#include "view/clean_text.h"

namespace arena {

Match::Match(MatchOptions options)
    : options_(std::move(options)),
      rng_(options_.seed),
      standings_(Index(options_.players)),
      connected_(Index(options_.players), true),
      pending_(Index(options_.players), Command::Stay),
      played_(Index(options_.players), Command::Stay) {
  for (int seat = 0; seat < options_.players; ++seat) {
    standings_[Index(seat)].name = "player" + std::to_string(seat);
  }
}

void Match::SetName(int seat, std::string_view name) {
  std::string clean = CleanText(name, kMaxName);
  if (!clean.empty()) {
    standings_[Index(seat)].name = std::move(clean);
  }
}

void Match::StartRound() {
  ++roundNumber_;
  Layout layout = options_.map
                      ? Layout{*options_.map, ChooseSpawns(*options_.map, options_.players)}
                      : GenerateLayout(options_.width, options_.height, options_.players,
                                       options_.density, rng_);
  std::vector<Cell> starts;
  for (int seat = 0; seat < options_.players; ++seat) {
    const auto spawn = Index((seat + roundNumber_ - 1) % options_.players);
    starts.push_back(layout.spawns[spawn % layout.spawns.size()]);
  }
  round_.emplace(std::move(layout.board), starts);
  for (int seat = 0; seat < options_.players; ++seat) {
    if (!connected_[Index(seat)]) {
      round_->Withdraw(seat);
    }
  }
  std::fill(pending_.begin(), pending_.end(), Command::Stay);
  std::fill(played_.begin(), played_.end(), Command::Stay);
  lastOutcome_ = {};
  settled_ = false;
  Settle();
}

void Match::Settle() {
  if (settled_ || !RoundOver()) {
    return;
  }
  settled_ = true;
  if (const auto winner = round_->Winner()) {
    ++standings_[Index(*winner)].wins;
  }
}

void Match::Play(int seat, Command c) {
  ++standings_[Index(seat)].commands;
  pending_[Index(seat)] = c;
}

void Match::Say(int seat, std::string_view text) {
  chat_.push_back(SnapshotChat{seat, CleanText(text, kMaxChat)});
}

void Match::Leave(int seat) {
  if (!connected_[Index(seat)]) {
    return;
  }
  connected_[Index(seat)] = false;
  ++standings_[Index(seat)].disconnects;
  if (round_) {
    round_->Withdraw(seat);
    Settle();
  }
}

TickOutcome Match::Step() {
  played_ = pending_;
  std::fill(pending_.begin(), pending_.end(), Command::Stay);
  lastOutcome_ = round_->Step(played_);
  for (const Death& d : lastOutcome_.deaths) {
    ++standings_[Index(d.victim)].deaths;
    if (d.killer == d.victim) {
      ++standings_[Index(d.victim)].suicides;
    } else {
      ++standings_[Index(d.killer)].kills;
    }
  }
  Settle();
  return lastOutcome_;
}

bool Match::Finished() const {
  const bool anyone = std::find(connected_.begin(), connected_.end(), true) != connected_.end();
  return !anyone || (roundNumber_ >= options_.rounds && RoundOver());
}

bool Match::Alive(int seat) const {
  return round_->Players()[Index(seat)].alive;
}

std::string Match::StatusBlock(int seat) const {
  const Round& r = *round_;
  std::string block = "PLAYERS\n";
  for (const Player& p : r.Players()) {
    if (p.alive && p.id != seat) {
      block +=
          std::to_string(p.id) + " " + std::to_string(p.at.x) + "," + std::to_string(p.at.y) + "\n";
    }
  }
  block += "ENDPLAYERS\nBOMBS\n";
  for (const Bomb& b : r.Bombs()) {
    block += std::to_string(b.at.x) + "," + std::to_string(b.at.y) + " " + std::to_string(b.timer) +
             "\n";
  }
  const Player& self = r.Players()[Index(seat)];
  block += "ENDBOMBS\nX " + std::to_string(self.at.x) + "\nY " + std::to_string(self.at.y) +
           "\nWIDTH " + std::to_string(r.GetBoard().Width()) + "\nHEIGHT " +
           std::to_string(r.GetBoard().Height()) + "\nMAP\n";
  for (const std::string& row : r.GetBoard().Rows()) {
    block += row + "\n";
  }
  block += "ENDMAP\n";
  return block;
}

Snapshot Match::TakeSnapshot() {
  const Round& r = *round_;
  Snapshot s;
  s.round = roundNumber_;
  s.rounds = options_.rounds;
  s.tick = r.Tick();
  s.rows = r.GetBoard().Rows();
  for (const Player& p : r.Players()) {
    const Standing& st = standings_[Index(p.id)];
    s.players.push_back(SnapshotPlayer{p.id, st.name, p.at.x, p.at.y, p.alive, st.wins,
                                       std::string(CommandWord(played_[Index(p.id)]))});
  }
  for (const Bomb& b : r.Bombs()) {
    s.bombs.push_back(SnapshotBomb{b.owner, b.at.x, b.at.y, b.timer});
  }
  for (const Cell c : lastOutcome_.blasts) {
    s.blasts.push_back(SnapshotCell{c.x, c.y});
  }
  for (const Death& d : lastOutcome_.deaths) {
    s.deaths.push_back(SnapshotDeath{d.victim, d.killer});
  }
  s.chat = std::move(chat_);
  chat_.clear();
  s.roundOver = RoundOver();
  s.winner = s.roundOver ? r.Winner().value_or(-1) : -1;
  return s;
}

}  // namespace arena
