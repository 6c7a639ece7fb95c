// The bot's end of its one TCP connection to the game server: start-up and
// teardown of the socket, whole lines in through a receive buffer, whole lines
// out. The Client owns exactly one Network for the whole connection; it cannot
// be copied because it owns the socket. Fuzzing and tests may feed it the
// server's stream from memory instead.
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
  // The most unread bytes ReadAhead holds; a newer block longer than this
  // is not looked for, so memory stays bounded.
  static constexpr std::size_t kReadAhead = 4 << 20;

  // Starts the socket library and connects to address:kPort, printing
  // "Networking started" and "Connection created" to `log` whatever the outcome.
  Network(std::uint32_t address, std::ostream& log);
  // Adopts a socket that is already connected; prints nothing until teardown.
  Network(platform::SocketHandle socket, std::ostream& log);
  // Reads `stream` (which must outlive it) in chunks as a socket would hand
  // them out, then the end of the connection; sends go nowhere.
  Network(std::string_view stream, std::ostream& log);
  // Closes the socket and releases the socket library, with their two lines.
  ~Network();

  Network(const Network&) = delete;
  Network& operator=(const Network&) = delete;

  // Empty when connected, else the system's reason the connect failed.
  const std::string& ConnectError() const { return connectError; }

  // The next line without its newline, or kDisconnect once the connection has
  // ended or failed (again on every later call). Blocks until one is there.
  // The view stays valid until the next call of ReadLine or ReadAhead.
  std::string_view ReadLine();

  // Takes in what has already arrived, without waiting, until kReadAhead
  // bytes are unread, and returns the whole lines among them (newlines
  // included), which ReadLine will hand out next. Valid until the next call.
  std::string_view ReadAhead();

  // Sends `text` and a newline as one line.
  void SendLine(std::string_view text);
  // Sends the command's wire text; Stay sends nothing.
  void Send(Command command);
  static std::string_view WireText(Command command);

 private:
  static constexpr std::size_t kOutgoingRoom = 256;
  static constexpr std::size_t kReadAheadPiece = 16 * 1024;

  void ReserveBuffers();
  // As platform::Receive, from the socket or else from `memory`.
  long Receive(char* data, std::size_t size);
  // Whether Receive would return at once.
  bool Arrived() const;

  std::ostream* log;
  platform::SocketHandle sock = platform::kNoSocket;
  std::string_view memory;  // the stream still to come, when there is no socket
  std::string buffer;       // received bytes; those before `start` are handed out
  std::size_t start = 0;
  bool overlong = false;  // buffer holds the kept start of a line being cut
  std::string connectError;
  std::string outgoing;  // reused, so a send does not allocate each tick
};
