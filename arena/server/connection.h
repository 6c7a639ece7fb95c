// One client's TCP connection: a non-blocking socket with the bytes that have
// not yet made a line and the output the client has not yet taken. Owns the
// socket and closes it; movable, not copyable.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace arena {

struct Line {
  std::string text;
  bool overlong = false;  // the line passed kMaxLine and was dropped; text is empty
};

class Connection {
 public:
  static constexpr std::size_t kMaxLine = 4096;
  static constexpr std::size_t kMaxPending = std::size_t{1} << 20;

  explicit Connection(int fd) : fd_(fd) {}
  ~Connection();
  Connection(Connection&& other) noexcept;
  Connection& operator=(Connection&& other) noexcept;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  int Fd() const { return fd_; }
  // Takes one read's worth of what the socket holds, so one busy client
  // cannot keep the loop to itself. False once the peer has closed or failed.
  bool Receive();
  std::optional<Line> NextLine();
  // Queues text and sends what the socket takes now. False when the client
  // has fallen more than kMaxPending behind or the socket failed.
  bool Send(std::string_view text);
  // Queues text for the next Flush; false when the client has fallen more
  // than kMaxPending behind.
  bool Queue(std::string_view text);
  bool Flush();
  bool Pending() const { return !out_.empty(); }

 private:
  void Split();

  int fd_;
  std::string in_;
  bool discarding_ = false;  // inside an overlong line, up to its newline
  std::deque<Line> lines_;
  std::string out_;
};

}  // namespace arena
