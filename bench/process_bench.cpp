// The whole bot as a user runs it: the real marrowlark process fed a long
// recorded-style stream over loopback as fast as it reads, measured in ticks
// per second of wall time and CPU seconds per 10,000 ticks.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "feed.h"
#include "positions.h"

namespace {

constexpr int kTicks = 10000;

int Listen() {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  const int yes = 1;
  setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_port = htons(54321);
  where.sin_addr.s_addr = htonl(0x7F0000C8);  // 127.0.0.200
  if (bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0)
    return -1;
  listen(listener, 1);
  return listener;
}

void Process(benchmark::State& bench) {
  std::string stream;
  for (int t = 0; t < kTicks; ++t) {
    stream += StatusBlock(MakePosition({.seed = static_cast<unsigned>(t % 16) + 1}));
  }
  double cpuSeconds = 0;
  double wallSeconds = 0;
  for (auto _ : bench) {
    const int listener = Listen();
    if (listener < 0) {
      bench.SkipWithError("cannot listen on 127.0.0.200:54321");
      return;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t bot = fork();
    if (bot == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      execl(MARROWLARK_BIN, MARROWLARK_BIN, "127", "0", "0", "200", static_cast<char*>(nullptr));
      _exit(127);
    }
    const int peer = accept(listener, nullptr, nullptr);
    // Drain what the bot sends while the stream goes out, so neither side stalls.
    std::thread drain([peer] {
      char sink[4096];
      while (recv(peer, sink, sizeof sink, 0) > 0) {
      }
    });
    SendAll(peer, stream);
    shutdown(peer, SHUT_WR);
    int status = 0;
    rusage usage{};
    wait4(bot, &status, 0, &usage);
    wallSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    drain.join();
    close(peer);
    close(listener);
    cpuSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  const double runs = static_cast<double>(bench.iterations());
  bench.counters["ticks/s"] = benchmark::Counter(kTicks * runs / wallSeconds);
  bench.counters["cpu_s/10k_ticks"] = benchmark::Counter(cpuSeconds / runs * 10000.0 / kTicks);
}

}  // namespace

BENCHMARK(Process)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
