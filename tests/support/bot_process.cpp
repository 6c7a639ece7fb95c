#include "bot_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "loopback.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string BotBinary() {
  const char* path = std::getenv("MARROWLARK_BIN");
  if (path == nullptr)
    throw std::runtime_error("MARROWLARK_BIN is not set");
  return path;
}

// What the child has written to `file` so far, without moving its offset.
std::string Peek(std::FILE* file) {
  std::string text;
  char chunk[4096];
  for (ssize_t n;
       (n = pread(fileno(file), chunk, sizeof chunk, static_cast<off_t>(text.size()))) > 0;)
    text.append(chunk, static_cast<std::size_t>(n));
  return text;
}

// Appends to `sent` whatever the peer has sent and is waiting to be read.
void Drain(int peer, std::string& sent) {
  char chunk[4096];
  for (ssize_t got; (got = recv(peer, chunk, sizeof chunk, MSG_DONTWAIT)) > 0;)
    sent.append(chunk, static_cast<std::size_t>(got));
}

std::string ReadAll(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
    text.append(chunk, n);
  std::fclose(file);
  return text;
}

struct Child {
  pid_t pid = -1;
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
};

Child Start(const std::vector<std::string>& arguments) {
  Child child;
  const std::string binary = BotBinary();
  std::vector<std::string> words{binary};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& w : words)
    argv.push_back(w.data());
  argv.push_back(nullptr);
  std::fflush(nullptr);
  child.pid = fork();
  if (child.pid == 0) {
    dup2(fileno(child.out), STDOUT_FILENO);
    dup2(fileno(child.err), STDERR_FILENO);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  return child;
}

void Finish(Child& child, Clock::time_point deadline, BotRun& run) {
  int status = 0;
  for (;;) {
    if (waitpid(child.pid, &status, WNOHANG) == child.pid)
      break;
    if (Clock::now() > deadline) {
      run.timedOut = true;
      kill(child.pid, SIGKILL);
      waitpid(child.pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  run.out = ReadAll(child.out);
  run.err = ReadAll(child.err);
}

bool WaitFor(int fd, short events, Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  if (left.count() <= 0)
    return false;
  pollfd p{fd, events, 0};
  return poll(&p, 1, static_cast<int>(left.count())) > 0;
}

// Shuts the sending side, appends to `sent` everything the bot sends until
// it closes, and closes the peer.
void ReadToTheEnd(int peer, Clock::time_point deadline, std::string& sent) {
  shutdown(peer, SHUT_WR);
  char chunk[4096];
  while (WaitFor(peer, POLLIN, deadline)) {
    const ssize_t got = recv(peer, chunk, sizeof chunk, 0);
    if (got <= 0)
      break;
    sent.append(chunk, static_cast<std::size_t>(got));
  }
  close(peer);
}

std::vector<std::string> Dotted(const std::string& address) {
  std::vector<std::string> parts;
  std::stringstream in(address);
  for (std::string part; std::getline(in, part, '.');)
    parts.push_back(part);
  return parts;
}

}  // namespace

BotRun RunBot(const std::vector<std::string>& arguments, std::chrono::milliseconds limit) {
  BotRun run;
  Child child = Start(arguments);
  Finish(child, Clock::now() + limit, run);
  return run;
}

BotRun PlayAgainst(const ScriptedServer& server) {
  const auto deadline = Clock::now() + server.limit;
  BotRun run;
  const int listener = ListenOnLoopback(server.address);
  Child child = Start(Dotted(server.address));

  if (WaitFor(listener, POLLIN, deadline)) {
    const int peer = accept(listener, nullptr, nullptr);
    // A bot that stops reading must not hang the test in send.
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    timeval sendLimit{static_cast<time_t>(left.count() / 1000000),
                      static_cast<suseconds_t>(left.count() % 1000000)};
    setsockopt(peer, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
    // Send the script, then read whatever the bot sends until it closes.
    const std::size_t piece = server.chunk == 0 ? server.stream.size() : server.chunk;
    for (std::size_t at = 0; at < server.stream.size() && Clock::now() < deadline; at += piece) {
      const std::string_view part = std::string_view(server.stream).substr(at, piece);
      if (send(peer, part.data(), part.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(part.size())) {
        break;
      }
      if (server.pause.count() > 0)
        std::this_thread::sleep_for(server.pause);
    }
    ReadToTheEnd(peer, deadline, run.sent);
  }
  close(listener);
  Finish(child, deadline, run);
  return run;
}

SteppedRun PlaySteps(const std::string& address, const std::vector<Step>& steps,
                     std::chrono::milliseconds wait) {
  const auto deadline = Clock::now() + wait * static_cast<int>(steps.size() + 1);
  SteppedRun run;
  const int listener = ListenOnLoopback(address);
  Child child = Start(Dotted(address));
  const int peer = WaitFor(listener, POLLIN, deadline) ? accept(listener, nullptr, nullptr) : -1;
  for (const Step& step : steps) {
    if (peer >= 0)
      send(peer, step.send.data(), step.send.size(), MSG_NOSIGNAL);
    const auto stepEnd = std::min(deadline, Clock::now() + wait);
    std::string out = MaskTimes(Peek(child.out));
    while (!out.ends_with(step.until) && Clock::now() < stepEnd) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      out = MaskTimes(Peek(child.out));
    }
    if (peer >= 0)
      Drain(peer, run.sent);
    run.outs.push_back(out);
    run.sents.push_back(run.sent);
  }
  if (peer >= 0)
    ReadToTheEnd(peer, deadline, run.sent);
  close(listener);
  Finish(child, deadline, run);
  return run;
}

std::string MaskTimes(const std::string& log) {
  static const std::regex time("Time: -?[0-9]+\n");
  return std::regex_replace(log, time, "Time: #\n");
}
