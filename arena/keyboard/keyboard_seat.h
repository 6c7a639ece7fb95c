// The seat of the person at the terminal. It plays as a client of the arena's
// own server over a socket pair, so its commands meet exactly the rules a
// network client's do (one a tick, the last one wins). Owns a thread that
// turns keys on standard input into command lines and drains what the server
// sends; Start once, before the server runs; the destructor stops the thread.
#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace arena {

class KeyboardSeat {
 public:
  KeyboardSeat() = default;
  ~KeyboardSeat();
  KeyboardSeat(const KeyboardSeat&) = delete;
  KeyboardSeat& operator=(const KeyboardSeat&) = delete;

  // Names the player and starts reading keys. Returns the server's end of the
  // socket pair (non-blocking, the caller owns it), or -1 with `error` set.
  int Start(const std::string& name, std::string& error);
  // The player pressed q.
  bool Quit() const { return quit_; }

 private:
  void Loop();
  void Drain();

  int socket_ = -1;         // this seat's end
  int wake_[2] = {-1, -1};  // a byte on the pipe stops the thread
  std::thread thread_;
  std::atomic<bool> quit_{false};
  std::string heard_;  // the tail of what the server sent
};

// The login name, for --human without --human-name.
std::string LoginName();

}  // namespace arena
