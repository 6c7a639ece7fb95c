// A connected pair of stream sockets for tests: the bot's end goes into a
// Network, the test plays the server on the other.
#pragma once

#include <string>
#include <string_view>

struct SocketPair {
  SocketPair();
  ~SocketPair();
  SocketPair(const SocketPair&) = delete;
  SocketPair& operator=(const SocketPair&) = delete;

  // Hands the bot's end over (to a Network, which closes it).
  int TakeBotEnd();
  // Writes all of `bytes` from the server's end.
  void Send(std::string_view bytes) const;
  // Closes the server's end: the bot's reads then see the end of the stream.
  void CloseServer();
  // Makes a blocking receive on the bot's end give up after `millis`.
  void LimitBotWait(int millis) const;
  // Everything the bot has sent so far, without waiting for more.
  std::string_view Drain();

  int bot = -1;
  int server = -1;
  std::string received;
};
