#include "protocol/reader.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "socket_pair.h"

namespace {

using Tile = State::Tile;

// A Reader on the bot's end of a socket pair; the test sends a whole stream
// from the other end and closes it, so every read ends.
struct Fixture {
  explicit Fixture(const std::string& stream) {
    pair.Send(stream);
    pair.CloseServer();
  }
  SocketPair pair;
  std::ostringstream log;
  Network network{pair.TakeBotEnd(), log};
  State state;
  Reader reader{&network, &state, log};
};

const char* const kFullBlock =
    "PLAYERS\n1 2,3\nENDPLAYERS\nBOMBS\n2,3 5\nENDBOMBS\nX 4\nY 5\nWIDTH 3\nHEIGHT 2\n"
    "MAP\n#+.\n..#\nENDMAP\n";

TEST(ReadStatus, FullBlock) {
  Fixture f(kFullBlock);
  ASSERT_TRUE(f.reader.ReadStatus());
  EXPECT_EQ(f.state.players,
            (std::vector<Player>{{1, 2, 3, true, Command::Stay}, {-1, 4, 5, true, Command::Stay}}));
  EXPECT_EQ(f.state.bombs, (std::vector<Bomb>{{1, 2, 3, 5}}));
  EXPECT_EQ(f.state.tiles, (std::vector<Tile>{Tile::Block, Tile::Wall, Tile::Empty, Tile::Empty,
                                              Tile::Empty, Tile::Block}));
  EXPECT_EQ(f.state.tick, 1);
  EXPECT_FALSE(f.reader.ReadStatus());
  EXPECT_EQ(f.log.str(), "");
}

TEST(ReadStatus, MapOnlyBlockKeepsPlayersAndBombs) {
  Fixture f(std::string(kFullBlock) + "MAP\n...\nENDMAP\n");
  ASSERT_TRUE(f.reader.ReadStatus());
  const State before = f.state;
  ASSERT_TRUE(f.reader.ReadStatus());
  EXPECT_EQ(f.state.players, before.players);
  EXPECT_EQ(f.state.bombs, before.bombs);
  EXPECT_EQ(f.state.tick, 2);
  EXPECT_EQ(f.state.tiles[0], Tile::Empty);
}

TEST(ReadStatus, DeadAndEndOfRoundArePrintedAndReadingGoesOn) {
  Fixture f(std::string(kFullBlock) + "DEAD\nENDOFROUND\nnoise\nMAP\nENDMAP\n");
  ASSERT_TRUE(f.reader.ReadStatus());
  ASSERT_TRUE(f.reader.ReadStatus());
  EXPECT_EQ(f.log.str(), "DEAD\nENDOFROUND\n");
  EXPECT_TRUE(f.state.players.empty());
  EXPECT_TRUE(f.state.bombs.empty());
  EXPECT_EQ(f.state.tick, 1);
  EXPECT_EQ(f.state.width, 3);  // the map survives the round's end
}

TEST(ReadStatus, DisconnectFirstLeavesTheStateUntouched) {
  Fixture f("DISCONNECT\n" + std::string(kFullBlock));
  EXPECT_FALSE(f.reader.ReadStatus());
  EXPECT_EQ(f.state, State{});
}

TEST(ReadStatus, ClosingInsideTheMapStillCompletesTheBlock) {
  Fixture f("WIDTH 2\nHEIGHT 2\nMAP\n##\n");
  ASSERT_TRUE(f.reader.ReadStatus());
  EXPECT_EQ(f.state.tiles, (std::vector<Tile>{Tile::Block, Tile::Block, Tile::Empty, Tile::Empty}));
  EXPECT_EQ(f.state.tick, 1);
  EXPECT_FALSE(f.reader.ReadStatus());
}

TEST(ReadStatus, ClosingInsideSectionsRunsTheirEndSteps) {
  Fixture f("BOMBS\n1,1 3\n");
  EXPECT_FALSE(f.reader.ReadStatus());
  EXPECT_EQ(f.state.bombs, (std::vector<Bomb>{{-2, 1, 1, 3}}));
  Fixture g("PLAYERS\n2 1,1\n");
  EXPECT_FALSE(g.reader.ReadStatus());
  EXPECT_EQ(g.state.players.size(), 2u);
  EXPECT_EQ(g.state.players.back().id, -1);
}

TEST(ReadStatus, ExtraPiecesAreIgnoredAndShortLinesSkipped) {
  Fixture f(
      "PLAYERS\n1 2,3,9 extra\n2\n3 4\n4 ,\n5 6,\nENDPLAYERS\n"
      "BOMBS\n1,2 3 7\n5,5\n6 2\n,7 1\nENDBOMBS\nMAP\nENDMAP\n");
  ASSERT_TRUE(f.reader.ReadStatus());
  EXPECT_EQ(f.state.players,
            (std::vector<Player>{{1, 2, 3, true, Command::Stay}, {-1, 0, 0, true, Command::Stay}}));
  // ",7 1" has an empty x piece, which reads as 0.
  EXPECT_EQ(f.state.bombs, (std::vector<Bomb>{{-2, 1, 2, 3}, {-2, 0, 7, 1}}));
}

TEST(ReadStatus, ValueLinesAnywhereInTheLineCutAtTheirOffset) {
  Fixture f(
      "PLAYERS\nENDPLAYERS\n"
      "X 12\n"
      "BOX 7\n"    // "X " after other text: cut from the third character, "X 7" -> 0
      "Y 3 X 9\n"  // both keywords: both values from the third character
      "WIDTH 4\nHEIGHT 1\n"
      "MAP\n.#.#.\nENDMAP\n");
  ASSERT_TRUE(f.reader.ReadStatus());
  EXPECT_EQ(f.state.players.back().x, 3);
  EXPECT_EQ(f.state.players.back().y, 3);
  EXPECT_EQ(f.state.width, 4);
  EXPECT_EQ(f.state.tiles, (std::vector<Tile>{Tile::Empty, Tile::Block, Tile::Empty, Tile::Block}));
}

TEST(ReadStatus, ValueTextMayBeEmptyOrJunk) {
  Fixture f("PLAYERS\nENDPLAYERS\nX 5\nX \nWIDTH x\nHEIGHT 99999999999\nMAP\nENDMAP\n");
  ASSERT_TRUE(f.reader.ReadStatus());
  EXPECT_EQ(f.state.players.back().x, 0);
  EXPECT_EQ(f.state.width, 0);
  EXPECT_EQ(f.state.height, 0);  // clamped to INT_MAX, then past the size limit
  EXPECT_TRUE(f.state.tiles.empty());
}

TEST(ReadStatus, KeywordsAreMatchedWholeAndByteForByte) {
  Fixture f("PLAYERS\r\n1 1,1\nDEAD \nMAP \nMAP\r\nmap\nMAP\nENDMAP\n");
  ASSERT_TRUE(f.reader.ReadStatus());
  EXPECT_TRUE(f.state.players.empty());
  EXPECT_EQ(f.log.str(), "");
}

TEST(ReadStatus, PositionLinesWithoutASelfRecordAreDropped) {
  Fixture f("X 5\nY 6\nPLAYERS\nENDPLAYERS\nMAP\nENDMAP\n");
  ASSERT_TRUE(f.reader.ReadStatus());
  EXPECT_EQ(f.state.players, (std::vector<Player>{{-1, 0, 0, true, Command::Stay}}));
}

// The same multi-tick stream through a real socket in random chunk sizes must
// leave the state the merge rules predict after each block.
TEST(ReadStatus, RandomChunksOfAMultiTickStream) {
  const std::vector<std::string> blocks = {
      "PLAYERS\n0 1,1\n2 3,3\nENDPLAYERS\nBOMBS\nENDBOMBS\nX 1\nY 3\nWIDTH 5\nHEIGHT 5\n"
      "MAP\n+++++\n+...+\n+.#.+\n+...+\n+++++\nENDMAP\n",
      "PLAYERS\n2 3,2\n0 1,1\nENDPLAYERS\nBOMBS\n1,1 5\nENDBOMBS\nX 1\nY 2\n"
      "MAP\n+++++\n+...+\n+.#.+\n+...+\n+++++\nENDMAP\n",
      "DEAD\nBOMBS\n1,1 4\n3,2 5\nENDBOMBS\nMAP\n+++++\n+...+\n+...+\nENDMAP\n",
      "ENDOFROUND\nPLAYERS\n7 2,2\nENDPLAYERS\nX 3\nY 3\nMAP\nENDMAP\n",
  };
  auto expected = [&] {
    std::vector<State> states(4);
    State s;
    s.BeginPlayers();
    s.MergePlayer(0, 1, 1);
    s.MergePlayer(2, 3, 3);
    s.EndPlayers();
    s.BeginBombs();
    s.EndBombs();
    s.SetOwnX(1);
    s.SetOwnY(3);
    s.SetWidth(5);
    s.SetHeight(5);
    const char* rows[] = {"+++++", "+...+", "+.#.+", "+...+", "+++++"};
    for (int r = 0; r < 5; ++r)
      s.SetRow(r, rows[r]);
    s.EndMap();
    states[0] = s;
    s.BeginPlayers();
    s.MergePlayer(2, 3, 2);
    s.MergePlayer(0, 1, 1);
    s.EndPlayers();
    s.BeginBombs();
    s.MergeBomb(1, 1, 5);
    s.EndBombs();
    s.SetOwnX(1);
    s.SetOwnY(2);
    s.EndMap();
    states[1] = s;
    s.BeginBombs();
    s.MergeBomb(1, 1, 4);
    s.MergeBomb(3, 2, 5);
    s.EndBombs();
    s.SetRow(2, "+...+");
    s.EndMap();
    states[2] = s;
    s.EndRound();
    s.BeginPlayers();
    s.MergePlayer(7, 2, 2);
    s.EndPlayers();
    s.SetOwnX(3);
    s.SetOwnY(3);
    s.EndMap();
    states[3] = s;
    return states;
  }();
  // Spot checks of the merge results themselves, so the expectation is not
  // only the same calls replayed.
  ASSERT_EQ(expected[1].bombs[0].owner, 0);
  ASSERT_EQ(expected[2].bombs[1].owner, 2);
  ASSERT_EQ(expected[3].tick, 1);

  std::string stream;
  for (const std::string& b : blocks)
    stream += b;
  std::mt19937 random(12345);
  for (int trial = 0; trial < 20; ++trial) {
    SocketPair pair;
    std::ostringstream log;
    Network network(pair.TakeBotEnd(), log);
    std::thread server([&] {
      std::uniform_int_distribution<std::size_t> size(1, 40);
      for (std::size_t at = 0; at < stream.size();) {
        const std::size_t n = std::min(size(random), stream.size() - at);
        pair.Send(std::string_view(stream).substr(at, n));
        at += n;
      }
      pair.CloseServer();
    });
    State state;
    Reader reader(&network, &state, log);
    for (std::size_t i = 0; i < expected.size(); ++i) {
      ASSERT_TRUE(reader.ReadStatus()) << "block " << i;
      EXPECT_EQ(state, expected[i]) << "block " << i << ", trial " << trial;
    }
    EXPECT_FALSE(reader.ReadStatus());
    server.join();
    EXPECT_EQ(log.str(), "DEAD\nENDOFROUND\n");
  }
}

}  // namespace

// What follows a block, sent and then the connection closed: only a whole
// newer block counts as waiting, never a line the reader ignores nor the
// close itself, and reading goes on from the same line either way.
TEST(NewerBlockWaiting, OnlyAWholeNewerBlockCounts) {
  const std::string block = kFullBlock;
  const struct {
    std::string after;
    bool waiting;
    int blocksAfter;
  } cases[] = {
      {"", false, 0},
      {"INFO hello\n", false, 0},
      {"DEAD\n", false, 0},
      {"ENDMAP\n", false, 0},
      {"PLAYERS\nMAP\nENDMAP\n", false, 0},
      {"BOMBS\nENDMAP\n", false, 0},
      {"MAP\n...\nENDMAP", false, 1},
      {"DISCONNECT\n" + block, false, 0},
      {"PLAYERS\nDISCONNECT\nENDPLAYERS\nMAP\nENDMAP\n", false, 1},
      {"MAP\nENDMAP\n", true, 1},
      {"INFO hello\nENDOFROUND\n" + block, true, 1},
      {"PLAYERS\nMAP\nENDPLAYERS\nMAP\nENDMAP\n", true, 1},
      {block + block, true, 2},
  };
  for (const auto& c : cases) {
    Fixture f(block + c.after);
    ASSERT_TRUE(f.reader.ReadStatus());
    EXPECT_EQ(f.reader.NewerBlockWaiting(), c.waiting) << c.after;
    EXPECT_EQ(f.reader.NewerBlockWaiting(), c.waiting) << c.after;
    int blocks = 0;
    for (; blocks < 4 && f.reader.ReadStatus(); ++blocks) {
    }
    EXPECT_EQ(blocks, c.blocksAfter) << c.after;
  }
}

// A newer block longer than the read-ahead is not looked for; one that just
// fits is. Either way every line of it is still read.
TEST(NewerBlockWaiting, LooksNoFurtherThanTheReadAhead) {
  const std::string head = "MAP\n";
  const std::string tail = "ENDMAP\n";
  for (const std::size_t extra : {std::size_t{0}, std::size_t{1}}) {
    std::string rows;
    const std::size_t room = Network::kReadAhead - head.size() - tail.size() + extra;
    while (rows.size() + 1000 <= room)
      rows += std::string(999, '.') + "\n";
    rows += std::string(room - rows.size() - 1, '.') + "\n";
    const std::string stream = std::string(kFullBlock) + head + rows + tail;
    std::ostringstream log;
    Network network(std::string_view(stream), log);
    State state;
    Reader reader(&network, &state, log);
    ASSERT_TRUE(reader.ReadStatus());
    EXPECT_EQ(reader.NewerBlockWaiting(), extra == 0);
    ASSERT_TRUE(reader.ReadStatus());
    EXPECT_EQ(state.tick, 2);
    EXPECT_FALSE(reader.ReadStatus());
  }
}
