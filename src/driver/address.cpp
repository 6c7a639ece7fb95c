#include "driver/address.h"

#include "protocol/fields.h"

std::uint32_t AddressFromArguments(const char* a, const char* b, const char* c, const char* d) {
  auto part = [](const char* text) { return static_cast<std::uint32_t>(Val<int>(text)); };
  return (part(a) << 24) + (part(b) << 16) + (part(c) << 8) + part(d);
}
