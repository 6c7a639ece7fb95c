#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "server/connection.h"

using arena::Connection;

namespace {

// A connected loopback pair: the client's plain socket and the server's
// non-blocking one, wrapped in a Connection.
struct Pair {
  int client = -1;
  std::optional<Connection> server;
  ~Pair() {
    if (client >= 0) {
      close(client);
    }
  }
};

void MakePair(const char* address, Pair& pair) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  inet_pton(AF_INET, address, &a.sin_addr);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  socklen_t length = sizeof a;
  getsockname(listener, reinterpret_cast<sockaddr*>(&a), &length);
  ASSERT_EQ(listen(listener, 1), 0);
  pair.client = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(connect(pair.client, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  const int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK);
  close(listener);
  ASSERT_GE(fd, 0);
  pair.server.emplace(fd);
}

void Write(int fd, const std::string& bytes) {
  ASSERT_EQ(send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
}

// Receives until `count` lines are ready or a bounded number of polls passed.
std::vector<arena::Line> Lines(Connection& c, std::size_t count) {
  std::vector<arena::Line> lines;
  for (int i = 0; i < 200 && lines.size() < count; ++i) {
    pollfd p{c.Fd(), POLLIN, 0};
    poll(&p, 1, 10);
    if (!c.Receive()) {
      break;
    }
    while (auto line = c.NextLine()) {
      lines.push_back(*line);
    }
  }
  return lines;
}

TEST(Connection, JoinsSplitsAndKeepsEmptyLines) {
  Pair p;
  MakePair("127.0.1.20", p);
  Write(p.client, "UP\nDO");
  Write(p.client, "WN\n\nSAY a\r\n");
  const auto lines = Lines(*p.server, 4);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].text, "UP");
  EXPECT_EQ(lines[1].text, "DOWN");
  EXPECT_EQ(lines[2].text, "");
  EXPECT_EQ(lines[3].text, "SAY a\r");
  for (const auto& l : lines) {
    EXPECT_FALSE(l.overlong);
  }
}

TEST(Connection, LinesOver4KiBAreDroppedAndTheNextOneStillArrives) {
  Pair p;
  MakePair("127.0.1.21", p);
  const std::string longest(Connection::kMaxLine, 'a');
  Write(p.client, longest + "\n");
  Write(p.client, std::string(Connection::kMaxLine + 1, 'b') + "\nLEFT\n");
  // Far too long and in many pieces: never buffered whole.
  for (int i = 0; i < 40; ++i) {
    Write(p.client, std::string(1000, 'c'));
  }
  Write(p.client, "\nRIGHT\n");
  const auto lines = Lines(*p.server, 5);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].text, longest);
  EXPECT_FALSE(lines[0].overlong);
  EXPECT_TRUE(lines[1].overlong);
  EXPECT_EQ(lines[1].text, "");
  EXPECT_EQ(lines[2].text, "LEFT");
  EXPECT_TRUE(lines[3].overlong);
  EXPECT_EQ(lines[4].text, "RIGHT");
}

TEST(Connection, ClosedPeerEndsReceiving) {
  Pair p;
  MakePair("127.0.1.22", p);
  Write(p.client, "BOMB\npartial");
  close(p.client);
  p.client = -1;
  const auto lines = Lines(*p.server, 1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, "BOMB");
  bool ended = false;
  for (int i = 0; i < 100 && !ended; ++i) {
    pollfd fd{p.server->Fd(), POLLIN, 0};
    poll(&fd, 1, 10);
    ended = !p.server->Receive();
  }
  EXPECT_TRUE(ended);
  EXPECT_FALSE(p.server->NextLine());  // the unfinished line is never handed out
}

TEST(Connection, AClientThatNeverReadsIsCutOffPastTheCap) {
  Pair p;
  MakePair("127.0.1.23", p);
  const int small = 4096;
  setsockopt(p.client, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  setsockopt(p.server->Fd(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
  const std::string block(64 * 1024, 'x');
  int sent = 0;
  while (sent < 200 && p.server->Send(block)) {
    ++sent;
  }
  EXPECT_LT(sent, 200);
  // Everything queued stays within the cap, so memory per client is bounded.
  EXPECT_GE(sent * block.size(), Connection::kMaxPending - block.size());
}

TEST(Connection, SendToAClosedPeerFailsWithoutSigpipe) {
  Pair p;
  MakePair("127.0.1.24", p);
  close(p.client);
  p.client = -1;
  bool failed = false;
  for (int i = 0; i < 100 && !failed; ++i) {
    failed = !p.server->Send("ENDMAP\n");
    usleep(1000);
  }
  EXPECT_TRUE(failed);  // and the test process is still alive
}

}  // namespace
