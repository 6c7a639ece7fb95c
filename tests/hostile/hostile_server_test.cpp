// The real bot against game servers that misbehave: endless and huge lines,
// maps at and past the size limit, a long chain of bombs, one byte at a time,
// a reset, and a close at every byte of a short game. In every case the bot
// must end cleanly, in bounded time and memory, printing only what the rules
// give.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bot_output.h"
#include "bot_process.h"
#include "hostile_server.h"

namespace {

using namespace std::chrono_literals;

struct Outcome {
  BotRun run;
  BotOutput output;
  std::string sent;
};

// The bot against a hostile server on 127.0.2.`host`.
Outcome Play(int host, HostileServer::Script script, std::chrono::milliseconds limit = 60s) {
  const std::string last = std::to_string(host);
  HostileServer server("127.0.2." + last, std::move(script), limit);
  Outcome outcome;
  outcome.run = RunBot({"127", "0", "2", last}, limit);
  outcome.sent = server.Finish();
  outcome.output = ReadOutput(outcome.run.out);
  return outcome;
}

// Memory is measured over every bot this process has waited for, so a test
// that checks it must have started none before (CTest runs each alone).
#define REQUIRE_FIRST_BOT() \
  if (PeakChildKiB() > 0)   \
  GTEST_SKIP() << "measures its own bot's memory; run it alone, as CTest does"

void ExpectCleanEnd(const Outcome& o) {
  EXPECT_FALSE(o.run.timedOut);
  EXPECT_EQ(o.run.status, 0);
  EXPECT_EQ(o.run.err, "");
  EXPECT_EQ(o.output.fault, "") << o.run.out.substr(0, 2000);
  EXPECT_EQ(SentFault(o.sent), "") << o.sent.substr(0, 200);
}

std::vector<int> Count(int ticks) {
  std::vector<int> numbers;
  for (int t = 1; t <= ticks; ++t)
    numbers.push_back(t);
  return numbers;
}

// A status block with the bot at (x, y); `bombs` holds "x,y timer" lines.
std::string Block(int x, int y, int width, const std::vector<std::string>& rows,
                  const std::vector<std::string>& bombs = {}) {
  std::string text = "PLAYERS\nENDPLAYERS\nBOMBS\n";
  for (const std::string& bomb : bombs)
    text += bomb + "\n";
  text += "ENDBOMBS\nX " + std::to_string(x) + "\nY " + std::to_string(y) + "\nWIDTH " +
          std::to_string(width) + "\nHEIGHT " + std::to_string(rows.size()) + "\nMAP\n";
  for (const std::string& row : rows)
    text += row + "\n";
  return text + "ENDMAP\n";
}

// A square open map of `side` cells a side, the bot at (1, 1).
std::string OpenSquare(int side) {
  return Block(1, 1, side, std::vector<std::string>(side, std::string(side, '.')));
}

// A bomb about to go off beside the bot on an open map: it moves away.
const std::string kFleeTick =
    Block(2, 2, 5, {".....", ".....", ".....", ".....", "....."}, {"2,1 2"});

TEST(HostileServer, EndlessLineIsCutAndTheNextBlockIsPlayed) {
  REQUIRE_FIRST_BOT();
  const Outcome o = Play(1, [](HostilePeer& peer) {
    peer.Flood("MAP", 128u << 20);
    peer.Send("\n" + OpenSquare(5));
  });
  ExpectCleanEnd(o);
  EXPECT_EQ(o.output.ticks, Count(1));
  // Far below the 128 MiB a buffer of the whole line would take.
  EXPECT_LT(PeakChildKiB(), 32 << 10);
}

// The six cells of Stay, Up, Down, Left, Right and DropBomb from (1, 1):
// every move is taken on a map that is read, none on one that counts as 0.
struct SizeCase {
  const char* name;
  int host;
  int side;
  const char* cells;
  long peakKiB;  // at the limit: the live map, a copy and a danger map, no more
};

void PrintTo(const SizeCase& c, std::ostream* out) {
  *out << c.name;
}

class MapSize : public testing::TestWithParam<SizeCase> {};

TEST_P(MapSize, BoundsTheMap) {
  REQUIRE_FIRST_BOT();
  const SizeCase& c = GetParam();
  const Outcome o = Play(
      c.host, [&](HostilePeer& peer) { peer.Send(OpenSquare(c.side)); }, 120s);
  ExpectCleanEnd(o);
  EXPECT_EQ(o.output.positions, std::vector<std::string>{c.cells});
  EXPECT_LT(PeakChildKiB(), c.peakKiB);
}

INSTANTIATE_TEST_SUITE_P(
    HostileServer, MapSize,
    testing::Values(SizeCase{"AtTheLimit", 2, 4096, "1,1 1,0 1,2 0,1 2,1 1,1", 512 << 10},
                    SizeCase{"JustPastTheLimit", 3, 4097, "1,1 1,1 1,1 1,1 1,1 1,1", 32 << 10}),
    [](const testing::TestParamInfo<SizeCase>& info) { return std::string(info.param.name); });

TEST(HostileServer, LineOf4096ChainedBombs) {
  std::vector<std::string> bombs;
  for (int x = 0; x < 4096; ++x)
    bombs.push_back(std::to_string(x) + ",0 " + (x == 0 ? "1" : "4"));
  const Outcome o = Play(
      4,
      [&](HostilePeer& peer) { peer.Send(Block(2048, 0, 4096, {std::string(4096, '.')}, bombs)); },
      120s);
  ExpectCleanEnd(o);
  EXPECT_EQ(o.output.ticks, Count(1));
}

TEST(HostileServer, OneByteAtATimePlaysLikeOneSend) {
  const std::string stream = kFleeTick + OpenSquare(3) + "DEAD\nENDOFROUND\n" + kFleeTick;
  const Outcome whole = Play(5, [&](HostilePeer& peer) { peer.Send(stream); });
  const Outcome trickled =
      Play(5, [&](HostilePeer& peer) { peer.Trickle(stream, std::chrono::milliseconds(1)); });
  ExpectCleanEnd(trickled);
  EXPECT_EQ(trickled.output.ticks, (std::vector<int>{1, 2, 1}));
  EXPECT_EQ(MaskTimes(trickled.run.out), MaskTimes(whole.run.out));
  EXPECT_EQ(trickled.sent, whole.sent);
}

TEST(HostileServer, ResetWhileTheBotSends) {
  std::string stream;
  for (int t = 0; t < 200; ++t)
    stream += kFleeTick;
  const Outcome o = Play(6, [&](HostilePeer& peer) {
    peer.Send(stream);
    // The name line and a first command: the bot is answering tick by tick.
    peer.AwaitReceived(std::string("NAME Marrowlark\n").size() + 3);
    peer.Reset();
  });
  ExpectCleanEnd(o);
  ASSERT_FALSE(o.output.ticks.empty());
  EXPECT_EQ(o.output.ticks, Count(static_cast<int>(o.output.ticks.size())));
}

// A partial trailing line is never handed out, however long: the last map
// below has no rows either way.
TEST(HostileServer, PartialLinePastTheCutIsNeverPlayed) {
  const std::string block = Block(2, 0, 5, {".#.#.", ".....", "....."}) + "MAP\n";
  const Outcome shortRow =
      Play(8, [&](HostilePeer& peer) { peer.Send(block + std::string(700, '.')); });
  const Outcome longRow =
      Play(8, [&](HostilePeer& peer) { peer.Send(block + std::string(70000, '.')); });
  ExpectCleanEnd(longRow);
  EXPECT_EQ(longRow.output.ticks, Count(2));
  EXPECT_EQ(MaskTimes(longRow.run.out), MaskTimes(shortRow.run.out));
}

// A partial map still counts as a tick once its "MAP" line is whole.
TEST(HostileServer, CloseAtEveryByteOffsetOfATwoTickGame) {
  const std::string stream = kFleeTick + kFleeTick;
  for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
    SCOPED_TRACE("closed after " + std::to_string(cut) + " bytes");
    const std::string prefix = stream.substr(0, cut);
    int maps = 0;
    for (std::size_t at = prefix.find("\nMAP\n"); at != std::string::npos;
         at = prefix.find("\nMAP\n", at + 1)) {
      ++maps;
    }
    const Outcome o = Play(
        7, [&](HostilePeer& peer) { peer.Send(prefix); }, 20s);
    ExpectCleanEnd(o);
    EXPECT_EQ(o.output.ticks, Count(maps));
    if (HasFailure())
      break;
  }
}

}  // namespace
