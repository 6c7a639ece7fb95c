// Crafted positions for the sparring partners' sense of danger: chains,
// blocks that stop or open a blast, exact timers, and ways out that an
// opponent can cut off or close with a bomb of its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "escape.h"
#include "forecast.h"
#include "safety.h"

namespace {

using arena::Command;
using sparring::Position;

// '@' us, 'o' an opponent, '1' to '7' a bomb of nobody's with that timer.
Position Parse(const std::vector<std::string>& rows) {
  Position p{arena::Board(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()),
                          arena::Tile::Wall),
             {{0, 0}},
             {}};
  for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
    for (int x = 0; x < static_cast<int>(rows[0].size()); ++x) {
      const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
      p.board.Set({x, y}, c == '+'   ? arena::Tile::Wall
                          : c == '#' ? arena::Tile::Block
                                     : arena::Tile::Floor);
      if (c == '@') {
        p.players[sparring::kUs] = {x, y};
      } else if (c == 'o') {
        p.players.push_back({x, y});
      } else if (c >= '1' && c <= '7') {
        p.bombs.push_back(arena::Bomb{sparring::kNobody, {x, y}, c - '0'});
      }
    }
  }
  return p;
}

struct Case {
  const char* what;
  std::vector<std::string> rows;
  std::vector<std::pair<Command, int>> levels;
};

TEST(Safety, LevelsOfCraftedPositions) {
  using namespace sparring;
  const std::vector<Case> cases = {
      {"a bomb due now sets off the far one, whose blast reaches us",
       {"+++++++++", "+.@.5.1.+", "+++++++++"},
       {{Command::Stay, kDoomed}, {Command::Right, kDoomed}, {Command::Left, kUnhurried}}},
      {"a bomb due now kills two cells along its line, not three",
       {"++++++++", "+.1.@..+", "++++++++"},
       {{Command::Stay, kDoomed}, {Command::Left, kDoomed}, {Command::Right, kUnhurried}}},
      {"a block stops the blast, and the block it breaks opens our way out",
       {"+++++++", "+@#1..+", "+++++++"},
       {{Command::Stay, kUnhurried}, {Command::Bomb, kUnhurried}}},
      {"staying is safe only if our next answer is on time",
       {"++++++++", "+..@.2.+", "++++++++"},
       {{Command::Stay, kSafeFromNextDrops}, {Command::Left, kUnhurried}}},
      {"our own bomb in a dead end",
       {"+++++", "+@..+", "+++++"},
       {{Command::Bomb, kDoomed}, {Command::Right, kUnhurried}}},
      {"the only way out passes a cell the opponent reaches first",
       {"+++++++", "+@..o.+", "+++.+++", "+++.+++", "+++++++"},
       {{Command::Bomb, kCornered}, {Command::Stay, kSafeFromDrops}}},
      {"the block a blast breaks opens the opponent's way to our only exit too",
       {"+++++++", "+@+++++", "+.+++++", "+#.1..+", "+.+++++", "+o+++++", "+++++++"},
       {{Command::Bomb, kCornered}}},
      {"an opponent dropping now would seal our dead end",
       {"+++++++", "+@.o..+", "+++++++"},
       {{Command::Stay, kEscapes}}},
  };
  for (const Case& c : cases) {
    const Levels levels = Assess(Parse(c.rows));
    for (const auto& [command, level] : c.levels) {
      EXPECT_EQ(levels[static_cast<std::size_t>(command)], level)
          << c.what << ", command " << static_cast<int>(command);
    }
  }
}

// The hunter's measure: the cells an opponent can still flee to once our bomb
// is down, with us racing it for them.
TEST(Safety, WaysOutOfAnOpponentAfterOurDrop) {
  using namespace sparring;
  const std::vector<std::pair<std::vector<std::string>, int>> cases = {
      {{"+++++++", "+o.@..+", "+++++++"}, 0},
      {{"+++++++", "+o.@..+", "++.++++", "++.++++", "+++++++"}, 2},
      {{"+++++++", "+o..@.+", "+++++++"}, 1},
  };
  for (const auto& [rows, ways] : cases) {
    const Position p = Parse(rows);
    const Forecast f = Foresee(p, {OurDrop(p)});
    const std::vector<int> us = Arrivals(p, {kUs}, kUs);
    EXPECT_EQ(Refuges(f, p, us).WaysOut(p.players[1]), ways) << rows[1];
  }
}

}  // namespace
