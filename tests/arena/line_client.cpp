#include "line_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

using Clock = std::chrono::steady_clock;

LineClient::LineClient(const std::string& address, int port, std::chrono::milliseconds limit) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<std::uint16_t>(port));
  inet_pton(AF_INET, address.c_str(), &to.sin_addr);
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    if (connect(fd_, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) {
      return;
    }
    close(fd_);
    fd_ = -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

LineClient::~LineClient() {
  Close();
}

void LineClient::Close() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
}

void LineClient::Send(std::string_view bytes) {
  if (fd_ >= 0) {
    send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  }
}

std::optional<std::string> LineClient::ReadLine(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  for (;;) {
    const auto nl = buffer_.find('\n');
    if (nl != std::string::npos) {
      std::string line = buffer_.substr(0, nl);
      buffer_.erase(0, nl + 1);
      return line;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (eof_ || fd_ < 0 || left.count() <= 0) {
      return std::nullopt;
    }
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) {
      continue;
    }
    char chunk[4096];
    const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
    if (n <= 0) {
      eof_ = true;
    } else {
      buffer_.append(chunk, static_cast<std::size_t>(n));
    }
  }
}

std::vector<std::string> LineClient::ReadThrough(std::string_view last,
                                                 std::chrono::milliseconds limit) {
  std::vector<std::string> lines;
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    const auto line =
        ReadLine(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
    if (!line) {
      break;
    }
    lines.push_back(*line);
    if (*line == last) {
      break;
    }
  }
  return lines;
}

bool LineClient::Closed(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    if (!ReadLine(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()))) {
      return eof_;
    }
  }
  return eof_;
}
