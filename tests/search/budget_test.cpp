#include "search/budget.h"

#include <gtest/gtest.h>

namespace {

TEST(SearchBudget, AcceptsMillisecondsUpToASecondAndRefusesTheRest) {
  EXPECT_EQ(ParseSearchBudget(nullptr).milliseconds, 0);
  EXPECT_TRUE(ParseSearchBudget(nullptr).error.empty());
  const struct {
    const char* text;
    int ms;  // -1: refused
  } cases[] = {{"0", 0},     {"1", 1},     {"10", 10}, {"1000", 1000},
               {"0010", 10}, {"1001", -1}, {"-1", -1}, {"", -1},
               {"5ms", -1},  {" 5", -1},   {"+5", -1}, {"99999999999999999999", -1}};
  for (const auto& c : cases) {
    const SearchBudget budget = ParseSearchBudget(c.text);
    EXPECT_EQ(budget.error.empty(), c.ms >= 0) << '"' << c.text << '"';
    EXPECT_EQ(budget.milliseconds, c.ms >= 0 ? c.ms : 0) << '"' << c.text << '"';
  }
}

}  // namespace
