// The opt-in search on the decision benchmarks' positions, at the budget the
// strength figures use (and at 1 ms on the largest): simulated ticks per second, the depth it
// reaches, its decision time's 99th percentile against the budget, and allocations.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

#include "alloc_counter.h"
#include "positions.h"
#include "search/search.h"

namespace {

constexpr auto kBudget = std::chrono::milliseconds(10);

void Run(benchmark::State& bench, const PositionShape& shape,
         std::chrono::milliseconds budget = kBudget) {
  State position = MakePosition(shape);
  position.RecountBlocks();
  Search search(budget);
  // A board is sized the first time its depth is reached, and a decision
  // now and then reaches one deeper than those before: warm once 20
  // decisions in a row reach no new depth.
  for (int warm = 0, quiet = 0; warm < 200 && quiet < 20; ++warm) {
    const std::size_t before = Allocations();
    search.Decide(position);
    quiet = Allocations() == before ? quiet + 1 : 0;
  }
  std::vector<double> micros;
  micros.reserve(static_cast<std::size_t>(bench.max_iterations));
  const std::size_t before = Allocations();
  double ticks = 0;
  double depth = 0;
  double cpu = 0;
  for (auto _ : bench) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    const Search::Decision& d = search.Decide(position);
    cpu += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    micros.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count());
    ticks += static_cast<double>(d.ticks);
    depth += d.depth;
  }
  const auto n = static_cast<double>(bench.iterations());
  const double allocations = static_cast<double>(Allocations() - before) / n;
  std::sort(micros.begin(), micros.end());
  bench.counters["depth"] = depth / n;
  bench.counters["ticks/cpu-s"] = ticks / cpu;
  bench.counters["p99_us"] = micros[static_cast<std::size_t>(0.99 * (micros.size() - 1))];
  bench.counters["allocs/tick"] = allocations;
}

void SearchClassic(benchmark::State& bench) {
  Run(bench, {.width = 15, .height = 13, .players = 4, .bombs = 4});
}

void SearchMedium(benchmark::State& bench) {
  Run(bench, {.width = 60, .height = 60, .players = 10, .bombs = 30});
}

void SearchLarge(benchmark::State& bench) {
  Run(bench, {.width = 255, .height = 255, .players = 8, .bombs = 100});
}

// The smallest budget on the largest position: the budget still holds.
void SearchLargeOneMs(benchmark::State& bench) {
  Run(bench, {.width = 255, .height = 255, .players = 8, .bombs = 100},
      std::chrono::milliseconds(1));
}

}  // namespace

BENCHMARK(SearchClassic)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchMedium)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchLarge)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchLargeOneMs)->Iterations(1000)->Unit(benchmark::kMillisecond);
