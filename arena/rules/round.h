// One round of the game: the board, the players and the bombs, advanced one
// tick at a time by Step. Knows nothing of names, sockets or time; the Match
// owns the Round and feeds it the commands its clients sent.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "rules/board.h"
#include "rules/command.h"

namespace arena {

inline constexpr int kBombTimer = 6;
inline constexpr int kBlastReach = 2;

struct Player {
  int id = 0;
  Cell at;
  bool alive = true;
};

struct Bomb {
  int owner = 0;
  Cell at;
  int timer = kBombTimer;
};

// `killer` is the owner of the bomb whose blast reached the victim; a player
// killed by its own bomb has killer == victim.
struct Death {
  int victim = 0;
  int killer = 0;
  friend bool operator==(const Death&, const Death&) = default;
};

struct TickOutcome {
  std::vector<Death> deaths;
  std::vector<Cell> blasts;  // every cell a blast covered this tick, once each
};

class Round {
 public:
  // Player i starts on starts[i] with id i.
  Round(Board board, const std::vector<Cell>& starts);
  // A round already under way, as a client sees it: players[i] has id i, the
  // bombs are in placement order with their timers as sent.
  Round(Board board, std::vector<Player> players, std::vector<Bomb> bombs)
      : board_(std::move(board)), players_(std::move(players)), bombs_(std::move(bombs)) {}

  // One tick. commands[id] is that player's command; missing ones stay.
  TickOutcome Step(const std::vector<Command>& commands);
  // A player whose client left: out of the round, with no death recorded.
  void Withdraw(int id);

  bool Over(int maxTicks) const { return AliveCount() <= 1 || tick_ >= maxTicks; }
  // The lone survivor, if exactly one player is alive.
  std::optional<int> Winner() const;
  int AliveCount() const;

  int Tick() const { return tick_; }
  const Board& GetBoard() const { return board_; }
  const std::vector<Player>& Players() const { return players_; }
  const std::vector<Bomb>& Bombs() const { return bombs_; }

 private:
  void Act(Player& p, Command c);
  void Explode(std::size_t bomb, TickOutcome& out);
  // Returns false when the arm stops at this cell.
  bool Cover(Cell c, int owner, TickOutcome& out);
  bool PlayerAt(Cell c) const;
  bool BombAt(Cell c) const;

  Board board_;
  std::vector<Player> players_;
  std::vector<Bomb> bombs_;  // in placement order; timer 0 marks one that exploded
  int tick_ = 0;
};

}  // namespace arena
