// The operating system's socket calls, behind one small seam: BSD sockets on
// POSIX systems, Windows Sockets under _WIN32. Nothing else in the bot names a
// platform socket call, so a Windows build swaps only this file's body.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

#ifdef _WIN32
using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle kNoSocket = ~SocketHandle{0};
#else
using SocketHandle = int;
inline constexpr SocketHandle kNoSocket = -1;
#endif

// Socket library start-up (version 2.2) and clean-up; nothing to do on POSIX.
void StartSockets();
void StopSockets();

// A blocking IPv4 TCP stream socket, or kNoSocket.
SocketHandle OpenTcpSocket();

// Connects to address:port (both in host byte order). Returns the empty
// string on success, otherwise the system's reason. Nagle's algorithm is
// turned off: with it, one answer that reached the server after its tick
// held back every later one until the next block acknowledged it: a bot
// that answers tick after tick stayed a tick late from then on.
std::string Connect(SocketHandle socket, std::uint32_t address, std::uint16_t port);

// Up to `size` bytes: the count received, 0 when the peer has closed, below 0
// when the connection failed. A receive interrupted by a signal is retried.
long Receive(SocketHandle socket, char* data, std::size_t size);

// Whether a receive would return at once: bytes, a close or an error wait.
bool Readable(SocketHandle socket);

// Sends every byte, going on after partial sends; false when the connection
// fails. A peer that has gone never raises SIGPIPE.
bool SendAll(SocketHandle socket, const char* data, std::size_t size);

void CloseSocket(SocketHandle socket);

}  // namespace platform
