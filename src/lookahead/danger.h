// The dangers of the look-ahead: after the simulated tick, where and in how
// many ticks blasts are expected, from the bombs that remain and from the
// bomb every opponent without one could drop now. The look-ahead owns one
// DangerList and refills it for every candidate; its storage is reused, and
// a refill that lists what the last one listed keeps its centres and chain.
#pragma once

#include <vector>

#include "lookahead/board.h"
#include "state/cell_index.h"

// One expected blast centre.
struct Danger {
  int x = 0;
  int y = 0;
  int time = 0;  // ticks until the blast; negative: it went off this tick

  bool operator==(const Danger&) const = default;
};

class DangerList {
 public:
  // Danger of a cell no cross covers: no blast expected.
  static constexpr int kNone = 7;

  // Every bomb (gone ones too) in list order, then every opponent that owns no
  // live bomb, dead or alive, as a bomb it could drop now.
  void List(const Board& board);

  void Clear();
  void Add(const Danger& danger);

  // Dangers within blast reach of each other take the earliest time among them.
  void Chain();

  // The time of the last danger in list order whose cross (its cell and two
  // cells each way along both axes) covers (x, y), or kNone.
  int At(int x, int y) const;
  // At of (x, y) and of its neighbours up, down, left and right, in that
  // order, in one pass over the dangers.
  void Around(int x, int y, int (&times)[5]) const;

  const std::vector<Danger>& Items() const { return dangers_; }

 private:
  // All the dangers on one centre cell: the last of them in list order, and
  // the lowest time the chain pass has handed to the cell so far.
  struct Centre {
    int x;
    int y;
    int last;
    int cap;
  };

  // Empties the centres and their index.
  void ForgetCentres();
  // The centre on (x, y), or -1.
  int FindCentre(int x, int y) const;
  // Puts dangers_[index], the last listed so far, on its centre.
  void AddCentre(std::size_t index);

  std::vector<Danger> dangers_;

  std::vector<int> centreOf_;  // per danger: index into centres_
  std::vector<Centre> centres_;
  // cell -> index into centres_, filled only once there are too many centres
  // to scan (indexed_).
  CellIndex centreCells_;
  bool indexed_ = false;
  // The centres in reach of each centre, those of centre c from
  // reachStart_[c] to reachStart_[c + 1].
  std::vector<int> reach_;
  std::vector<int> reachStart_;
  // The list the centres were made for by List (listed_: and nothing added
  // since), and the list the last Chain started from and the times it gave.
  std::vector<Danger> listedFrom_;
  bool listed_ = false;
  std::vector<Danger> chainedFrom_;
  std::vector<int> chainedTimes_;
};
