// The programs started with --spawn: each runs with the bind address's four
// numbers appended and its output in its own log file. Owns the processes:
// whatever is still running when End is called, or at destruction, is ended
// and reaped.
#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace arena {

struct ChildResult {
  std::string command;
  std::string log;
  // The exit status, or -1 with `signal` set when a signal ended it.
  int status = -1;
  int signal = 0;
};

class Children {
 public:
  Children() = default;
  ~Children() { End(0); }
  Children(const Children&) = delete;
  Children& operator=(const Children&) = delete;

  // Starts `command` (split at spaces) with `arguments` appended, its output
  // going to `log`. False with `error` set when it cannot be started.
  bool Start(const std::string& command, const std::vector<std::string>& arguments,
             const std::string& log, std::string& error);
  // Waits up to `graceMs` for the children to exit by themselves, then
  // terminates the rest (killing what ignores that) and reaps them all.
  void End(int graceMs);
  // The first child that has already exited, if any; it is reaped.
  const ChildResult* FirstExited();
  const std::vector<ChildResult>& Results() const { return results_; }

 private:
  bool Reap(std::size_t i, bool block);

  std::vector<pid_t> pids_;  // 0 once reaped
  std::vector<ChildResult> results_;
};

}  // namespace arena
