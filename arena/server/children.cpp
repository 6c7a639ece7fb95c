#include "server/children.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <sstream>
#include <thread>

namespace arena {

bool Children::Start(const std::string& command, const std::vector<std::string>& arguments,
                     const std::string& log, std::string& error) {
  std::vector<std::string> words;
  std::istringstream in(command);
  for (std::string w; in >> w;) {
    words.push_back(w);
  }
  if (words.empty()) {
    error = "empty --spawn command";
    return false;
  }
  words.insert(words.end(), arguments.begin(), arguments.end());
  const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) {
    error = "cannot write " + log + ": " + std::strerror(errno);
    return false;
  }
  std::vector<char*> argv;
  for (std::string& w : words) {
    argv.push_back(w.data());
  }
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    // The server ignores SIGPIPE, and an ignored signal survives exec.
    std::signal(SIGPIPE, SIG_DFL);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
    ::execvp(argv[0], argv.data());
    const std::string message =
        std::string("cannot run ") + argv[0] + ": " + std::strerror(errno) + "\n";
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, message.data(), message.size());
    ::_exit(127);
  }
  ::close(out);
  if (pid < 0) {
    error = std::string("fork: ") + std::strerror(errno);
    return false;
  }
  pids_.push_back(pid);
  results_.push_back(ChildResult{command, log, -1, 0});
  return true;
}

bool Children::Reap(std::size_t i, bool block) {
  if (pids_[i] == 0) {
    return true;
  }
  int status = 0;
  pid_t r;
  do {
    r = ::waitpid(pids_[i], &status, block ? 0 : WNOHANG);
  } while (r < 0 && errno == EINTR);
  if (r == 0) {
    return false;
  }
  if (r == pids_[i]) {
    if (WIFEXITED(status)) {
      results_[i].status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
      results_[i].signal = WTERMSIG(status);
    }
  }
  pids_[i] = 0;
  return true;
}

const ChildResult* Children::FirstExited() {
  for (std::size_t i = 0; i < pids_.size(); ++i) {
    if (Reap(i, false)) {
      return &results_[i];
    }
  }
  return nullptr;
}

void Children::End(int graceMs) {
  auto allReaped = [&] {
    bool all = true;
    for (std::size_t i = 0; i < pids_.size(); ++i) {
      all = Reap(i, false) && all;
    }
    return all;
  };
  using Clock = std::chrono::steady_clock;
  const auto step = std::chrono::milliseconds(10);
  const auto grace = Clock::now() + std::chrono::milliseconds(graceMs);
  while (!allReaped() && Clock::now() < grace) {
    std::this_thread::sleep_for(step);
  }
  for (const pid_t pid : pids_) {
    if (pid != 0) {
      ::kill(pid, SIGTERM);
    }
  }
  const auto term = Clock::now() + std::chrono::seconds(1);
  while (!allReaped() && Clock::now() < term) {
    std::this_thread::sleep_for(step);
  }
  for (std::size_t i = 0; i < pids_.size(); ++i) {
    if (pids_[i] != 0) {
      ::kill(pids_[i], SIGKILL);
      Reap(i, true);
    }
  }
}

}  // namespace arena
