// The opt-in deeper decision: iterative deepening over the bot's six commands,
// tick after tick on the look-ahead's own rules (Board, Simulator, PlayTick),
// within a time budget, the players' commands applying in the server's order
// when the bot can tell its own id. Lines in which the bot dies are cut at
// once; positions reached again are looked up. The two opponents that can
// walk to the bot soonest, when they are close, answer its first commands
// with their worst for the bot; the others stand still or step off a blast's
// path, and at the first tick may also drop a bomb where they stand (the
// worse counts). When every command dies against that worst, the lines are
// searched again with opponents that do not answer, and no bomb of the
// bot's own (a drop counts a little less than standing). A line ends as lost at
// a tick from which an opponent's next bomb (dropped where it stands or
// after a short walk) can leave the bot no way out. Leaves put survival
// first, that bomb included, then opponents caught or squeezed, then blocks
// broken, then the way to the nearest opponent. A command that takes the bot
// to a cell it stood on lately costs a little, unless every command is doomed.
//
// The Client owns one Search for the connection when the budget is set. A
// position too big to search one full tick within the budget is left to the
// one-tick look-ahead. Boards are sized when a depth is first reached and
// reused, so a warm Search allocates nothing.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <utility>
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
    // The line expected after the first best command, that command first.
    std::array<Command, kMaxDepth> line{};
    int lineLength = 0;
    // Too big to search: values, cells and line mean nothing, and the
    // one-tick look-ahead decides instead.
    bool tooBig = false;
    // Every command dies if the opponents do their worst: the values are
    // those of the lines searched again with opponents that do not answer.
    bool hopeful = false;
  };

  // Searches at most `maxDepth` ticks deep (1 to kMaxDepth).
  explicit Search(std::chrono::microseconds budget, int maxDepth = kMaxDepth);
  Search(const Search&) = delete;  // the simulators point into the boards
  Search& operator=(const Search&) = delete;

  // Searches `live` as deep as the budget allows. `live`'s block count must
  // be current; it is only read.
  const Decision& Decide(const State& live);

 private:
  using Clock = std::chrono::steady_clock;

  // The opponents that answer the bot's first commands: the one that can
  // reach the bot soonest, for kRivalPlies[0] ticks, and the next, for
  // kRivalPlies[1] (in a crowd either may step into the bot's way out).
  static constexpr int kRivals = 2;
  static constexpr std::array<int, kRivals> kRivalPlies = {2, 1};

  // What the others do in a simulated tick: each rival its own command, the
  // rest stand still (or step off a blast's path) or all drop.
  struct Reply {
    std::array<Command, kRivals> rivals{Command::Stay, Command::Stay};
    bool othersDrop = false;
  };

  // Plays `command` from boards_[ply - 1] (or the live state) into
  // boards_[ply], the others as `reply` says.
  void Play(int ply, Command command, Reply reply);
  // The value of boards_[ply], just played, with `depthLeft` ticks to search;
  // `deadBefore` opponents were dead on the board it was played from.
  // lines_[ply] then holds the best line from there.
  int Value(int ply, int depthLeft, int deadBefore);
  // The worst for the bot of the replies the model allows after `command`
  // from boards_[ply - 1]; lines_[ply] gets the line that follows that reply.
  // Once it is at most `enough` the rest of the replies are not tried: the
  // caller has a command at least as good. `guesses`, if given, gets what
  // the replies that hand the bot a catch are worth (see kGuess); `enough`
  // is then INT_MIN, so that every reply is tried.
  int Worst(int ply, Command command, int depthLeft, int deadBefore, int enough,
            int* guesses = nullptr);
  // The value of the leaf boards_[ply], whose BoardKey is `key`.
  int Leaf(const Board& board, std::uint64_t key, const Player& self, int ply);
  // Iterative deepening from the first depth not yet done until the
  // deadline; false when the position is too big to search.
  bool Deepen(Clock::time_point start);
  // Whether every command dies or ends trapped against the opponents' worst.
  bool Doomed() const;
  bool OutOfTime();
  // Sizes boards_[ply] for the live position's records, once.
  void Prepare(int ply);
  // About what Prepare(ply) will take now.
  std::chrono::nanoseconds PrepareCost(int ply) const;
  // Lists in rivals_ the opponents that move and can reach the bot in the
  // fewest steps, if that is few enough for them to answer its moves.
  void FindRivals(const Board& board, const Player& self);
  // The index in rivals_ of the opponent `id` if it answers at `ply`, or -1.
  int RivalAt(int id, int ply) const;
  // Whether a living opponent stands beside (x, y), not counting a rival
  // whose reply made the position (its worst reply would otherwise be to
  // walk up beside the bot, and the search shows what it can do from there).
  bool Crowded(const Board& board, int x, int y, int ply, bool leaf) const;
  bool StandsStill(int id) const;  // whether still_ lists the opponent `id`
  // Whether the model moves the opponent `id` as it might: it answers,
  // flees or stands still by choice. Any other stands where it is, in its
  // own blast too, so its death is the model's and no catch.
  bool Modelled(int id) const;
  // How many of the last kTrail decisions of this round found the bot on (x, y).
  int Stale(int x, int y) const;
  // Lists in fleeing_ the nearest opponents that move, which the model lets
  // step off a blast's path when it does not search their commands.
  void ChooseFleeing(const State& live, const Player& self);
  // Notes who moved since the last decision, and where the bot stands;
  // still_ then lists the opponents that have stood on one cell long enough
  // (see kStillTicks).
  void Watch(const State& live, const Player& self);
  // The bot's id, guessed from the first block of a round: the server
  // numbers the players from 0, so it is the one id missing from the list,
  // if just one is. kUnknownId otherwise, and when the block holds bombs:
  // then the round began before the bot saw it, and a player already dead
  // is missing from the list too.
  void GuessOwnId(const State& live);
  // Fills order_ with live's players in the order their commands apply:
  // by id, the bot among them at its own id when that is known; else the bot
  // last, which lets every opponent win a race for a cell.
  void Order(const State& live);

  std::chrono::microseconds budget_;
  int maxDepth_;
  const State* live_ = nullptr;
  std::vector<Board> boards_;  // boards_[ply]: the position after ply ticks
  std::vector<Simulator> simulators_;
  std::vector<std::size_t> sizedFor_;  // per board: the live records it has room for
  // lines_[ply]: the bot's commands of the best line from boards_[ply].
  std::array<std::array<Command, kMaxDepth>, kMaxDepth + 1> lines_{};
  std::array<int, kMaxDepth + 1> lineLengths_{};
  // Per opponent listed at the last decision of this round: where it stood,
  // for how long, and whether it has moved at all.
  struct Seen {
    int id;
    int x;
    int y;
    int ticks;
    bool moved;
  };
  std::vector<Seen> seen_;
  std::vector<Seen> watched_;  // Watch's storage for the next seen_
  static constexpr int kUnknownId = -1;
  int ownId_ = kUnknownId;
  std::vector<std::uint8_t> listed_;  // GuessOwnId's storage: per id, whether listed
  std::vector<Player> order_;
  std::vector<int> still_;
  std::vector<int> fleeing_;
  // Only an opponent that can walk to the bot in this many steps is a rival.
  static constexpr int kRivalReach = 6;
  static constexpr int kWalkSide = 2 * kRivalReach + 1;
  // FindRivals' storage: the opponents near enough, and a walk over the
  // cells within kRivalReach steps of the bot.
  struct Step {
    int x;
    int y;
    int steps;
  };
  std::vector<const Player*> near_;
  std::array<Step, kWalkSide * kWalkSide> walkQueue_{};
  std::array<std::uint16_t, kWalkSide * kWalkSide> walked_{};
  std::uint16_t walkStamp_ = 0;
  std::vector<std::pair<long long, int>> ranked_;  // steps, id: ChooseFleeing's storage
  int lastTick_ = 0;
  static constexpr int kTrail = 16;
  std::array<std::pair<int, int>, kTrail> trail_{};  // the bot's cells, a ring
  int trailNext_ = 0;
  int trailKept_ = 0;                  // cells noted this round, kTrail at most
  std::array<int, kRivals> rivals_{};  // ids, the nearest first
  int rivalCount_ = 0;
  // Searching again with opponents that do not answer: see Decide.
  bool hopeful_ = false;
  Clock::duration firstDepthTime_{};
  bool othersMayDrop_ = false;
  TranspositionTable table_;
  KeyedTable<Outlook> outlooks_;  // per BoardKey, what a leaf's Look found
  TargetMap targets_;
  OutlookFinder outlook_;
  Clock::time_point deadline_;
  bool stopped_ = false;
  std::uint32_t sinceClock_ = 0;
  Decision decision_;
};
