// The sparring partners in a real tournament against the one-tick bot: the
// runner, the arena and the bots as shipped, on the runner's 127.0.3.x. Ticks
// of 20 ms, so a busy test machine does not make anyone's answers late.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>

#include "child_process.h"

namespace {

TEST(Sparring, RunnerAndHunterNeverLoseToTheOneTickBot) {
  const std::string dir = ScratchDir("sparring-tournament");
  const std::string sparring = std::string(SPARRING_BIN) + " --style ";
  const ChildOutcome r =
      RunChild({TOURNAMENT_BIN, "--jobs", "2", "--logs", dir + "/logs", "--games", "12", "--seed",
                "5", "--tick-ms", "20", "--max-ticks", "150", "--bot",
                "runner=" + sparring + "runner", "--bot", "hunter=" + sparring + "hunter", "--bot",
                std::string("onetick=") + std::getenv("MARROWLARK_BIN")},
               std::chrono::seconds(120));
  ASSERT_EQ(r.status, 0) << r.err;
  // Four games a pair; "-" stands in each row's own column.
  for (const std::string bot : {"runner", "hunter"}) {
    const std::string row = bot == "runner" ? "runner\\s+-\\s+\\S+" : "hunter\\s+\\S+\\s+-";
    const std::regex line(row + R"(\s+(\d+)-(\d+)-(\d+))");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, line)) << r.out;
    EXPECT_EQ(std::stoi(m[1]) + std::stoi(m[2]), 4) << bot << " lost a game:\n" << r.out;
    EXPECT_NE(r.out.find("Bot " + bot + ": Games: 8, Survived: "), std::string::npos) << r.out;
    const std::regex suicides("Bot " + bot + ": .*Suicides: 0,");
    EXPECT_TRUE(std::regex_search(r.out, suicides)) << r.out;
  }
}

}  // namespace
