#include <gtest/gtest.h>

#include "keyboard/keys.h"

namespace {

using arena::Key;

TEST(Keys, DecodesArrowsLettersAndSplitSequences) {
  struct Case {
    std::string typed;
    std::vector<Key> keys;
    std::string left;  // kept for the next read
  };
  const std::vector<Case> cases = {
      {"wasd WASD",
       {Key::Up, Key::Left, Key::Down, Key::Right, Key::Bomb, Key::Up, Key::Left, Key::Down,
        Key::Right},
       ""},
      {"\x1b[A\x1b[B\x1b[C\x1b[D\x1bOA", {Key::Up, Key::Down, Key::Right, Key::Left, Key::Up}, ""},
      {"q", {Key::Quit}, ""},
      {"x\x1b[Zd", {Key::Right}, ""},   // unknown keys and sequences are dropped
      {"\x1bw", {Key::Up}, ""},         // a lone escape
      {"d\x1b", {Key::Right}, "\x1b"},  // sequences cut by the read wait for the rest
      {"d\x1b[", {Key::Right}, "\x1b["},
  };
  for (const Case& c : cases) {
    std::string typed = c.typed;
    EXPECT_EQ(arena::TakeKeys(typed), c.keys) << c.typed;
    EXPECT_EQ(typed, c.left) << c.typed;
  }
  std::string rest = "\x1b[";
  arena::TakeKeys(rest);
  rest += "D";
  EXPECT_EQ(arena::TakeKeys(rest), std::vector<Key>{Key::Left});
}

}  // namespace
