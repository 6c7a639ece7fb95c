#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

std::string TempPath(const char* what) {
  static int counter = 0;
  return (std::filesystem::temp_directory_path() /
          ("arena-test-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + what))
      .string();
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv)
    : outPath_(TempPath(".out")), errPath_(TempPath(".err")) {
  std::vector<std::string> words = argv;
  std::vector<char*> args;
  for (std::string& w : words) {
    args.push_back(w.data());
  }
  args.push_back(nullptr);
  const int out = open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    execv(args[0], args.data());
    _exit(127);
  }
  close(out);
  close(err);
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  std::filesystem::remove(outPath_);
  std::filesystem::remove(errPath_);
}

void ChildProcess::Signal(int signal) {
  if (pid_ > 0) {
    kill(pid_, signal);
  }
}

ChildOutcome ChildProcess::Wait(std::chrono::milliseconds limit) {
  ChildOutcome outcome;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (pid_ > 0) {
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
      pid_ = -1;
    } else if (std::chrono::steady_clock::now() > deadline) {
      outcome.timedOut = true;
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  outcome.out = ReadFile(outPath_);
  outcome.err = ReadFile(errPath_);
  return outcome;
}

std::string ChildProcess::OutputSoFar() const {
  return ReadFile(outPath_);
}

ChildOutcome RunChild(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
  ChildProcess child(argv);
  return child.Wait(limit);
}

std::string ArenaBinary() {
  return ARENA_BIN;
}

std::string ScratchDir(const std::string& name) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("arena-" + name + "-" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
