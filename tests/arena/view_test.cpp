#include <gtest/gtest.h>

#include "view/view.h"

using arena::Snapshot;
using arena::View;
using arena::ViewMode;

namespace {

Snapshot Small() {
  Snapshot s;
  s.round = 2;
  s.rounds = 3;
  s.tick = 7;
  s.rows = {"+++++++", "+..#..+", "+.+.+.+", "+.....+", "+++++++"};
  s.players = {{0, "alpha", 1, 1, true, 1, "UP"},
               {1, "beta", 5, 3, true, 0, ""},
               {2, "gamma", 3, 3, false, 0, ""}};
  s.bombs = {{0, 2, 1, 4}};
  s.blasts = {{5, 1}};
  return s;
}

std::string Spaces(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

TEST(ViewPlain, MapWithBombsBlastsLettersAndPanel) {
  View view(ViewMode::Plain);
  // Floor is blank, the bomb shows its timer, the dead player is off the map.
  const std::string expected =
      "+++++++   Round 2 of 3   tick 7\n"
      "+A4# *+\n"
      "+ + + +   A alpha" +
      Spaces(12) +
      "alive  wins 1\n"
      "+    B+   B beta" +
      Spaces(13) +
      "alive  wins 0\n"
      "+++++++   C gamma" +
      Spaces(12) +
      "dead   wins 0\n"
      "\n";
  EXPECT_EQ(view.Draw(Small()), expected);
}

TEST(ViewPlain, RoundResultAndChatHistoryOfFiveLines) {
  View view(ViewMode::Plain);
  Snapshot s = Small();
  for (int i = 0; i < 7; ++i) {
    s.chat = {{i % 2, "line " + std::to_string(i) + "\x1b[31m"}};
    view.Draw(s);
  }
  s.chat.clear();
  s.roundOver = true;
  s.winner = 1;
  const std::string frame = view.Draw(s);
  EXPECT_EQ(frame.find("line 1"), std::string::npos);
  EXPECT_NE(frame.find("alpha: line 2[31m"), std::string::npos);
  EXPECT_NE(frame.find("beta: line 5"), std::string::npos);
  EXPECT_EQ(frame.find('\x1b'), std::string::npos);
  EXPECT_TRUE(frame.ends_with("\nRound 2 of 3: beta (B) wins after 7 ticks\n")) << frame;
}

TEST(ViewModes, AnsiRedrawsInPlaceNoneShowsOnlyResults) {
  View ansi(ViewMode::Ansi);
  const std::string first = ansi.Draw(Small());
  EXPECT_TRUE(first.starts_with("\x1b[2J\x1b[H"));
  EXPECT_NE(first.find("\x1b[1;31mA\x1b[0m"), std::string::npos);
  EXPECT_NE(first.find("\x1b[41;93m*\x1b[0m"), std::string::npos);
  const std::string second = ansi.Draw(Small());
  EXPECT_TRUE(second.starts_with("\x1b[H\x1b[2m+"));

  // Ids from a recording may be anything; they still get a letter and a colour.
  Snapshot odd = Small();
  odd.players[0].id = -3;
  EXPECT_NE(ansi.Draw(odd).find("X"), std::string::npos);

  View none(ViewMode::None);
  Snapshot s = Small();
  EXPECT_EQ(none.Draw(s), "");
  s.roundOver = true;
  EXPECT_EQ(none.Draw(s), "Round 2 of 3: no winner after 7 ticks\n");
}

TEST(ResultsTable, AlignedColumnsPerSeat) {
  const std::string table =
      arena::ResultsTable({{"Marrowlark", 2, 3, 1, 0, 120, 4, 0}, {"x\x1b", 0, 0, 3, 2, 7, 0, 1}});
  const std::string expected =
      "name          won  kills  deaths  suicides  commands  ignored  disconnects\n"
      "A Marrowlark    2      3       1         0       120        4            0\n"
      "B x             0      0       3         2         7        0            1\n";
  EXPECT_EQ(table, expected);
}

}  // namespace
