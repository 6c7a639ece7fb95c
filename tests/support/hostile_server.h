// A game server that misbehaves on purpose, for tests of the real bot. It
// listens on one loopback address (port 54321) before the bot starts, takes
// one connection and plays a script on its own thread: whole sends, one byte
// at a time, floods, waiting for the bot's bytes, a close or a reset (RST).
// Every wait ends at the deadline; Finish() joins the thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

class HostilePeer {
 public:
  HostilePeer(int socket, std::chrono::steady_clock::time_point deadline);
  ~HostilePeer();
  HostilePeer(const HostilePeer&) = delete;
  HostilePeer& operator=(const HostilePeer&) = delete;

  // Each returns false once the connection has failed or the deadline passed.
  bool Send(std::string_view bytes);
  // One send per byte with `pause` after each, so the bot gets them singly.
  bool Trickle(std::string_view bytes, std::chrono::milliseconds pause);
  // `pattern` again and again until `count` bytes have gone out.
  bool Flood(std::string_view pattern, std::size_t count);
  // Reads what the bot sends until at least `count` bytes have come in all.
  bool AwaitReceived(std::size_t count);

  // Ends the sending side, reads until the bot closes, and closes.
  void Close();
  // Aborts the connection: the bot sees a reset, not an orderly end.
  void Reset();

  const std::string& Received() const { return received; }

 private:
  bool Wait(short events);
  bool ReadSome();

  int socket;
  std::chrono::steady_clock::time_point deadline;
  std::string received;
};

class HostileServer {
 public:
  using Script = std::function<void(HostilePeer&)>;

  // Listens on `address` (127.x.y.z only) and serves one connection with
  // `script`; a script that neither closes nor resets is followed by Close().
  HostileServer(const std::string& address, Script script,
                std::chrono::milliseconds limit = std::chrono::seconds(60));
  ~HostileServer();
  HostileServer(const HostileServer&) = delete;
  HostileServer& operator=(const HostileServer&) = delete;

  // Waits for the script to end; everything the bot sent.
  std::string Finish();

 private:
  int listener = -1;
  std::string received;
  std::thread thread;
};

// The largest peak resident size, in KiB, of the child processes this process
// has waited for. CTest runs every test in a process of its own, so there it
// is the peak of the test's own bot.
long PeakChildKiB();
