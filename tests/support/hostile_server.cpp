#include "hostile_server.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "loopback.h"

namespace {

using Clock = std::chrono::steady_clock;

int MillisLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<long long>(left.count(), 0));
}

}  // namespace

HostilePeer::HostilePeer(int socket, Clock::time_point deadline)
    : socket(socket), deadline(deadline) {
  const int yes = 1;
  setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
}

HostilePeer::~HostilePeer() {
  Close();
}

bool HostilePeer::Wait(short events) {
  pollfd p{socket, events, 0};
  return socket >= 0 && poll(&p, 1, MillisLeft(deadline)) > 0;
}

bool HostilePeer::ReadSome() {
  char chunk[4096];
  const ssize_t got = recv(socket, chunk, sizeof chunk, MSG_DONTWAIT);
  if (got <= 0)
    return false;
  received.append(chunk, static_cast<std::size_t>(got));
  return true;
}

bool HostilePeer::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    if (!Wait(POLLOUT))
      return false;
    const ssize_t sent = send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0 && errno == EAGAIN)
      continue;
    if (sent <= 0)
      return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

bool HostilePeer::Trickle(std::string_view bytes, std::chrono::milliseconds pause) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (!Send(bytes.substr(i, 1)))
      return false;
    std::this_thread::sleep_for(pause);
  }
  return true;
}

bool HostilePeer::Flood(std::string_view pattern, std::size_t count) {
  std::string chunk;
  while (chunk.size() < 64 * 1024)
    chunk += pattern;
  for (std::size_t left = count; left > 0;) {
    const std::size_t piece = std::min(left, chunk.size());
    if (!Send(std::string_view(chunk).substr(0, piece)))
      return false;
    left -= piece;
  }
  return true;
}

bool HostilePeer::AwaitReceived(std::size_t count) {
  while (received.size() < count) {
    if (!Wait(POLLIN) || !ReadSome())
      return false;
  }
  return true;
}

void HostilePeer::Close() {
  if (socket < 0)
    return;
  shutdown(socket, SHUT_WR);
  while (Wait(POLLIN) && ReadSome()) {
  }
  close(socket);
  socket = -1;
}

void HostilePeer::Reset() {
  if (socket < 0)
    return;
  const linger abort{1, 0};
  setsockopt(socket, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  close(socket);
  socket = -1;
}

HostileServer::HostileServer(const std::string& address, Script script,
                             std::chrono::milliseconds limit)
    : listener(ListenOnLoopback(address)) {
  const Clock::time_point deadline = Clock::now() + limit;
  thread = std::thread([this, script = std::move(script), deadline] {
    pollfd p{listener, POLLIN, 0};
    if (poll(&p, 1, MillisLeft(deadline)) <= 0)
      return;
    HostilePeer peer(accept(listener, nullptr, nullptr), deadline);
    script(peer);
    peer.Close();
    received = peer.Received();
  });
}

HostileServer::~HostileServer() {
  Finish();
}

std::string HostileServer::Finish() {
  if (thread.joinable())
    thread.join();
  if (listener >= 0)
    close(listener);
  listener = -1;
  return received;
}

long PeakChildKiB() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_maxrss;
}
