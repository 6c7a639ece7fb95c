#include "feed.h"

#include <sys/socket.h>

void SendAll(int socket, std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const ssize_t n = send(socket, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
    if (n <= 0)
      return;
    at += static_cast<std::size_t>(n);
  }
}
