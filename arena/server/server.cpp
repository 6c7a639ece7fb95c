#include "server/server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "server/client_line.h"

namespace arena {

Server::Server(Match& match, ServerOptions options) : match_(match), options_(std::move(options)) {}

Server::~Server() {
  if (listener_ >= 0) {
    ::close(listener_);
  }
}

bool Server::Listen(std::string& error) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(options_.port));
  if (::inet_pton(AF_INET, options_.bind.c_str(), &address.sin_addr) != 1) {
    error = "not an IPv4 address: " + options_.bind;
    return false;
  }
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listener_ < 0) {
    error = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  const int on = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 16) != 0) {
    error = "cannot listen on " + options_.bind + ":" + std::to_string(options_.port) + ": " +
            std::strerror(errno);
    return false;
  }
  return true;
}

void Server::Adopt(int fd) {
  clients_.push_back(Client{Connection(fd), Clock::now(), "", false, 0, true});
}

void Server::Run(const std::function<bool()>& stop,
                 const std::function<void(const Snapshot&)>& show) {
  if (Lobby(stop)) {
    Play(stop, show);
  }
  Farewell();
}

bool Server::Lobby(const std::function<bool()>& stop) {
  while (!stop()) {
    const auto now = Clock::now();
    auto until = now + std::chrono::milliseconds(200);
    bool ready = static_cast<int>(clients_.size()) == match_.Seats();
    for (Client& c : clients_) {
      if (!c.named && now - c.joined >= options_.nameWait) {
        c.named = true;
      }
      if (!c.named) {
        ready = false;
        until = std::min(until, c.joined + options_.nameWait);
      }
    }
    if (ready) {
      break;
    }
    Poll(until, true);
    std::erase_if(clients_, [](const Client& c) { return !c.open; });
  }
  if (stop()) {
    return false;
  }
  playing_ = true;
  for (std::size_t seat = 0; seat < clients_.size(); ++seat) {
    const int id = static_cast<int>(seat);
    if (!clients_[seat].name.empty()) {
      match_.SetName(id, clients_[seat].name);
    }
    for (int i = 0; i < clients_[seat].ignored; ++i) {
      match_.Ignore(id);
    }
  }
  return true;
}

void Server::Play(const std::function<bool()>& stop,
                  const std::function<void(const Snapshot&)>& show) {
  StartRound(show);
  auto next = Clock::now() + options_.tick;
  while (!stop()) {
    // A round ends by a tick or by clients leaving between ticks.
    if (match_.RoundOver()) {
      show(match_.TakeSnapshot());
      for (int seat = 0; seat < match_.Seats(); ++seat) {
        SendTo(seat, "ENDOFROUND\n");
      }
      if (match_.Finished()) {
        return;
      }
      StartRound(show);
      next = Clock::now() + options_.tick;
      continue;
    }
    Poll(next, false);
    if (Clock::now() < next || match_.RoundOver()) {
      continue;
    }
    // A late tick starts the clock afresh rather than bunching ticks to catch up.
    next = std::max(next + options_.tick, Clock::now());
    const TickOutcome outcome = match_.Step();
    for (const Death& d : outcome.deaths) {
      SendTo(d.victim, "DEAD\n");
    }
    if (!match_.RoundOver()) {
      show(match_.TakeSnapshot());
      for (int seat = 0; seat < match_.Seats(); ++seat) {
        if (match_.Alive(seat)) {
          SendTo(seat, match_.StatusBlock(seat));
        }
      }
    }
  }
}

void Server::StartRound(const std::function<void(const Snapshot&)>& show) {
  match_.StartRound();
  show(match_.TakeSnapshot());
  for (int seat = 0; seat < match_.Seats(); ++seat) {
    if (match_.Alive(seat)) {
      SendTo(seat, match_.StatusBlock(seat));
    }
  }
}

void Server::Farewell() {
  for (int seat = 0; seat < static_cast<int>(clients_.size()); ++seat) {
    SendTo(seat, "DISCONNECT\n");
  }
  farewell_ = true;
  // Wait for the clients to hang up first: closing a socket with their last
  // commands still unread would reset the connection and could destroy lines
  // they have not yet read, the goodbye among them.
  const auto deadline = Clock::now() + options_.goodbyeWait;
  while (Clock::now() < deadline &&
         std::any_of(clients_.begin(), clients_.end(), [](const Client& c) { return c.open; })) {
    Poll(deadline, false);
  }
  clients_.clear();
}

void Server::Poll(Clock::time_point until, bool accepting) {
  // What the tick queued for each client goes out in one write: the block,
  // or DEAD, ENDOFROUND and the next round's first block together.
  for (int seat = 0; seat < static_cast<int>(clients_.size()); ++seat) {
    Client& c = clients_[static_cast<std::size_t>(seat)];
    if (c.open && c.connection.Pending() && !c.connection.Flush()) {
      Drop(seat);
    }
  }
  std::vector<pollfd> fds;
  fds.push_back(pollfd{listener_, POLLIN, 0});
  for (const Client& c : clients_) {
    const short events = c.connection.Pending() ? POLLIN | POLLOUT : POLLIN;
    fds.push_back(pollfd{c.open ? c.connection.Fd() : -1, events, 0});
  }
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
  const int ready =
      ::poll(fds.data(), fds.size(), static_cast<int>(std::max<long>(0, wait.count())));
  if (ready <= 0) {
    return;  // timed out, or a signal arrived: the caller looks at the clock and the flag
  }
  if (fds[0].revents & POLLIN) {
    Accept(accepting);
  }
  for (std::size_t i = 1; i < fds.size(); ++i) {
    const int seat = static_cast<int>(i - 1);
    Client& c = clients_[static_cast<std::size_t>(seat)];
    if (!c.open || fds[i].revents == 0) {
      continue;
    }
    if ((fds[i].revents & POLLOUT) && !c.connection.Flush()) {
      Drop(seat);
      continue;
    }
    if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) {
      const bool alive = c.connection.Receive();
      while (const auto line = c.connection.NextLine()) {
        if (playing_) {
          PlayLine(match_, seat, *line);
        } else {
          HandleLobbyLine(c, *line);
        }
      }
      if (!alive) {
        Drop(seat);
      }
    }
  }
}

void Server::Accept(bool accepting) {
  for (;;) {
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      return;
    }
    // A status block is due the moment it is written, whether or not the
    // client has acknowledged the one before: a client that stayed silent
    // last tick leaves its acknowledgement delayed, and Nagle's algorithm
    // would hold the block until then, a tick or more late.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    Connection connection(fd);
    if (!accepting || static_cast<int>(clients_.size()) >= match_.Seats()) {
      // Every seat is taken: tell the latecomer so a bot exits at once.
      connection.Send("DISCONNECT\n");
      continue;
    }
    clients_.push_back(Client{std::move(connection), Clock::now(), "", false, 0, true});
  }
}

void Server::HandleLobbyLine(Client& c, const Line& line) {
  const std::optional<std::string_view> name = NameIn(line);
  if (!c.named && name) {
    c.name = *name;
  } else {
    ++c.ignored;
  }
  c.named = true;
}

void Server::SendTo(int seat, std::string_view text) {
  Client& c = clients_[static_cast<std::size_t>(seat)];
  if (c.open && !c.connection.Queue(text)) {
    Drop(seat);
  }
}

void Server::Drop(int seat) {
  Client& c = clients_[static_cast<std::size_t>(seat)];
  if (!c.open) {
    return;
  }
  c.open = false;
  c.connection = Connection(-1);
  if (playing_ && !farewell_) {
    match_.Leave(seat);
  }
}

}  // namespace arena
