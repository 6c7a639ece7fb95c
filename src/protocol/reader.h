// Reads one status block from the server into the live State: the players
// and bombs sections, the bot's position, the map size and the map rows, plus
// the death and round-end lines that may come between them.
//
// The turn loop makes one Reader for the whole connection; it points at the
// Client's Network and State and keeps nothing else between calls.
#pragma once

#include <ostream>
#include <string_view>
#include <vector>

#include "protocol/network.h"
#include "state/state.h"

class Reader {
 public:
  // "DEAD" and "ENDOFROUND" are echoed to `log`.
  Reader(Network* network, State* state, std::ostream& log)
      : network(network), state(state), log(&log) {}

  // True once a block has been read up to the end of its map; false when the
  // connection ends outside the players, bombs and map sections.
  bool ReadStatus();

  // Whether a whole newer block, through its "ENDMAP" line, has already
  // arrived: what ReadStatus would read next without waiting. Lines it
  // ignores, "DEAD", a partial line, the end of the connection and a block
  // longer than the read-ahead never count; a "DISCONNECT" line before the
  // block's end means there is none.
  bool NewerBlockWaiting();

 private:
  void ReadPlayers();
  void ReadBombs();
  void ReadMap();

  Network* network;
  State* state;
  std::ostream* log;
  // Reused from line to line so that reading allocates nothing.
  std::vector<std::string_view> words;
  std::vector<std::string_view> coordinates;
};
