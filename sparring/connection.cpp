#include "connection.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace sparring {

std::optional<Connection> Connection::Open(std::uint32_t address, std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) {
    return std::nullopt;
  }
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = htonl(address);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
    ::close(fd);
    return std::nullopt;
  }
  // A command is one small line a tick: send it at once, not batched.
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return Connection(fd);
}

Connection::Connection(Connection&& other) noexcept
    : fd_(other.fd_), buffer_(std::move(other.buffer_)), start_(other.start_) {
  other.fd_ = -1;
}

Connection::~Connection() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

std::optional<std::string> Connection::ReadLine() {
  std::size_t end;
  while ((end = buffer_.find('\n', start_)) == std::string::npos) {
    buffer_.erase(0, start_);
    start_ = 0;
    char chunk[4096];
    const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      return std::nullopt;
    }
    buffer_.append(chunk, static_cast<std::size_t>(got));
  }
  std::string line = buffer_.substr(start_, end - start_);
  start_ = end + 1;
  return line;
}

void Connection::Send(std::string_view line) {
  std::string text(line);
  text += '\n';
  std::size_t sent = 0;
  while (sent < text.size()) {
    const ssize_t n = ::send(fd_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return;  // the peer has gone; the next read says so
    }
    sent += static_cast<std::size_t>(n);
  }
}

std::uint32_t AddressOf(const std::string& a, const std::string& b, const std::string& c,
                        const std::string& d) {
  const auto part = [](const std::string& s) {
    const long long n = std::strtoll(s.c_str(), nullptr, 10);
    return static_cast<std::uint32_t>(std::clamp<long long>(n, INT_MIN, INT_MAX));
  };
  return (part(a) << 24) + (part(b) << 16) + (part(c) << 8) + part(d);
}

}  // namespace sparring
