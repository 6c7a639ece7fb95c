#include "keyboard/keyboard_seat.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "keyboard/keys.h"

namespace arena {

namespace {

constexpr std::string_view kGoodbye = "DISCONNECT\n";

bool SendAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t sent = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) {
      continue;
    }
    if (sent <= 0) {
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

}  // namespace

KeyboardSeat::~KeyboardSeat() {
  if (thread_.joinable()) {
    const char stop = 0;
    [[maybe_unused]] const ssize_t written = ::write(wake_[1], &stop, 1);
    thread_.join();
  }
  for (const int fd : {socket_, wake_[0], wake_[1]}) {
    if (fd >= 0) {
      ::close(fd);
    }
  }
}

int KeyboardSeat::Start(const std::string& name, std::string& error) {
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0 ||
      ::pipe2(wake_, O_CLOEXEC) != 0) {
    error = std::string("keyboard seat: ") + std::strerror(errno);
    return -1;
  }
  ::fcntl(pair[1], F_SETFL, ::fcntl(pair[1], F_GETFL) | O_NONBLOCK);
  socket_ = pair[0];
  SendAll(socket_, "NAME " + name + "\n");
  thread_ = std::thread([this] { Loop(); });
  return pair[1];
}

void KeyboardSeat::Loop() {
  // Ctrl-C and SIGTERM belong to the main thread, whose waits they cut short.
  sigset_t blocked;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGINT);
  sigaddset(&blocked, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &blocked, nullptr);

  std::string typed;
  while (!quit_) {
    pollfd fds[] = {{STDIN_FILENO, POLLIN, 0}, {socket_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (::poll(fds, 3, -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return;
    }
    if (fds[2].revents != 0) {
      return;
    }
    if (fds[1].revents != 0) {
      Drain();
    }
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
      return;  // the terminal has gone: nothing more will be typed
    }
    if (fds[0].revents & POLLIN) {
      char buffer[64];
      const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (got <= 0) {
        return;
      }
      typed.append(buffer, static_cast<std::size_t>(got));
      for (const Key key : TakeKeys(typed)) {
        if (key == Key::Quit) {
          quit_ = true;
          break;
        }
        if (socket_ >= 0) {
          SendAll(socket_, KeyLine(key));
        }
      }
    }
  }
  // Leaving: hanging up tells the server at once.
  if (socket_ >= 0) {
    ::shutdown(socket_, SHUT_RDWR);
  }
}

void KeyboardSeat::Drain() {
  char buffer[4096];
  const ssize_t got = ::recv(socket_, buffer, sizeof buffer, MSG_DONTWAIT);
  if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
    return;
  }
  if (got > 0) {
    heard_.append(buffer, static_cast<std::size_t>(got));
    if (heard_.size() > kGoodbye.size()) {
      heard_.erase(0, heard_.size() - kGoodbye.size());
    }
    if (heard_ != kGoodbye) {
      return;
    }
  }
  // The server said goodbye or hung up: close, so it need not wait for us.
  ::close(socket_);
  socket_ = -1;
}

std::string LoginName() {
  if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_name[0] != 0) {
    return entry->pw_name;
  }
  const char* user = std::getenv("USER");
  return user != nullptr && *user != 0 ? user : "human";
}

}  // namespace arena
