// The one object of a bot's run: its connection, the live game state and the
// taunts, and the turn loop that ties reading, look-ahead and answering
// together. Bot owns it on its stack from connect to teardown; the parts are
// built in declaration order and torn down in reverse.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "driver/insulter.h"
#include "lookahead/look_ahead.h"
#include "protocol/network.h"
#include "search/search.h"
#include "state/state.h"

class Client {
 public:
  static constexpr std::string_view kName = "Marrowlark";

  // Connects to address:54321 and prints the three start-up lines to `out`.
  Client(std::uint32_t address, std::ostream& out);
  // Plays on a socket that is already connected.
  Client(platform::SocketHandle socket, std::ostream& out);

  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  // Empty when connected, else the system's reason the connect failed.
  const std::string& ConnectError() const { return network.ConnectError(); }

  // From now on each tick is decided by a search of up to `budget`, not by
  // the one-tick look-ahead.
  void UseSearch(std::chrono::microseconds budget);

  // Plays every tick the server sends, until the connection ends.
  void Run();

  // The score of playing `command` now, one tick ahead; prints its line.
  int TestCommand(Command command);

 private:
  // Sizes `said` for the longest taunt line before the first tick.
  void ReserveTaunt();
  // Scores every candidate, prints their lines, and returns the score a
  // candidate must beat to be chosen.
  int Score(std::array<int, 6>& scores);
  void Answer(Command chosen, int score);
  void Say(const std::vector<std::string>& lines);

  std::ostream* out;
  Network network;
  State state;
  Insulter insulter;
  // Reused every tick, so the turn loop allocates nothing once warm.
  LookAhead lookAhead;
  std::unique_ptr<Search> search;  // only when asked for
  std::string said;
};
