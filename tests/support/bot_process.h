// Runs the real bot binary (found through MARROWLARK_BIN) as a child process,
// optionally against a scripted game server on a loopback address, and hands
// back what it printed, what it sent and how it ended. Every wait is bounded.
#pragma once

#include <chrono>
#include <string>
#include <vector>

struct BotRun {
  std::string out;     // standard output
  std::string err;     // standard error
  std::string sent;    // every byte the bot sent to the server
  int status = -1000;  // exit status 0..255, or -signal when killed
  bool timedOut = false;
};

// The bot started with `arguments`, no server involved.
BotRun RunBot(const std::vector<std::string>& arguments,
              std::chrono::milliseconds limit = std::chrono::seconds(20));

struct ScriptedServer {
  std::string address = "127.0.0.2";   // where to listen, port 54321; loopback only
  std::string stream;                  // everything sent to the bot, then the sending side is shut
  std::size_t chunk = 0;               // sent in pieces of this many bytes (0: at once)
  std::chrono::milliseconds pause{0};  // between pieces
  std::chrono::milliseconds limit = std::chrono::seconds(20);
};

// Listens, starts the bot against the server's address, plays the script and
// reads everything the bot sends until it closes.
BotRun PlayAgainst(const ScriptedServer& server);

// A server that holds the connection open between the steps of its script:
// each step sends its bytes, then waits until the bot's standard output (its
// times masked) ends with `until`, or `wait` has passed.
struct Step {
  std::string send;
  std::string until;
};
struct SteppedRun : BotRun {
  std::vector<std::string> outs;   // standard output (times masked) as each step ended
  std::vector<std::string> sents;  // the bytes the bot had sent by then
};
SteppedRun PlaySteps(const std::string& address, const std::vector<Step>& steps,
                     std::chrono::milliseconds wait = std::chrono::seconds(3));

// Replaces every number after "Time: " with "#", since it varies.
std::string MaskTimes(const std::string& log);
