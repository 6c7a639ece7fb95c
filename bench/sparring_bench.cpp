// One decision of a sparring partner on the classic 15x13 map, over the
// positions of games the styles play against each other in process.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "choose.h"
#include "rules/board.h"
#include "rules/round.h"

namespace {

using sparring::Style;

// What player `id` sees of the round, in the partners' own terms.
sparring::Position Seen(const arena::Round& round, int id) {
  std::vector<sparring::Seat> living;
  for (const arena::Player& pl : round.Players()) {
    if (pl.alive) {
      living.push_back({pl.id, pl.at});
    }
  }
  return sparring::Facing(round.GetBoard(), id, living, round.Bombs());
}

const std::vector<sparring::Position>& Positions() {
  static const std::vector<sparring::Position> positions = [] {
    std::vector<sparring::Position> out;
    std::mt19937_64 rng(7);
    const Style styles[] = {Style::Runner, Style::Hunter, Style::Random, Style::Hunter};
    for (int game = 0; game < 8; ++game) {
      arena::Layout layout = arena::GenerateLayout(15, 13, 4, 0.6, rng);
      arena::Round round(layout.board, layout.spawns);
      while (!round.Over(300)) {
        std::vector<arena::Command> commands(4, arena::Command::Stay);
        for (const arena::Player& pl : round.Players()) {
          if (pl.alive) {
            out.push_back(Seen(round, pl.id));
            commands[static_cast<std::size_t>(pl.id)] =
                sparring::Choose(out.back(), styles[pl.id], rng);
          }
        }
        round.Step(commands);
      }
    }
    return out;
  }();
  return positions;
}

void Decide(benchmark::State& state, Style style) {
  const auto& positions = Positions();
  std::mt19937_64 rng(1);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sparring::Choose(positions[i], style, rng));
    i = (i + 1) % positions.size();
  }
  state.counters["positions"] = static_cast<double>(positions.size());
}

BENCHMARK_CAPTURE(Decide, Runner, Style::Runner);
BENCHMARK_CAPTURE(Decide, Hunter, Style::Hunter);
BENCHMARK_CAPTURE(Decide, Random, Style::Random);

}  // namespace
