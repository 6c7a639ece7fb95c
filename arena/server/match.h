// A whole match: the seats, the rounds one after another, the commands and
// chat the clients sent, and the standings. Owns the current Round; knows
// nothing of sockets, so the Server feeds it what arrives and sends what it
// builds.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "rules/board.h"
#include "rules/round.h"
#include "view/snapshot.h"

namespace arena {

struct MatchOptions {
  int players = 4;
  int rounds = 3;
  int maxTicks = 400;
  int width = 15;
  int height = 13;
  double density = 0.6;
  std::uint64_t seed = 1;
  std::optional<Board> map;  // played every round instead of a generated one
};

inline constexpr std::size_t kMaxChat = 100;
inline constexpr std::size_t kMaxName = 32;

class Match {
 public:
  explicit Match(MatchOptions options);

  void SetName(int seat, std::string_view name);
  // Builds the next round; seats rotate over the spawns from round to round.
  void StartRound();
  // The last command a seat sends before Step is the one played.
  void Play(int seat, Command c);
  void Say(int seat, std::string_view text);
  void Ignore(int seat) { ++standings_[Index(seat)].ignored; }
  // The seat's client has gone: its player leaves the round and later ones.
  void Leave(int seat);

  // One tick of the current round.
  TickOutcome Step();

  bool RoundOver() const { return round_->Over(options_.maxTicks); }
  // The last round is over, or no client is left to play.
  bool Finished() const;
  bool Alive(int seat) const;
  bool Connected(int seat) const { return connected_[Index(seat)]; }
  int Seats() const { return options_.players; }

  // The status block the seat's client gets for the current tick.
  std::string StatusBlock(int seat) const;
  // The current tick as the view and the recording see it; hands over the
  // chat said since the previous snapshot.
  Snapshot TakeSnapshot();
  const std::vector<Standing>& Standings() const { return standings_; }

 private:
  static std::size_t Index(int seat) { return static_cast<std::size_t>(seat); }
  // Credits the winner once the round is over, however it ended: by a tick,
  // or by clients leaving between ticks.
  void Settle();

  MatchOptions options_;
  std::mt19937_64 rng_;
  std::optional<Round> round_;
  int roundNumber_ = 0;
  std::vector<Standing> standings_;
  std::vector<bool> connected_;
  std::vector<Command> pending_;
  std::vector<Command> played_;
  bool settled_ = false;
  TickOutcome lastOutcome_;
  std::vector<SnapshotChat> chat_;
};

}  // namespace arena
