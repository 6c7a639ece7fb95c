#include "protocol/fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct SplitCase {
  std::string text;
  char separator;
  std::vector<std::string> pieces;
};

class SplitTable : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTable, Pieces) {
  std::vector<std::string_view> pieces{"stale"};
  Split(GetParam().text, GetParam().separator, pieces);
  EXPECT_EQ(std::vector<std::string>(pieces.begin(), pieces.end()), GetParam().pieces)
      << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Fields, SplitTable,
                         testing::Values(SplitCase{"", ' ', {}},                  //
                                         SplitCase{"1 2,3", ' ', {"1", "2,3"}},   //
                                         SplitCase{"2,3", ',', {"2", "3"}},       //
                                         SplitCase{" a", ' ', {"", "a"}},         //
                                         SplitCase{"a  b", ' ', {"a", "", "b"}},  //
                                         SplitCase{"a b ", ' ', {"a", "b"}},      //
                                         SplitCase{",", ',', {""}},               //
                                         SplitCase{",,", ',', {"", ""}},          //
                                         SplitCase{"1,2,3,4", ',', {"1", "2", "3", "4"}},
                                         SplitCase{"no separator", ',', {"no separator"}}));

struct ValCase {
  std::string text;
  int value;
};

class ValTable : public testing::TestWithParam<ValCase> {};

TEST_P(ValTable, Int) {
  EXPECT_EQ(Val<int>(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ValTable,
    testing::Values(ValCase{"42", 42}, ValCase{"", 0}, ValCase{"abc", 0}, ValCase{"-7", -7},
                    ValCase{"+7", 7}, ValCase{"  \t\n\v\f\r12", 12}, ValCase{"12abc", 12},
                    ValCase{"3,4", 3}, ValCase{"- 5", 0}, ValCase{"+-5", 0}, ValCase{"--5", 0},
                    ValCase{"-", 0}, ValCase{"007", 7}, ValCase{"-0", 0},
                    ValCase{"2147483647", 2147483647}, ValCase{"2147483648", 2147483647},
                    ValCase{"-2147483648", -2147483647 - 1},
                    ValCase{"-2147483649", -2147483647 - 1},
                    ValCase{"99999999999999999999999999999999999999", 2147483647},
                    ValCase{"-99999999999999999999999999999999999999", -2147483647 - 1},
                    ValCase{"00000000000000000000000000000000000000000000001", 1}));

TEST(Val, OtherWidths) {
  EXPECT_EQ(Val<std::int8_t>("127"), 127);
  EXPECT_EQ(Val<std::int8_t>("128"), 127);
  EXPECT_EQ(Val<std::int8_t>("-129"), -128);
  EXPECT_EQ(Val<std::int64_t>("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(Val<std::int64_t>("9223372036854775808"), INT64_MAX);
}

}  // namespace
