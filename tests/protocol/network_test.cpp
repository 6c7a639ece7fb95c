#include "protocol/network.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "loopback.h"
#include "socket_pair.h"

namespace {

// The bot's end of a socket pair, with receives that give up after a short
// wait: a read that needed another receive then reports DISCONNECT.
struct Transport {
  explicit Transport(int waitMillis = 2000) {
    pair.LimitBotWait(waitMillis);
    network.emplace(pair.TakeBotEnd(), log);
  }
  std::string Read() { return std::string(network->ReadLine()); }

  SocketPair pair;
  std::ostringstream log;
  std::optional<Network> network;
};

TEST(ReadLine, TwoLinesInOneChunkNeedOneReceive) {
  Transport t(100);
  t.pair.Send("a\nb\n");
  EXPECT_EQ(t.Read(), "a");
  EXPECT_EQ(t.Read(), "b");  // would time out into DISCONNECT if it received again
  EXPECT_EQ(t.Read(), "DISCONNECT");
}

TEST(ReadLine, JoinsALineSplitOverChunks) {
  Transport t;
  t.pair.Send("PLAY");
  std::thread later([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    t.pair.Send("ERS\n");
  });
  EXPECT_EQ(t.Read(), "PLAYERS");
  later.join();
}

TEST(ReadLine, KeepsEveryByteButTheNewline) {
  Transport t;
  t.pair.Send(std::string("\n\nMAP\r\nx\0y\n", 12));
  EXPECT_EQ(t.Read(), "");
  EXPECT_EQ(t.Read(), "");
  EXPECT_EQ(t.Read(), "MAP\r");
  EXPECT_EQ(t.Read(), std::string("x\0y", 3));
}

TEST(ReadLine, ManyChunksBeforeTheNewline) {
  Transport t;
  const std::string longLine(5000, '#');
  t.pair.Send(longLine + "\nnext\n");
  EXPECT_EQ(t.Read(), longLine);
  EXPECT_EQ(t.Read(), "next");
}

TEST(ReadLine, AfterCloseHandsOutWholeLinesThenDisconnectForever) {
  Transport t;
  t.pair.Send("one\ntwo\npartial");
  t.pair.CloseServer();
  EXPECT_EQ(t.Read(), "one");
  EXPECT_EQ(t.Read(), "two");
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(t.Read(), "DISCONNECT");
}

TEST(ReadLine, CutsAnOverlongLineAndKeepsTheNext) {
  Transport t;
  std::thread server([&] {
    t.pair.Send(std::string(100 * 1024, 'a') + "\n" + std::string(Network::kMaxLine + 1, 'b') +
                "\n" + std::string(Network::kMaxLine, 'c') + "\nafter\n");
    t.pair.CloseServer();
  });
  EXPECT_EQ(t.Read(), std::string(Network::kMaxLine, 'a'));
  EXPECT_EQ(t.Read(), std::string(Network::kMaxLine, 'b'));
  EXPECT_EQ(t.Read(), std::string(Network::kMaxLine, 'c'));
  EXPECT_EQ(t.Read(), "after");
  EXPECT_EQ(t.Read(), "DISCONNECT");
  server.join();
}

// However long, a line the connection cuts off before its newline is never
// handed out, and waiting for that newline keeps memory bounded.
TEST(ReadLine, EndlessTrailingLineIsNeverHandedOut) {
  Transport t;
  std::thread server([&] {
    t.pair.Send("whole\n");
    const std::string chunk(64 * 1024, 'z');
    for (int i = 0; i < 64; ++i)
      t.pair.Send(chunk);  // 4 MiB without a newline
    t.pair.CloseServer();
  });
  EXPECT_EQ(t.Read(), "whole");
  EXPECT_EQ(t.Read(), "DISCONNECT");
  EXPECT_EQ(t.Read(), "DISCONNECT");
  server.join();
}

TEST(Send, WireBytesOfEveryCommand) {
  Transport t;
  for (Command c : {Command::Stay, Command::Up, Command::Down, Command::Left, Command::Right,
                    Command::DropBomb}) {
    t.network->Send(c);
  }
  t.network->SendLine("NAME Marrowlark");
  t.network->SendLine("SAY D:");
  EXPECT_EQ(t.pair.Drain(), "UP\nDOWN\nLEFT\nRIGHT\nBOMB\nNAME Marrowlark\nSAY D:\n");
}

TEST(Send, IntoAClosedConnectionIsSilentAndTheNextReadReportsTheEnd) {
  Transport t;
  t.pair.CloseServer();
  t.network->SendLine("NAME Marrowlark");  // would raise SIGPIPE and kill the test
  t.network->Send(Command::Up);
  EXPECT_EQ(t.Read(), "DISCONNECT");
}

// With Nagle's algorithm on, one answer that reached the server after its
// tick held back every later one until the server's next block acknowledged
// it, so the bot stayed a tick late for the rest of the game.
TEST(Connect, SendsEachLineAtOnce) {
  const int listener = ListenOnLoopback("127.0.0.14");
  const platform::SocketHandle bot = platform::OpenTcpSocket();
  ASSERT_EQ(platform::Connect(bot, 0x7F00000E, Network::kPort), "");
  int noDelay = 0;
  socklen_t size = sizeof noDelay;
  ::getsockopt(bot, IPPROTO_TCP, TCP_NODELAY, &noDelay, &size);
  EXPECT_NE(noDelay, 0);
  platform::CloseSocket(bot);
  ::close(listener);
}

TEST(Network, TeardownLines) {
  std::ostringstream log;
  {
    SocketPair pair;
    Network network(pair.TakeBotEnd(), log);
  }
  EXPECT_EQ(log.str(), "Connection closed\nNetworking stopped\n");
}

}  // namespace
