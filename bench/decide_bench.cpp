// One tick's decision: the six candidates scored and the best one chosen,
// on positions from the classic map to very large maps and long chains.
#include <benchmark/benchmark.h>

#include <array>

#include "alloc_counter.h"
#include "lookahead/look_ahead.h"
#include "null_stream.h"
#include "positions.h"

namespace {

constexpr std::array kCandidates = {Command::Stay, Command::Up,    Command::Down,
                                    Command::Left, Command::Right, Command::DropBomb};

// The same choice rule as the turn loop: the first strictly best above -10000,
// with one LookAhead kept from tick to tick as the Client keeps it.
int Decide(LookAhead& lookAhead, const State& state, std::ostream& log) {
  int best = 0;
  int bestScore = -10000;
  for (std::size_t i = 0; i < kCandidates.size(); ++i) {
    const int score = lookAhead.TestCommand(state, kCandidates[i], log);
    if (score > bestScore) {
      best = static_cast<int>(i);
      bestScore = score;
    }
  }
  return best;
}

void Run(benchmark::State& bench, const State& position) {
  NullStream log;
  LookAhead lookAhead;
  Decide(lookAhead, position, log);  // the first tick may size buffers
  const std::size_t before = Allocations();
  for (auto _ : bench)
    benchmark::DoNotOptimize(Decide(lookAhead, position, log));
  bench.counters["allocs/tick"] = benchmark::Counter(static_cast<double>(Allocations() - before) /
                                                     static_cast<double>(bench.iterations()));
}

void Classic(benchmark::State& bench) {
  Run(bench, MakePosition({.width = 15, .height = 13, .players = 4, .bombs = 4}));
}

void Medium(benchmark::State& bench) {
  Run(bench, MakePosition({.width = 60, .height = 60, .players = 10, .bombs = 30}));
}

void Large(benchmark::State& bench) {
  Run(bench, MakePosition({.width = 255, .height = 255, .players = 8, .bombs = 100}));
}

// The same four players and four bombs, only the map grows.
void MapSize(benchmark::State& bench) {
  const int side = static_cast<int>(bench.range(0));
  State s = MakePosition({.width = side, .height = side, .players = 4, .bombs = 0});
  // Keep the pieces in the classic corner so only the map's size differs.
  const State classic = MakePosition({.width = 15, .height = 13, .players = 4, .bombs = 4});
  s.players = classic.players;
  s.bombs = classic.bombs;
  Run(bench, s);
}

void Chain(benchmark::State& bench) {
  Run(bench, MakeChain(static_cast<int>(bench.range(0))));
}

}  // namespace

BENCHMARK(Classic);
BENCHMARK(Medium);
BENCHMARK(Large);
BENCHMARK(MapSize)->Arg(15)->Arg(64)->Arg(256)->Arg(1024)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(Chain)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);
