// A program run as a child process for the arena tests, its standard output
// and error captured in temporary files. Owns the process: the destructor
// kills and reaps it if the test did not wait for it. Every wait is bounded.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

struct ChildOutcome {
  std::string out;
  std::string err;
  int status = -1000;  // exit status, or -signal when a signal ended it
  bool timedOut = false;
};

class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void Signal(int signal);
  // Waits for the exit; past `limit` the child is killed and timedOut set.
  ChildOutcome Wait(std::chrono::milliseconds limit);
  // What the child has written to standard output so far.
  std::string OutputSoFar() const;

 private:
  pid_t pid_ = -1;
  std::string outPath_;
  std::string errPath_;
};

// Runs a program to its end.
ChildOutcome RunChild(const std::vector<std::string>& argv,
                      std::chrono::milliseconds limit = std::chrono::seconds(20));

// The arena binary under test, and a fresh scratch folder for one test.
std::string ArenaBinary();
std::string ScratchDir(const std::string& name);
std::string ReadFile(const std::string& path);
