// One TCP connection to the arena, read as lines and written a line at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sparring {

class Connection {
 public:
  // Connects to address:port (host byte order); nothing when that fails.
  static std::optional<Connection> Open(std::uint32_t address, std::uint16_t port);
  Connection(Connection&& other) noexcept;
  Connection& operator=(Connection&&) = delete;
  ~Connection();

  // The next line without its newline; nothing once the peer has gone.
  std::optional<std::string> ReadLine();
  // Whether the bytes already received hold `text`: a later block has
  // arrived while we were thinking about this one.
  bool Holds(std::string_view text) const {
    return buffer_.find(text, start_) != std::string::npos;
  }
  void Send(std::string_view line);

 private:
  explicit Connection(int fd) : fd_(fd) {}
  int fd_;
  std::string buffer_;
  std::size_t start_ = 0;  // where the unread bytes of buffer_ begin
};

// The address the four numbers name, each read like atoi, a part above 255
// carrying into the next byte as it does for our bot.
std::uint32_t AddressOf(const std::string& a, const std::string& b, const std::string& c,
                        const std::string& d);

}  // namespace sparring
