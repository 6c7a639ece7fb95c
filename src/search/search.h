// The opt-in deeper decision: iterative deepening over the bot's six commands,
// tick after tick on the look-ahead's own rules (Board, Simulator, PlayTick),
// within a time budget. Lines in which the bot dies are cut at once; positions
// reached again are looked up; opponents stand still, and at the first tick
// may also drop a bomb where they stand (the worse of the two counts). Leaves
// put survival first, then opponents caught, then blocks broken, then the way
// to the nearest opponent.
//
// The Client owns one Search for the connection when the budget is set; all of
// its storage is sized on the first decisions and reused, so a warm Search
// allocates nothing.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

#include "lookahead/board.h"
#include "lookahead/simulator.h"
#include "search/outlook.h"
#include "search/target_map.h"
#include "search/transposition.h"
#include "state/state.h"

class Search {
 public:
  static constexpr int kCommands = 6;
  static constexpr int kMaxDepth = 32;
  // The value of a line in which the bot dies at the first tick; a later
  // death is worth a little more, and every other line far more.
  static constexpr int kDeath = -1000000;

  struct Decision {
    std::array<int, kCommands> values{};  // per command, Stay to DropBomb
    std::array<int, kCommands> x{};       // the bot's cell after the command's tick
    std::array<int, kCommands> y{};
    int depth = 0;            // ticks deep the last full search looked
    std::uint64_t ticks = 0;  // ticks simulated for this decision
  };

  explicit Search(std::chrono::microseconds budget);
  Search(const Search&) = delete;  // the simulators point into the boards
  Search& operator=(const Search&) = delete;

  // Searches `live` as deep as the budget allows. `live`'s block count must
  // be current; it is only read.
  const Decision& Decide(const State& live);

 private:
  using Clock = std::chrono::steady_clock;

  // Plays `command` from boards_[ply - 1] (or the live state) into
  // boards_[ply]; the others stand still unless `othersDrop`.
  void Play(int ply, Command command, bool othersDrop);
  // The value of boards_[ply], just played, with `depthLeft` ticks to search;
  // `deadBefore` opponents were dead on the board it was played from.
  int Value(int ply, int depthLeft, int deadBefore);
  int Leaf(const Board& board, const Player& self, int ply);
  bool OutOfTime();

  std::chrono::microseconds budget_;
  const State* live_ = nullptr;
  std::vector<Board> boards_;  // boards_[ply]: the position after ply ticks
  std::vector<Simulator> simulators_;
  TranspositionTable table_;
  TargetMap targets_;
  OutlookFinder outlook_;
  Clock::time_point deadline_;
  std::size_t warmFor_ = 0;  // the most records the boards have been sized for
  bool stopped_ = false;
  std::uint32_t sinceClock_ = 0;
  Decision decision_;
};
