#include "server/connection.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace arena {

Connection::~Connection() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

Connection::Connection(Connection&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      in_(std::move(other.in_)),
      discarding_(other.discarding_),
      lines_(std::move(other.lines_)),
      out_(std::move(other.out_)) {}

Connection& Connection::operator=(Connection&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    fd_ = std::exchange(other.fd_, -1);
    in_ = std::move(other.in_);
    discarding_ = other.discarding_;
    lines_ = std::move(other.lines_);
    out_ = std::move(other.out_);
  }
  return *this;
}

bool Connection::Receive() {
  char chunk[65536];
  const ssize_t n = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
  if (n < 0) {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
  }
  if (n == 0) {
    return false;
  }
  in_.append(chunk, static_cast<std::size_t>(n));
  Split();
  return true;
}

void Connection::Split() {
  std::size_t start = 0;
  for (std::size_t nl; (nl = in_.find('\n', start)) != std::string::npos; start = nl + 1) {
    const std::size_t length = nl - start;
    if (discarding_ || length > kMaxLine) {
      lines_.push_back(Line{"", true});
      discarding_ = false;
    } else {
      lines_.push_back(Line{in_.substr(start, length), false});
    }
  }
  in_.erase(0, start);
  // No newline in sight yet: the line is already too long, so its bytes need
  // not be kept at all.
  if (in_.size() > kMaxLine) {
    discarding_ = true;
    in_.clear();
  }
}

std::optional<Line> Connection::NextLine() {
  if (lines_.empty()) {
    return std::nullopt;
  }
  Line line = std::move(lines_.front());
  lines_.pop_front();
  return line;
}

bool Connection::Send(std::string_view text) {
  return Queue(text) && Flush();
}

bool Connection::Queue(std::string_view text) {
  if (out_.size() + text.size() > kMaxPending) {
    return false;
  }
  out_.append(text);
  return true;
}

bool Connection::Flush() {
  while (!out_.empty()) {
    const ssize_t n = ::send(fd_, out_.data(), out_.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      out_.erase(0, static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
  }
  return true;
}

}  // namespace arena
