#include "loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

int ListenOnLoopback(const std::string& address) {
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_port = htons(54321);
  if (inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1 ||
      (ntohl(where.sin_addr.s_addr) >> 24) != 127) {
    throw std::runtime_error("test servers listen on loopback only: " + address);
  }
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  const int yes = 1;
  setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  if (bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 ||
      listen(listener, 1) != 0) {
    close(listener);
    throw std::runtime_error("cannot listen on " + address);
  }
  return listener;
}
