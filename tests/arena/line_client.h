// A scripted game client on a loopback TCP connection: sends lines and reads
// the server's lines one by one, every read bounded by a deadline. Owns its
// socket.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class LineClient {
 public:
  // Connects to address:port, retrying until `limit` while the server starts.
  LineClient(const std::string& address, int port,
             std::chrono::milliseconds limit = std::chrono::seconds(5));
  ~LineClient();
  LineClient(const LineClient&) = delete;
  LineClient& operator=(const LineClient&) = delete;

  bool Connected() const { return fd_ >= 0; }
  // For a test that reads the socket itself rather than through ReadLine.
  int Fd() const { return fd_; }
  void Send(std::string_view bytes);
  // The next line without its newline; nothing once the server has closed
  // or `limit` has passed.
  std::optional<std::string> ReadLine(std::chrono::milliseconds limit = std::chrono::seconds(5));
  // Lines up to and including the first one equal to `last`.
  std::vector<std::string> ReadThrough(std::string_view last,
                                       std::chrono::milliseconds limit = std::chrono::seconds(5));
  // True when the server has closed the connection within `limit`.
  bool Closed(std::chrono::milliseconds limit = std::chrono::seconds(5));
  void Close();

 private:
  int fd_ = -1;
  std::string buffer_;
  bool eof_ = false;
};
