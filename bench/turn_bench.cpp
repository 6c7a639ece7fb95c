// The turn loop in process: a Client on one end of a socket pair plays a
// stream of classic ticks (read, six candidates, answer), so the figure has
// no process start-up and the allocation counter sees every tick.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "alloc_counter.h"
#include "driver/client.h"
#include "feed.h"
#include "null_stream.h"
#include "positions.h"

namespace {

constexpr int kTicks = 2000;

std::string ClassicStream(int ticks) {
  std::string stream;
  for (int t = 0; t < ticks; ++t)
    stream += StatusBlock(MakePosition({.seed = static_cast<unsigned>(t % 16) + 1}));
  return stream;
}

// Plays `stream` to its end and returns the allocations made meanwhile; the
// answers are drained so that neither side stalls.
std::size_t Play(const std::string& stream) {
  int ends[2];
  socketpair(AF_UNIX, SOCK_STREAM, 0, ends);
  std::thread drain([peer = ends[1]] {
    char sink[4096];
    while (recv(peer, sink, sizeof sink, 0) > 0) {
    }
  });
  std::thread server([&] {
    SendAll(ends[1], stream);
    shutdown(ends[1], SHUT_WR);
  });
  NullStream log;
  const std::size_t before = Allocations();
  {
    Client client(ends[0], log);
    client.Run();
  }
  const std::size_t made = Allocations() - before;
  server.join();
  drain.join();
  close(ends[1]);
  return made;
}

void TurnLoop(benchmark::State& bench) {
  const std::string stream = ClassicStream(kTicks);
  // The connection's set-up and its first tick, to take off the count.
  const std::size_t firstTick = Play(ClassicStream(1));
  std::size_t later = 0;
  for (auto _ : bench)
    later += Play(stream) - firstTick;
  const double runs = static_cast<double>(bench.iterations());
  bench.counters["ticks/s"] = benchmark::Counter(kTicks * runs, benchmark::Counter::kIsRate);
  bench.counters["allocs/tick"] =
      benchmark::Counter(static_cast<double>(later) / (runs * (kTicks - 1)));
}

}  // namespace

BENCHMARK(TurnLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
