#include "driver/address.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct AddressCase {
  std::string a, b, c, d;
  std::uint32_t address;
};

class Address : public testing::TestWithParam<AddressCase> {};

TEST_P(Address, SumOfTheParts) {
  const AddressCase& p = GetParam();
  EXPECT_EQ(AddressFromArguments(p.a.c_str(), p.b.c_str(), p.c.c_str(), p.d.c_str()), p.address);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, Address,
    testing::Values(AddressCase{"127", "0", "0", "1", 0x7F000001u},
                    AddressCase{"10", "0", "0", "300", 0x0A00012Cu},  // 10.0.1.44: a carry
                    AddressCase{"a", "b", "c", "d", 0u},
                    AddressCase{" 127x", "+0", "0", "1", 0x7F000001u},  // read like atoi
                    AddressCase{"127", "0", "1", "-1", 0x7F0000FFu},    // a borrow
                    AddressCase{"0", "0", "0", "-1", 0xFFFFFFFFu},
                    AddressCase{"255", "255", "255", "255", 0xFFFFFFFFu},
                    AddressCase{"256", "0", "0", "0", 0u},  // wraps out of 32 bits
                    // Beyond the int range: clamped, then the sum wraps, no overflow.
                    AddressCase{"99999999999", "0", "0", "0", 0xFF000000u},
                    AddressCase{"0", "0", "0", "-99999999999", 0x80000000u}));

}  // namespace
