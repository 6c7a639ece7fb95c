#include "driver/insulter.h"

#include <gtest/gtest.h>

namespace {

// The texts go out on the wire as they stand; servers and logs match them.
TEST(Insulter, TauntTablesInOrder) {
  const Insulter insulter;
  EXPECT_EQ(insulter.idleLines,
            (std::vector<std::string>{
                "Chillin'", "What are you waiting for?", "Come at me bro",
                "Your mom is bigger than your explosions", "BOOM!", "This is fun, moar!",
                "Some people just want to see the world splode", "Comon! I'm waiting!"}));
  EXPECT_EQ(insulter.doomLines, (std::vector<std::string>{"I'm so ****ed", "D:", "Oh snap..."}));
  EXPECT_EQ(insulter.lastTick, 0);
}

}  // namespace
