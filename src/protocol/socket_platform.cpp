#include "protocol/socket_platform.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#endif

namespace platform {

#ifdef _WIN32

void StartSockets() {
  WSADATA data;
  WSAStartup(0x0202, &data);
}

void StopSockets() {
  WSACleanup();
}

SocketHandle OpenTcpSocket() {
  return static_cast<SocketHandle>(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
}

std::string Connect(SocketHandle socket, std::uint32_t address, std::uint16_t port) {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  target.sin_addr.s_addr = htonl(address);
  if (connect(static_cast<SOCKET>(socket), reinterpret_cast<const sockaddr*>(&target),
              sizeof target) == 0) {
    const BOOL on = TRUE;
    setsockopt(static_cast<SOCKET>(socket), IPPROTO_TCP, TCP_NODELAY,
               reinterpret_cast<const char*>(&on), sizeof on);
    return {};
  }
  return "Windows Sockets error " + std::to_string(WSAGetLastError());
}

long Receive(SocketHandle socket, char* data, std::size_t size) {
  return recv(static_cast<SOCKET>(socket), data, static_cast<int>(size), 0);
}

bool Readable(SocketHandle socket) {
  fd_set read;
  FD_ZERO(&read);
  FD_SET(static_cast<SOCKET>(socket), &read);
  timeval now{0, 0};
  return select(0, &read, nullptr, nullptr, &now) > 0;
}

bool SendAll(SocketHandle socket, const char* data, std::size_t size) {
  while (size > 0) {
    const int sent = send(static_cast<SOCKET>(socket), data, static_cast<int>(size), 0);
    if (sent <= 0)
      return false;
    data += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

void CloseSocket(SocketHandle socket) {
  if (socket != kNoSocket)
    closesocket(static_cast<SOCKET>(socket));
}

#else

void StartSockets() {}

void StopSockets() {}

SocketHandle OpenTcpSocket() {
  return socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
}

std::string Connect(SocketHandle socket, std::uint32_t address, std::uint16_t port) {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  target.sin_addr.s_addr = htonl(address);
  if (connect(socket, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
    const int on = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return {};
  }
  return std::strerror(errno);
}

long Receive(SocketHandle socket, char* data, std::size_t size) {
  ssize_t received;
  do {
    received = recv(socket, data, size, 0);
  } while (received < 0 && errno == EINTR);
  return static_cast<long>(received);
}

bool Readable(SocketHandle socket) {
  pollfd wait{socket, POLLIN, 0};
  int ready;
  do {
    ready = poll(&wait, 1, 0);
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

bool SendAll(SocketHandle socket, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t sent = send(socket, data, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR)
      continue;
    if (sent <= 0)
      return false;
    data += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

void CloseSocket(SocketHandle socket) {
  if (socket != kNoSocket)
    close(socket);
}

#endif

}  // namespace platform
