// The look-ahead against golden data: thousands of random positions, each
// with the "Evaluated: " lines (simulated cell and score) of all six
// candidates as the straightforward rules gave them. Any optimisation of the
// look-ahead must leave every line as it was.
//
// Regenerate only when the rules themselves change:
//   MARROWLARK_WRITE_GOLDEN=1 build/tests/golden/golden_tests
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "lookahead/test_command.h"
#include "random_positions.h"

namespace {

constexpr std::uint32_t kPositions = 4000;

std::string Lines(const State& position) {
  std::ostringstream log;
  for (int c = 0; c <= static_cast<int>(Command::DropBomb); ++c) {
    TestCommand(position, static_cast<Command>(c), log);
  }
  std::string lines = log.str();
  for (char& ch : lines) {
    if (ch == '\n')
      ch = ';';
  }
  return lines;
}

TEST(LookaheadGolden, EveryRandomPositionScoresAsRecorded) {
  if (std::getenv("MARROWLARK_WRITE_GOLDEN") != nullptr) {
    std::ofstream out(GOLDEN_FILE);
    for (std::uint32_t seed = 1; seed <= kPositions; ++seed) {
      out << seed << '|' << Lines(RandomPosition(seed)) << '\n';
    }
    GTEST_SKIP() << "wrote " << GOLDEN_FILE;
  }
  std::ifstream in(GOLDEN_FILE);
  ASSERT_TRUE(in) << GOLDEN_FILE;
  std::uint32_t checked = 0;
  int mismatches = 0;
  for (std::string line; std::getline(in, line);) {
    const std::size_t bar = line.find('|');
    const auto seed = static_cast<std::uint32_t>(std::stoul(line.substr(0, bar)));
    const State position = RandomPosition(seed);
    const State before = position;
    const std::string lines = Lines(position);
    ASSERT_EQ(position, before) << "seed " << seed << " changed the live state";
    if (lines != line.substr(bar + 1) && ++mismatches <= 10) {
      ADD_FAILURE() << "seed " << seed << "\n  now:    " << lines
                    << "\n  golden: " << line.substr(bar + 1);
    }
    ++checked;
  }
  EXPECT_EQ(checked, kPositions);
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
