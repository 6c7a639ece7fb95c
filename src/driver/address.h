// The server address from the four command-line numbers.
#pragma once

#include <cstdint>

// a * 2^24 + b * 2^16 + c * 2^8 + d with wrap-around: a part above 255 carries
// into the next byte, a negative one borrows from it. Each part is read like
// atoi, except that out-of-range text clamps to the int range.
std::uint32_t AddressFromArguments(const char* a, const char* b, const char* c, const char* d);
