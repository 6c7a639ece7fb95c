// What the bombs still ticking at a leaf of the search will do once the
// horizon is passed: whether the bot can still get clear of every blast that
// reaches it, an opponent's next bomb included, and what the blasts do to
// the opponents. Reads the Board only; the Search owns one and reuses its
// storage at every leaf.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "lookahead/board.h"
#include "search/target_map.h"

struct Outlook {
  bool trapped = false;    // no way of moves or waits outlives the blasts
  int blocks = 0;          // blocks the bot's own bomb will break
  int blocksOnTheWay = 0;  // of them, those that shorten its way to the fight
  int ownBlast = 0;        // the tick, from now, of the own bomb's blast (7 at most)
  int flight = 0;          // ticks the bot will yet stand in a blast's path
  int victims = 0;         // opponents the blasts leave no way out
  int squeeze = 0;         // how few ways out the blasts leave the others
};

class OutlookFinder {
 public:
  // An opponent left this many cells to flee to, or fewer, is squeezed.
  static constexpr int kTight = 3;

  // `still` lists the opponents that have not moved for a while: one that
  // stands in the bot's own blast counts as caught, whatever ways out it has.
  // A `wary` bot's way out must also outlive the opponents' next bombs and
  // keep off the cells beside them; a bomb may also be dropped after a walk
  // of up to kWalk steps, into the bot's blast's way or onto its way out.
  Outlook Look(const Board& board, const Player& self, const TargetMap& targets,
               const std::vector<int>& still, bool wary = true);
  // Whether an opponent's next bomb can leave the bot no way out, where the
  // bombs on the board alone leave it one: the trapped of a wary Look.
  bool ShutIn(const Board& board, const Player& self, const std::vector<int>& still);

 private:
  static constexpr int kRadius = 7;  // no blast further off can be outrun or reached in time
  static constexpr int kSide = 2 * kRadius + 1;
  static constexpr int kMostBombs = 64;
  // An opponent holding no live bomb may drop one on the next tick; it
  // blasts this many ticks from now.
  static constexpr int kNextDrop = 6;
  // The steps an opponent may take before it drops its next bomb: enough
  // to reach the mouth of a pocket the bot stands in.
  static constexpr int kWalk = 4;
  // An opponent whose bombs are all gone within this many ticks may walk
  // to drop its next. Allowed 4 or 5, the check condemns a column between
  // two opponents on fresh bombs that the bot can leave.
  static constexpr int kGoneSoon = 3;

  struct Near {
    int x;
    int y;
    int time;  // the tick, from now, of its blast
    int owner;
  };
  using Window = std::array<std::uint8_t, kSide * kSide>;
  // A window cell the mover may not step onto from tick `from` on: where an
  // opponent drops a bomb.
  struct Obstacle {
    int cell;  // -1: none
    int from;
  };
  struct Drop {
    int cell;
    int steps;  // the steps walked before it
  };

  // Whether (x, y) is near enough to the bot for a bomb there to matter.
  static bool InReach(const Player& self, int x, int y);
  // Centres the window on the bot, lists in near_ the bombs InReach with the
  // time of their blasts, chains included, and marks them in blastAt_;
  // returns the latest tick marked.
  int Blasts(const Board& board, const Player& self);
  // Whether no way of moves or waits outlives the blasts of blastAt_
  // (marked up to tick `last`) and, for a `wary` bot, the opponents' next
  // bombs (those of `still` dropped only where they stand); adds those
  // bombs to near_.
  bool Trapped(const Board& board, const Player& self, const std::vector<int>& still, int last,
               bool wary);
  // Runs the cells of `bomb`'s cross, distance 0 first, stopping each arm as
  // a blast would; `visit(x, y)` sees every cell reached.
  template <typename Visit>
  void Cross(const Board& board, const Near& bomb, Visit visit) const;
  int Local(int x, int y) const;  // index into the window, or -1
  int CellX(int cell) const;      // the map's x of a window cell
  int CellY(int cell) const;
  // Lowers the time of each of near_[from, count_) to the earliest blast of
  // them that reaches it.
  void Chain(const Board& board, int from);
  // Lowers the time of each of near_[from, count_) that `source`'s blast
  // reaches to `source`'s.
  void SetOff(const Board& board, const Near& source, int from);
  // Marks in `at` bit t of every window cell the blast of near_[i] lands on
  // at tick t, for i in [from, count_); returns the latest such tick.
  int Mark(const Board& board, int from, Window& at) const;
  // Marks in opensAt_ the cells that the blasts of near_[0, count_) clear:
  // their bombs' cells, and the blocks they break.
  void Open(const Board& board);
  // Where `mover` can be at each tick up to `last` as the blasts of `at`
  // land: 0 when no way of moves or waits outlives them. When `counting`,
  // how many cells it can stand on once they have passed (kSide * kSide
  // when it leaves the window); otherwise the first tick at which it can
  // stand where no blast of `at` lands later, and no further search. A wary
  // mover does not count on cells beside an opponent, who might step there
  // first.
  int Ways(const Board& board, const Player& mover, const Window& at, int last, bool wary,
           bool counting, Obstacle obstacle = {-1, 0});
  // Whether some opponent not listed in `still` can walk to a cell and drop
  // a bomb there that leaves the bot, on `home`, no way out of it and the
  // blasts of blastAt_ (marked up to tick `last`); near_[0, bombs) are the
  // bombs on the board. One holding a live bomb drops once it is gone.
  bool ShutInByAWalk(const Board& board, const Player& self, const std::vector<int>& still,
                     int home, int last, int bombs);
  // NewWalk clears the walk's marks; Start adds `walker`'s cell to the walk
  // as drops_[count], unless a walker stands there already, and returns the
  // new count.
  void NewWalk();
  int Start(const Player& walker, int count);
  // Whether a bomb dropped after a walk from drops_[0, count), from tick
  // `ready` on, shuts the bot in.
  bool DropsAfterAWalk(const Board& board, const Player& self, int home, int last, int count,
                       int ready);
  // The first tick at which player `id` may stand waiting to drop its next
  // bomb, the last of its bombs gone: chains included where near_[0, bombs)
  // holds them.
  int Ready(const Board& board, const Player& self, int id, int bombs) const;
  // A cell the bot can count on stepping onto: clear, and no other player
  // beside it.
  static bool Free(const Board& board, const Player& mover, int x, int y);
  // Free or, when not `wary`, clear at tick `tick`; `cell` is (x, y)'s
  // window index, and what a cell of the window holds is worked out once a
  // Look.
  bool Passable(const Board& board, const Player& mover, int x, int y, int cell, bool wary,
                int tick);

  std::array<Near, kMostBombs> near_{};
  int count_ = 0;
  int centreX_ = 0;  // the window is centred on the bot
  int centreY_ = 0;
  Window blastAt_{};   // bit t: a blast t ticks from now, of the bombs on the board
  Window threatAt_{};  // the same with the opponents' next bombs
  // The tick from which a cell that a blast of the bombs on the board clears
  // may be stepped onto; 0: never cleared, kNever: cleared past the horizon.
  static constexpr std::uint8_t kNever = 0xff;
  Window opensAt_{};
  std::array<int, kSide * kSide> reached_{};
  std::array<int, kSide * kSide> next_{};
  std::array<std::uint16_t, kSide * kSide> mark_{};
  std::array<Drop, kSide * kSide> drops_{};  // ShutInByAWalk's walk, in order of steps
  Window dropAt_{};
  std::uint16_t stamp_ = 0;
  struct Passage {
    std::uint16_t stamp;
    bool clear;
    int beside;  // cells beside it that hold a player; -1: not yet counted
  };
  std::array<Passage, kSide * kSide> passages_{};
  std::uint16_t lookStamp_ = 0;
};
