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

// The receive buffer never holds more than the longest line and one chunk,
// and the bot's own lines are short: sized once, neither grows during play.
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
  char chunk[kChunk];
  for (;;) {
    // Drop what the previous call handed out; only now is its view dead.
    buffer.erase(0, start);
    start = 0;

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
    } else if (const std::size_t newline = buffer.find('\n'); newline != std::string::npos) {
      start = newline + 1;
      return std::string_view(buffer).substr(0, std::min(newline, kMaxLine));
    } else if (buffer.size() > kMaxLine) {
      overlong = true;
      buffer.resize(kMaxLine);
    }

    const long received = platform::Receive(sock, chunk, kChunk);
    if (received <= 0)
      return kDisconnect;
    buffer.append(chunk, static_cast<std::size_t>(received));
  }
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

bool Network::InputWaiting() const {
  return start < buffer.size() || platform::Readable(sock);
}
