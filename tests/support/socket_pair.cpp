#include "socket_pair.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <stdexcept>

SocketPair::SocketPair() {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0)
    throw std::runtime_error("socketpair");
  bot = ends[0];
  server = ends[1];
}

SocketPair::~SocketPair() {
  if (bot >= 0)
    close(bot);
  CloseServer();
}

int SocketPair::TakeBotEnd() {
  const int end = bot;
  bot = -1;
  return end;
}

void SocketPair::Send(std::string_view bytes) const {
  while (!bytes.empty()) {
    const ssize_t sent = send(server, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0)
      throw std::runtime_error("send");
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

void SocketPair::CloseServer() {
  if (server >= 0)
    close(server);
  server = -1;
}

void SocketPair::LimitBotWait(int millis) const {
  timeval limit{millis / 1000, (millis % 1000) * 1000};
  setsockopt(bot, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
}

std::string_view SocketPair::Drain() {
  char chunk[4096];
  for (;;) {
    const ssize_t got = recv(server, chunk, sizeof chunk, MSG_DONTWAIT);
    if (got <= 0)
      break;
    received.append(chunk, static_cast<std::size_t>(got));
  }
  return received;
}
