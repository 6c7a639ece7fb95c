#include "driver/client.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <limits>

#include "protocol/reader.h"

namespace {

constexpr int kStartingBest = -10000;
constexpr int kDoomThreshold = -5000;
constexpr int kIdleInterval = 20;
constexpr std::string_view kSay = "SAY ";
constexpr std::array kCandidates = {Command::Stay, Command::Up,    Command::Down,
                                    Command::Left, Command::Right, Command::DropBomb};

// Wall-clock microseconds, kept to 32 bits; differences wrap rather than overflow.
std::uint32_t NowMicros() {
  const auto nanos =
      std::chrono::system_clock::now().time_since_epoch() / std::chrono::nanoseconds(1);
  return static_cast<std::uint32_t>(nanos / 1000);
}

// A command of a planned line as the server would read it; STAY for none.
std::string_view LineWord(Command command) {
  const std::string_view wire = Network::WireText(command);
  return wire.empty() ? std::string_view("STAY") : wire.substr(0, wire.size() - 1);
}

}  // namespace

Client::Client(std::uint32_t address, std::ostream& out) : out(&out), network(address, out) {
  ReserveTaunt();
  out << "Client created\n" << std::flush;
}

Client::Client(platform::SocketHandle socket, std::ostream& out) : out(&out), network(socket, out) {
  ReserveTaunt();
  out << "Client created\n" << std::flush;
}

void Client::ReserveTaunt() {
  std::size_t longest = 0;
  for (const auto* lines : {&insulter.idleLines, &insulter.doomLines}) {
    for (const std::string& line : *lines)
      longest = std::max(longest, line.size());
  }
  said.reserve(kSay.size() + longest);
}

void Client::Run() {
  std::string name("NAME ");
  name += kName;
  network.SendLine(name);
  Reader reader(&network, &state, *out);

  while (reader.ReadStatus()) {
    // A search takes long enough that the bot may fall behind a busy
    // machine's server; a block that a whole newer one has already
    // overtaken is then not worth deciding on.
    if (search && reader.NewerBlockWaiting())
      continue;
    // Step 1. Start the clock.
    const std::uint32_t start = NowMicros();

    // Step 2 and 3. Score every candidate, in command order.
    std::array<int, kCandidates.size()> scores{};
    int bestScore = Score(scores);

    // Step 4. The first strictly best; for the look-ahead, nothing above
    // -10000 means stay.
    std::size_t best = 0;
    for (std::size_t i = 0; i < scores.size(); ++i) {
      if (scores[i] > bestScore) {
        best = i;
        bestScore = scores[i];
      }
    }

    // Step 5 to 7. Report the choice and the time it took.
    *out << "Best: " << best << " : " << bestScore << "\n";
    const std::int32_t micros = static_cast<std::int32_t>(NowMicros() - start);
    *out << "Time: " << micros << "\n";

    // Step 8 and 9. Answer, then close the tick in the log.
    Answer(kCandidates[best], scores[best]);
    *out << "Tick: " << state.tick << "\n" << std::flush;
  }
}

void Client::UseSearch(std::chrono::microseconds budget) {
  search = std::make_unique<Search>(budget);
}

int Client::Score(std::array<int, 6>& scores) {
  if (!search) {
    for (std::size_t i = 0; i < kCandidates.size(); ++i)
      scores[i] = TestCommand(kCandidates[i]);
    return kStartingBest;
  }
  // The search's values: each command's best line, from the cell it leads
  // to. Every line may die, and the latest death is then the best choice.
  const Search::Decision& decision = search->Decide(state);
  if (decision.tooBig) {
    // As the one-tick bot decides, with one more line saying so.
    for (std::size_t i = 0; i < kCandidates.size(); ++i)
      scores[i] = TestCommand(kCandidates[i]);
    *out << "Search: depth 0, " << decision.ticks
         << " ticks, too big to search: one-tick look-ahead\n";
    return kStartingBest;
  }
  for (std::size_t i = 0; i < kCandidates.size(); ++i) {
    scores[i] = decision.values[i];
    *out << "Evaluated: " << decision.x[i] << "," << decision.y[i] << " : " << scores[i] << "\n";
  }
  *out << "Search: depth " << decision.depth << ", " << decision.ticks << " ticks";
  if (decision.lineLength > 0) {
    *out << ", line";
    for (int i = 0; i < decision.lineLength; ++i)
      *out << ' ' << LineWord(decision.line[static_cast<std::size_t>(i)]);
  }
  *out << "\n";
  return std::numeric_limits<int>::min();
}

int Client::TestCommand(Command command) {
  return lookAhead.TestCommand(state, command, *out);
}

// The first rule that applies: a command; a doom line; a new round lowering
// lastTick; an idle line after 20 quiet ticks; nothing.
void Client::Answer(Command chosen, int score) {
  if (chosen != Command::Stay) {
    network.Send(chosen);
  } else if (score < kDoomThreshold) {
    Say(insulter.doomLines);
  } else if (state.tick < insulter.lastTick) {
    insulter.lastTick = state.tick;
  } else if (static_cast<std::int64_t>(state.tick) - insulter.lastTick >= kIdleInterval) {
    insulter.lastTick = state.tick;
    Say(insulter.idleLines);
  }
}

void Client::Say(const std::vector<std::string>& lines) {
  const auto index = static_cast<std::size_t>(std::rand()) % lines.size();
  said.assign(kSay);
  said += lines[index];
  network.SendLine(said);
}
