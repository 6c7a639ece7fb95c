// The game server: one listening socket and one Connection per client, all
// non-blocking on a single poll() loop that also keeps the tick clock. The
// Server owns the sockets; the Match it is given owns the game.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "server/connection.h"
#include "server/match.h"

namespace arena {

struct ServerOptions {
  std::string bind = "127.0.0.1";
  int port = 54321;
  std::chrono::milliseconds tick{150};
  std::chrono::milliseconds nameWait{2000};     // then an unnamed client is "player<id>"
  std::chrono::milliseconds goodbyeWait{2000};  // for clients to close after DISCONNECT
};

class Server {
 public:
  Server(Match& match, ServerOptions options);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds and listens; on failure `error` says why.
  bool Listen(std::string& error);
  // Seats a client whose connected, non-blocking socket the caller made (the
  // keyboard seat) in the next free seat, as if it had connected; call before
  // Run. The server owns the socket from then on.
  void Adopt(int fd);
  // Waits for every seat, plays the match and says goodbye. `stop` is asked
  // between polls; `show` gets every tick's snapshot.
  void Run(const std::function<bool()>& stop, const std::function<void(const Snapshot&)>& show);
  // False while the seats are still filling.
  bool Playing() const { return playing_; }
  // Clients connected so far; before the game, seat i is the i-th of them.
  int Joined() const { return static_cast<int>(clients_.size()); }

 private:
  using Clock = std::chrono::steady_clock;

  struct Client {
    Connection connection;
    Clock::time_point joined;
    std::string name;
    bool named = false;
    int ignored = 0;  // before the game starts
    bool open = true;
  };

  bool Lobby(const std::function<bool()>& stop);
  void Play(const std::function<bool()>& stop, const std::function<void(const Snapshot&)>& show);
  void Farewell();

  // Waits for socket events until `until` at the latest.
  void Poll(Clock::time_point until, bool accepting);
  void Accept(bool accepting);
  void HandleLobbyLine(Client& c, const Line& line);
  void SendTo(int seat, std::string_view text);
  void Drop(int seat);
  void StartRound(const std::function<void(const Snapshot&)>& show);

  Match& match_;
  ServerOptions options_;
  int listener_ = -1;
  std::vector<Client> clients_;  // index = seat once the game has started
  bool playing_ = false;
  bool farewell_ = false;  // DISCONNECT sent: a client closing now is no disconnect
};

}  // namespace arena
