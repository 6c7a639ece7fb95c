#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "child_process.h"
#include "recording/recorder.h"

namespace {

arena::Snapshot Sample(int tick) {
  arena::Snapshot s;
  s.round = 1;
  s.rounds = 2;
  s.tick = tick;
  s.rows = {"+++", "+.+", "+++"};
  s.players = {{0, "a", 1, 1, true, 0, "BOMB"}, {1, "b", 1, 1, false, 1, ""}};
  s.bombs = {{0, 1, 1, 5}};
  s.blasts = {{1, 1}, {1, 2}};
  s.deaths = {{1, 0}, {0, 0}};
  s.chat = {{1, "gg"}};
  s.roundOver = tick == 2;
  s.winner = tick == 2 ? 0 : -1;
  return s;
}

TEST(Recording, RoundTripsLogsTicksAndResults) {
  const std::string dir = ScratchDir("roundtrip");
  const std::string path = dir + "/game.jsonl";
  const std::vector<arena::Standing> results = {{"a", 1, 1, 1, 1, 9, 2, 0},
                                                {"b", 0, 0, 1, 0, 3, 0, 1}};
  {
    arena::Recorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(path, error)) << error;
    recorder.WriteLogs(
        {{1, dir + "/logs/../logs/2-bot.log"}, {2, dir + "/../elsewhere/3-bot.log"}});
    recorder.Write(Sample(1));
    recorder.Write(Sample(2));
    recorder.WriteResults(results);
  }
  const arena::Recording r = arena::ReadRecording(path);
  ASSERT_EQ(r.error, "");
  // Named as seen from the recording, so the two can move together.
  EXPECT_EQ(r.logs,
            (std::vector<arena::SeatLog>{{1, "logs/2-bot.log"}, {2, "../elsewhere/3-bot.log"}}));
  EXPECT_EQ(r.ticks, (std::vector<arena::Snapshot>{Sample(1), Sample(2)}));
  EXPECT_EQ(r.results, results);
  // One object per line, deaths named by cause.
  const std::string text = ReadFile(path);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
  EXPECT_NE(text.find(R"({"cause":"bomb","killer":0,"victim":1})"), std::string::npos);
  EXPECT_NE(text.find(R"({"cause":"suicide","killer":0,"victim":0})"), std::string::npos);
}

TEST(Recording, BrokenUtf8FromAClientIsReplacedNotFatal) {
  const std::string path = ScratchDir("utf8") + "/game.jsonl";
  arena::Snapshot s = Sample(1);
  s.chat = {{0, "caf\xc3"}};  // cut inside a two-byte sequence
  {
    arena::Recorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(path, error));
    recorder.Write(s);
  }
  const arena::Recording r = arena::ReadRecording(path);
  ASSERT_EQ(r.error, "");
  ASSERT_EQ(r.ticks.size(), 1u);
  EXPECT_EQ(r.ticks[0].chat[0].text, "caf\xef\xbf\xbd");
}

TEST(Recording, BadInputNamesTheFileAndLine) {
  const std::string dir = ScratchDir("bad");
  struct Case {
    std::string text;
    std::string where;
  };
  const Case cases[] = {
      {"{\"round\":1}\n", ":1: "},
      {"\n[1,2\n", ":2: "},
      {"not json\n", ":1: "},
  };
  for (const Case& c : cases) {
    std::ofstream(dir + "/r.jsonl") << c.text;
    const arena::Recording r = arena::ReadRecording(dir + "/r.jsonl");
    EXPECT_NE(r.error.find(dir + "/r.jsonl" + c.where), std::string::npos) << r.error;
  }
  EXPECT_NE(arena::ReadRecording(dir + "/missing").error.find("cannot read"), std::string::npos);
  arena::Recorder recorder;
  std::string error;
  EXPECT_FALSE(recorder.Open(dir + "/no/such/dir/r.jsonl", error));
  EXPECT_NE(error.find("cannot write"), std::string::npos);
}

}  // namespace
