// Reading status blocks from a real socket, against a baseline that only
// receives the same bytes and splits them into lines with memchr.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "alloc_counter.h"
#include "feed.h"
#include "null_stream.h"
#include "positions.h"
#include "protocol/network.h"
#include "protocol/reader.h"

namespace {

// A stream of ticks on one map: players and bombs move about between blocks.
std::string Stream(int width, int height, int players, int bombs, int ticks) {
  std::string stream;
  for (int t = 0; t < ticks; ++t) {
    stream += StatusBlock(MakePosition({.width = width,
                                        .height = height,
                                        .players = players,
                                        .bombs = bombs,
                                        .seed = static_cast<unsigned>(t % 8) + 1}));
  }
  return stream;
}

// Sends `stream` from a thread into one end of a fresh socket pair and hands
// the other end to `read`.
template <typename Read>
void OverSocket(const std::string& stream, Read read) {
  int ends[2];
  socketpair(AF_UNIX, SOCK_STREAM, 0, ends);
  std::thread writer([&] {
    SendAll(ends[1], stream);
    close(ends[1]);
  });
  read(ends[0]);
  writer.join();
}

void ReadBlocks(benchmark::State& bench, const std::string& stream) {
  NullStream log;
  std::size_t allocations = 0;
  std::size_t blocks = 0;
  for (auto _ : bench) {
    OverSocket(stream, [&](int socket) {
      Network network(socket, log);
      State state;
      Reader reader(&network, &state, log);
      reader.ReadStatus();  // the first block sizes the buffers
      const std::size_t before = Allocations();
      std::size_t read = 1;
      while (reader.ReadStatus())
        ++read;
      allocations += Allocations() - before;
      blocks += read - 1;
    });
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * stream.size()));
  bench.counters["allocs/block"] =
      benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(blocks));
}

void SplitLines(benchmark::State& bench, const std::string& stream) {
  for (auto _ : bench) {
    OverSocket(stream, [&](int socket) {
      char chunk[Network::kChunk];
      std::size_t lines = 0;
      for (ssize_t n; (n = recv(socket, chunk, sizeof chunk, 0)) > 0;) {
        for (const char* p = chunk;
             (p = static_cast<const char*>(std::memchr(p, '\n', chunk + n - p))) != nullptr; ++p) {
          ++lines;
        }
      }
      benchmark::DoNotOptimize(lines);
      close(socket);
    });
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * stream.size()));
}

const std::string& Small() {
  static const std::string s = Stream(15, 13, 4, 4, 2000);
  return s;
}
const std::string& Medium() {
  static const std::string s = Stream(60, 60, 10, 30, 200);
  return s;
}
const std::string& Large() {
  static const std::string s = Stream(255, 255, 8, 100, 20);
  return s;
}

}  // namespace

BENCHMARK_CAPTURE(ReadBlocks, 15x13, Small())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SplitLines, 15x13, Small())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadBlocks, 60x60, Medium())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SplitLines, 60x60, Medium())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadBlocks, 255x255, Large())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SplitLines, 255x255, Large())->Unit(benchmark::kMillisecond);
