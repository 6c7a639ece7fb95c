// The bot's end of its one TCP connection to the game server: start-up and
// teardown of the socket, whole lines in through a receive buffer, whole lines
// out. The Client owns exactly one Network for the whole connection; it cannot
// be copied because it owns the socket.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "protocol/socket_platform.h"
#include "state/command.h"

class Network {
 public:
  using Command = ::Command;

  static constexpr std::uint16_t kPort = 54321;
  static constexpr std::size_t kChunk = 512;
  // A longer line is cut to this length and the rest of it, up to its newline,
  // is dropped, so an endless line cannot exhaust memory.
  static constexpr std::size_t kMaxLine = 64 * 1024;
  static constexpr std::string_view kDisconnect = "DISCONNECT";

  // Starts the socket library and connects to address:kPort, printing
  // "Networking started" and "Connection created" to `log` whatever the outcome.
  Network(std::uint32_t address, std::ostream& log);
  // Adopts a socket that is already connected; prints nothing until teardown.
  Network(platform::SocketHandle socket, std::ostream& log);
  // Closes the socket and releases the socket library, with their two lines.
  ~Network();

  Network(const Network&) = delete;
  Network& operator=(const Network&) = delete;

  // Empty when connected, else the system's reason the connect failed.
  const std::string& ConnectError() const { return connectError; }

  // The next line without its newline, or kDisconnect once the connection has
  // ended or failed (again on every later call). Blocks until one is there.
  // The view stays valid until the next call.
  std::string_view ReadLine();

  // Whether more of the server's stream is already here, or its end: a line
  // read now would not wait.
  bool InputWaiting() const;

  // Sends `text` and a newline as one line.
  void SendLine(std::string_view text);
  // Sends the command's wire text; Stay sends nothing.
  void Send(Command command);
  static std::string_view WireText(Command command);

 private:
  static constexpr std::size_t kOutgoingRoom = 256;

  void ReserveBuffers();

  std::ostream* log;
  platform::SocketHandle sock = platform::kNoSocket;
  std::string buffer;  // received bytes; those before `start` are handed out
  std::size_t start = 0;
  bool overlong = false;  // buffer holds the kept start of a line being cut
  std::string connectError;
  std::string outgoing;  // reused, so a send does not allocate each tick
};
