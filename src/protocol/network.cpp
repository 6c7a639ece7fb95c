#include "protocol/network.h"

#include <algorithm>

Network::Network(std::uint32_t address, std::ostream& log) : log(&log) {
  ReserveBuffers();
  platform::StartSockets();
  // Each start-up line is flushed, so a log on a pipe shows the bot waiting
  // for its connection or its first map.
  log << "Networking started\n" << std::flush;
  sock = platform::OpenTcpSocket();
  connectError = sock == platform::kNoSocket ? std::string("no socket could be created")
                                             : platform::Connect(sock, address, kPort);
  log << "Connection created\n" << std::flush;
}

Network::Network(platform::SocketHandle socket, std::ostream& log) : log(&log), sock(socket) {
  ReserveBuffers();
  platform::StartSockets();
}

Network::Network(std::string_view stream, std::ostream& log) : log(&log), memory(stream) {
  ReserveBuffers();
  platform::StartSockets();
}

// The receive buffer holds at most the longest line and one chunk until the
// search reads ahead, and the bot's own lines are short: sized once, neither
// grows during the one-tick bot's play.
void Network::ReserveBuffers() {
  buffer.reserve(kMaxLine + kChunk);
  outgoing.reserve(kOutgoingRoom);
}

Network::~Network() {
  platform::CloseSocket(sock);
  *log << "Connection closed\n";
  platform::StopSockets();
  *log << "Networking stopped\n" << std::flush;
}

std::string_view Network::ReadLine() {
  for (;;) {
    if (overlong) {
      // buffer holds the first kMaxLine bytes of a longer line; the rest is
      // dropped as it comes. The cut line counts only once its newline is in.
      const std::size_t newline = buffer.find('\n', kMaxLine);
      if (newline != std::string::npos) {
        overlong = false;
        start = newline + 1;
        return std::string_view(buffer).substr(0, kMaxLine);
      }
      buffer.resize(kMaxLine);
    } else if (const std::size_t newline = buffer.find('\n', start); newline != std::string::npos) {
      // The handed-out front stays until more must be received, so a buffer
      // read ahead is not moved line by line.
      const std::string_view line =
          std::string_view(buffer).substr(start, std::min(newline - start, kMaxLine));
      start = newline + 1;
      return line;
    } else {
      buffer.erase(0, start);
      start = 0;
      if (buffer.size() > kMaxLine) {
        overlong = true;
        buffer.resize(kMaxLine);
      }
    }

    char chunk[kChunk];
    const long received = Receive(chunk, kChunk);
    if (received <= 0)
      return kDisconnect;
    buffer.append(chunk, static_cast<std::size_t>(received));
  }
}

std::string_view Network::ReadAhead() {
  if (overlong)
    return {};
  // Moved only once more has been handed out than is left, so each byte is
  // moved a bounded number of times and the buffer stays within twice the
  // read-ahead; it grows to that only for a server that runs that far ahead.
  if (start > buffer.size() - start) {
    buffer.erase(0, start);
    start = 0;
  }
  char piece[kReadAheadPiece];
  while (buffer.size() - start < kReadAhead && Arrived()) {
    const long received =
        Receive(piece, std::min(kReadAheadPiece, kReadAhead - (buffer.size() - start)));
    // The end of the stream is met again, and reported, by ReadLine.
    if (received <= 0)
      break;
    buffer.append(piece, static_cast<std::size_t>(received));
  }
  const std::string_view unread = std::string_view(buffer).substr(start);
  return unread.substr(0, unread.rfind('\n') + 1);
}

long Network::Receive(char* data, std::size_t size) {
  if (sock != platform::kNoSocket)
    return platform::Receive(sock, data, size);
  const std::size_t taken = std::min(size, memory.size());
  std::copy_n(memory.data(), taken, data);
  memory.remove_prefix(taken);
  return static_cast<long>(taken);
}

bool Network::Arrived() const {
  return sock == platform::kNoSocket || platform::Readable(sock);
}

void Network::SendLine(std::string_view text) {
  outgoing.assign(text);
  outgoing += '\n';
  // A lost line is noticed by the next read, which then reports the end.
  platform::SendAll(sock, outgoing.data(), outgoing.size());
}

void Network::Send(Command command) {
  const std::string_view text = WireText(command);
  if (!text.empty())
    platform::SendAll(sock, text.data(), text.size());
}

std::string_view Network::WireText(Command command) {
  switch (command) {
    case Command::Up:
      return "UP\n";
    case Command::Down:
      return "DOWN\n";
    case Command::Left:
      return "LEFT\n";
    case Command::Right:
      return "RIGHT\n";
    case Command::DropBomb:
      return "BOMB\n";
    case Command::Stay:
      break;
  }
  return {};
}
