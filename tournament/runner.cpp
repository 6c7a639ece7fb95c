#include "runner.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace tournament {

namespace {

constexpr int kMaxHost = 254;
constexpr int kPort = 54321;
constexpr int kMaxTries = 5;  // of a game whose address another program took first
const auto kPollStep = std::chrono::milliseconds(5);
const auto kEndWait = std::chrono::seconds(5);

// Whether nothing listens on 127.0.3.<host> yet: another tournament on this
// machine may be using some of the block.
bool Bindable(int host) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return false;
  }
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(kPort);
  address.sin_addr.s_addr = htonl((127u << 24) | (3u << 8) | static_cast<unsigned>(host));
  const bool ok = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return ok;
}

std::string LastLine(const std::string& path) {
  std::ifstream in(path);
  std::string last;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) {
      last = line;
    }
  }
  return last;
}

// The exit status of a reaped child, or 128 + the signal that ended it.
int StatusOf(int raw) {
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

}  // namespace

std::string Runner::GameDir(int game) const {
  return (std::filesystem::path(settings_.logs) / ("game-" + std::to_string(game))).string();
}

int Runner::FreeHost(const std::vector<Running>& running) const {
  for (int host = 1; host <= kMaxHost; ++host) {
    const bool mine = std::any_of(running.begin(), running.end(),
                                  [host](const Running& r) { return r.host == host; });
    if (!mine && Bindable(host)) {
      return host;
    }
  }
  return 0;
}

pid_t Runner::Start(int game, int host, std::string& error) const {
  const Game g = ScheduledGame(config_, game);
  const std::string dir = GameDir(game);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  // An interrupted earlier try may have left its round behind.
  std::filesystem::remove(dir + "/round.jsonl", ec);

  std::vector<std::string> args = {settings_.arena,
                                   "--rounds",
                                   "1",
                                   "--view",
                                   "none",
                                   "--bind",
                                   "127.0.3." + std::to_string(host),
                                   "--players",
                                   std::to_string(config_.players),
                                   "--seed",
                                   std::to_string(g.seed),
                                   "--density",
                                   std::to_string(config_.density),
                                   "--max-ticks",
                                   std::to_string(config_.maxTicks),
                                   "--tick-ms",
                                   std::to_string(config_.tickMs),
                                   "--results",
                                   dir + "/round.jsonl",
                                   "--logs",
                                   dir};
  if (config_.map.empty()) {
    args.insert(args.end(), {"--size", config_.size});
  } else {
    args.insert(args.end(), {"--map", config_.map});
  }
  if (!settings_.recordDir.empty()) {
    std::filesystem::create_directories(settings_.recordDir, ec);
    args.insert(args.end(), {"--record", (std::filesystem::path(settings_.recordDir) /
                                          ("game-" + std::to_string(game) + ".jsonl"))
                                             .string()});
  }
  for (const int bot : g.seats) {
    args.insert(args.end(), {"--spawn", config_.bots[static_cast<std::size_t>(bot)].command});
  }
  std::vector<char*> argv;
  for (std::string& a : args) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const std::string err = dir + "/arena.err";
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  // The runner ignores SIGPIPE; the arena sets its own handlers.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) {
    error = "cannot run " + settings_.arena + ": " + std::strerror(rc);
    return -1;
  }
  return pid;
}

void Runner::Run(const std::vector<int>& games,
                 const std::function<void(const GameRecord&)>& finished,
                 const std::function<void(int, const std::string&)>& failed,
                 const std::function<bool()>& stop) {
  std::vector<Running> running;
  std::vector<std::pair<int, int>> queue;  // game, tries so far
  for (auto it = games.rbegin(); it != games.rend(); ++it) {
    queue.emplace_back(*it, 0);
  }
  while (!stop() && (!queue.empty() || !running.empty())) {
    while (!queue.empty() && static_cast<int>(running.size()) < settings_.jobs) {
      const int host = FreeHost(running);
      if (host == 0 && !running.empty()) {
        break;
      }
      const auto [game, tries] = queue.back();
      queue.pop_back();
      if (host == 0) {
        failed(game, "no free address in 127.0.3.x");
        continue;
      }
      std::string error;
      const pid_t pid = Start(game, host, error);
      if (pid < 0) {
        failed(game, error);
        continue;
      }
      running.push_back(Running{pid, game, host, tries + 1});
    }
    for (std::size_t i = 0; i < running.size();) {
      int raw = 0;
      if (::waitpid(running[i].pid, &raw, WNOHANG) != running[i].pid) {
        ++i;
        continue;
      }
      const Running r = running[i];
      running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
      const std::string dir = GameDir(r.game);
      const std::string line = LastLine(dir + "/round.jsonl");
      if (!line.empty()) {
        try {
          const Game g = ScheduledGame(config_, r.game);
          finished(GameRecord{r.game, g.seed, g.seats,
                              arena::RoundOutcomeFromJson(nlohmann::json::parse(line))});
          continue;
        } catch (const nlohmann::json::exception& e) {
          failed(r.game, dir + "/round.jsonl: " + e.what());
          continue;
        }
      }
      const std::string why = LastLine(dir + "/arena.err");
      if (why.find("cannot listen") != std::string::npos && r.tries < kMaxTries) {
        queue.emplace_back(r.game, r.tries);
        continue;
      }
      failed(r.game, "arena exited with " + std::to_string(StatusOf(raw)) +
                         (why.empty() ? "" : ": " + why) + " (logs in " + dir + ")");
    }
    std::this_thread::sleep_for(kPollStep);
  }
  // Unfinished games are dropped: their arenas end their bots.
  for (const Running& r : running) {
    ::kill(r.pid, SIGTERM);
  }
  const auto deadline = std::chrono::steady_clock::now() + kEndWait;
  for (const Running& r : running) {
    int raw = 0;
    for (pid_t w = 0; w == 0 || (w < 0 && errno == EINTR); w = ::waitpid(r.pid, &raw, WNOHANG)) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(r.pid, SIGKILL);
      }
      std::this_thread::sleep_for(kPollStep);
    }
  }
}

}  // namespace tournament
