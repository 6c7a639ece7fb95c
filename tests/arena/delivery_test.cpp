// The server object on loopback against two clients that answer every other
// status block and stay silent in between, as a bot that stays put does: the
// silent tick leaves the client's acknowledgement delayed, which must not
// hold back the next block.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cstring>
#include <thread>

#include "line_client.h"
#include "server/match.h"
#include "server/server.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;  // the kernel's receive stamps are on it

// When the kernel received the data a recvmsg returned (its newest part).
Clock::time_point Stamp(msghdr& message) {
  for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
    if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMP) {
      timeval tv;
      std::memcpy(&tv, CMSG_DATA(c), sizeof tv);
      return Clock::time_point(std::chrono::duration_cast<Clock::duration>(
          std::chrono::seconds(tv.tv_sec) + std::chrono::microseconds(tv.tv_usec)));
    }
  }
  return Clock::now();
}

// Plays a client that answers blocks phase, phase + 2, ... with UP and no
// others; returns when each block reached its socket, so how soon the loaded
// machine lets this thread run does not count. A block read together with
// later data gets that data's stamp, which can only make it look later.
std::vector<Clock::time_point> Alternate(const std::string& address, int phase) {
  LineClient client(address, 54321);
  const int on = 1;
  setsockopt(client.Fd(), SOL_SOCKET, SO_TIMESTAMP, &on, sizeof on);
  client.Send("NAME alternating\n");
  std::vector<Clock::time_point> arrivals;
  std::string in;
  const auto deadline = Clock::now() + 20s;
  while (Clock::now() < deadline && in.find("DISCONNECT\n") == std::string::npos) {
    char data[65536];
    alignas(cmsghdr) char control[256];
    iovec chunk{data, sizeof data};
    msghdr message{};
    message.msg_iov = &chunk;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    pollfd p{client.Fd(), POLLIN, 0};
    const ssize_t n = poll(&p, 1, 2000) > 0 ? recvmsg(client.Fd(), &message, 0) : 0;
    if (n <= 0) {
      break;
    }
    in.append(data, static_cast<std::size_t>(n));
    for (std::size_t end; (end = in.find("ENDMAP\n")) != std::string::npos;) {
      in.erase(0, end + 7);
      arrivals.push_back(Stamp(message));
      if (arrivals.size() % 2 == static_cast<std::size_t>(phase)) {
        client.Send("UP\n");
      }
    }
  }
  return arrivals;
}

// Each block is compared with the moment the server sent it, so a tick the
// server woke late for does not count. A loaded machine still stalls a thread
// now and then (up to about 40 ms at once was seen, with a few blocks behind
// it): the blocks of 300 ms of such stalls may come later than half a tick.
// Held back for the client's acknowledgement, about a quarter of the blocks
// at 20 ms and three in five at 5 ms were.
void ExpectBlocksOnTime(const std::string& address, std::chrono::milliseconds tick, int ticks) {
  arena::MatchOptions mo;
  mo.players = 2;
  mo.rounds = 1;
  mo.maxTicks = ticks;
  arena::Match match(mo);
  arena::ServerOptions so;
  so.bind = address;
  so.tick = tick;
  arena::Server server(match, so);
  std::string error;
  ASSERT_TRUE(server.Listen(error)) << error;

  // The server sends every seat its block right after showing the tick.
  std::vector<Clock::time_point> sent;
  const auto limit = Clock::now() + 20s;
  std::thread loop([&] {
    server.Run([&] { return Clock::now() > limit; },
               [&](const arena::Snapshot& s) {
                 if (!s.roundOver) {
                   sent.push_back(Clock::now());
                 }
               });
  });
  std::vector<Clock::time_point> arrivals[2];
  std::thread first([&] { arrivals[0] = Alternate(address, 0); });
  std::thread second([&] { arrivals[1] = Alternate(address, 1); });
  first.join();
  second.join();
  loop.join();

  ASSERT_EQ(sent.size(), static_cast<std::size_t>(ticks));
  for (const auto& seat : arrivals) {
    ASSERT_EQ(seat.size(), sent.size());
    auto worst = 0us;
    int late = 0;
    for (std::size_t i = 0; i < seat.size(); ++i) {
      const auto after = std::chrono::duration_cast<std::chrono::microseconds>(seat[i] - sent[i]);
      worst = std::max(worst, after);
      late += after > tick / 2;
    }
    EXPECT_LE(late, 300ms / tick) << "the latest came " << worst.count() << " us after it was sent";
  }
}

TEST(Delivery, BlocksOnTheirTickAt20Ms) {
  ExpectBlocksOnTime("127.0.1.40", 20ms, 150);
}

TEST(Delivery, BlocksOnTheirTickAt5Ms) {
  ExpectBlocksOnTime("127.0.1.41", 5ms, 300);
}

}  // namespace
