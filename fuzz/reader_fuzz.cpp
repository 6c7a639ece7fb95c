// Fuzz target: arbitrary bytes as the server's stream, through a real socket
// into the line transport and the status reader; after every block the
// look-ahead scores all six commands on the live state, as the turn loop does.
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "block_checks.h"
#include "lookahead/test_command.h"
#include "protocol/network.h"
#include "protocol/reader.h"
#include "stream_model.h"

namespace {

// The look-ahead costs about one unit per cell and per pair of danger
// centres; past this much per input it is skipped so that each input stays
// fast. Reading and its checks still run on every block.
constexpr std::int64_t kLookaheadBudget = std::int64_t{1} << 25;

constexpr std::array kCommands = {Command::Stay, Command::Up,    Command::Down,
                                  Command::Left, Command::Right, Command::DropBomb};

std::int64_t LookaheadCost(const State& state) {
  const auto centres = static_cast<std::int64_t>(state.bombs.size() + state.players.size());
  return static_cast<std::int64_t>(state.tiles.size()) + 24 * centres * centres;
}

std::int64_t Abs(std::int64_t v) {
  return v < 0 ? -v : v;
}

// An upper bound on |score| worked out in 64 bits from the state: the fixed
// weights, the threat terms (danger times come from the bomb timers) and the
// distance terms. When it fits in an int, a score outside it has wrapped.
std::int64_t ScoreBound(const State& state, const Player& self) {
  std::int64_t maxTimer = 9;
  for (const Bomb& b : state.bombs)
    maxTimer = std::max<std::int64_t>(maxTimer, b.timer);
  const std::int64_t x = Abs(self.x) + 1;
  const std::int64_t y = Abs(self.y) + 1;
  const std::int64_t half = state.width / 2;
  std::int64_t bound = 40000 + 50 * maxTimer + 2 * (2 * half + x + y);
  for (const Player& p : state.players)
    bound += 2 * (Abs(p.x) + x + Abs(p.y) + y);
  return bound;
}

void CheckLookahead(const State& live) {
  const State before = live;
  const Player* self = live.FindPlayer(State::kSelfId);
  for (Command command : kCommands) {
    std::ostringstream log;
    const int score = TestCommand(live, command, log);
    const std::string line = log.str();
    if (self == nullptr) {
      Require(score == -1000000 && line == "Evaluated: 0,0 : -1000000\n",
              "without a self record nothing is simulated");
      continue;
    }
    long long x = 0;
    long long y = 0;
    long long printed = 0;
    int consumed = 0;
    Require(std::sscanf(line.c_str(), "Evaluated: %lld,%lld : %lld\n%n", &x, &y, &printed,
                        &consumed) == 3 &&
                static_cast<std::size_t>(consumed) == line.size(),
            "one Evaluated line per candidate");
    Require(printed == score, "the printed score is the one returned");
    CheckMove(live, *self, command, x, y);
    const std::int64_t bound = ScoreBound(live, *self);
    Require(bound > std::numeric_limits<int>::max() || Abs(score) <= bound,
            "the score is computed without overflow");
  }
  Require(live == before, "the look-ahead leaves the live state unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view stream(reinterpret_cast<const char*>(data), size);
  const ExpectedStream expected = Expect(stream);

  int ends[2];
  Require(socketpair(AF_UNIX, SOCK_STREAM, 0, ends) == 0, "socketpair");
  // The server side writes the whole stream and closes; the reader sees EOF.
  std::thread server([server = ends[1], stream] {
    for (std::string_view rest = stream; !rest.empty();) {
      const ssize_t sent = send(server, rest.data(), rest.size(), MSG_NOSIGNAL);
      if (sent <= 0)
        break;
      rest.remove_prefix(static_cast<std::size_t>(sent));
    }
    close(server);
  });

  std::ostringstream log;
  {
    Network network(ends[0], log);
    State state;
    Reader reader(&network, &state, log);
    std::int64_t budget = kLookaheadBudget;
    for (const ExpectedBlock& block : expected.blocks) {
      Require(reader.ReadStatus(), "a block where the stream has one");
      Require(log.str() == block.log, "only DEAD and ENDOFROUND are echoed, as read");
      log.str("");
      CheckState(state, block);
      budget -= LookaheadCost(state);
      if (budget >= 0)
        CheckLookahead(state);
    }
    Require(!reader.ReadStatus(), "the end of the stream ends reading");
    Require(log.str() == expected.endLog, "DEAD and ENDOFROUND after the last block are echoed");
  }
  server.join();
  return 0;
}
