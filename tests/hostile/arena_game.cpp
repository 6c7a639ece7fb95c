#include "arena_game.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <sstream>
#include <thread>

#include "child_process.h"
#include "line_client.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPort = 54321;
constexpr auto kLimit = std::chrono::seconds(60);

CalmLog PlayCalmly(const std::string& address, const std::string& name) {
  CalmLog log;
  LineClient client(address, kPort);
  client.Send("NAME " + name + "\n");
  std::optional<Clock::time_point> last;
  const Clock::time_point deadline = Clock::now() + kLimit;
  while (Clock::now() < deadline) {
    const auto line = client.ReadLine(std::chrono::seconds(10));
    if (!line)
      break;
    if (*line == "ENDMAP") {
      ++log.blocks;
      const Clock::time_point now = Clock::now();
      if (last) {
        log.longestWait = std::max(
            log.longestWait, std::chrono::duration_cast<std::chrono::milliseconds>(now - *last));
      }
      last = now;
    } else if (*line == "ENDOFROUND") {
      ++log.rounds;
    } else if (*line == "DISCONNECT") {
      log.goodbye = client.Closed();
      break;
    }
  }
  return log;
}

// The hostile client connects once the arena listens, with its own receive
// buffer size, which must be set before the connection is made.
int ConnectHostile(const std::string& address, int receiveBuffer) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(kPort);
  inet_pton(AF_INET, address.c_str(), &to.sin_addr);
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < deadline) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (receiveBuffer > 0)
      setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
      return fd;
    close(fd);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}

}  // namespace

ArenaRun PlayArena(int host, const HostileClient& hostile,
                   const std::vector<std::string>& arguments) {
  const std::string address = "127.0.2." + std::to_string(host);
  std::vector<std::string> argv = {ArenaBinary(), "--bind", address, "--players",
                                   "3",           "--view", "none"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  ChildProcess arena(argv);

  ArenaRun run;
  run.calm.resize(2);
  std::atomic<bool> calmDone = false;
  std::thread calm([&] {
    std::thread other([&] { run.calm[1] = PlayCalmly(address, "calm2"); });
    run.calm[0] = PlayCalmly(address, "calm1");
    other.join();
    calmDone = true;
  });
  {
    const Clock::time_point deadline = Clock::now() + kLimit;
    HostilePeer peer(ConnectHostile(address, hostile.receiveBuffer), deadline);
    hostile.script(peer);
    while (hostile.holdToTheEnd && !calmDone && Clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  calm.join();
  const ChildOutcome outcome = arena.Wait(kLimit);
  run.status = outcome.status;
  run.timedOut = outcome.timedOut;
  run.out = outcome.out;
  return run;
}

Results HostileResults(const std::string& out) {
  // The table follows its heading line; a row is a seat letter, the name and
  // seven numbers.
  std::istringstream lines(out.substr(std::min(out.rfind("\nname "), out.size())));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string letter;
    Results results;
    if (!(words >> letter >> results.name) || letter.size() != 1 || results.name == "calm1" ||
        results.name == "calm2") {
      continue;
    }
    for (int n; words >> n;)
      results.numbers.push_back(n);
    if (results.numbers.size() == 7)
      return results;
  }
  return {};
}
