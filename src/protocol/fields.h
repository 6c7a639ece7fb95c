// Cutting server lines into fields and reading decimal numbers from them.
// Both work on views into the line and allocate nothing once `pieces` has
// grown to the longest line's count.
#pragma once

#include <concepts>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

// The pieces of `text` between separators, into `pieces` (cleared first).
// Two separators in a row give an empty piece, a leading separator an empty
// first piece; a trailing separator gives no piece after it, and empty text
// gives none at all.
void Split(std::string_view text, char separator, std::vector<std::string_view>& pieces);

// The decimal integer at the start of `text`, after leading white space, with
// an optional sign; the rest is ignored. No number gives 0; a number beyond
// T's range gives T's largest or smallest value, however many digits it has.
template <std::signed_integral T>
T Val(std::string_view text) {
  std::size_t i = 0;
  auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (i < text.size() && space(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';

  // Accumulate the magnitude unsigned, capped just past the range, so no
  // number of digits can overflow.
  using U = std::make_unsigned_t<T>;
  const U limit =
      negative ? U(U(std::numeric_limits<T>::max()) + 1u) : U(std::numeric_limits<T>::max());
  U magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const U digit = U(text[i] - '0');
    magnitude = magnitude > (limit - digit) / 10u ? limit : U(magnitude * 10u + digit);
  }
  if (!negative)
    return T(magnitude);
  return magnitude == 0 ? T(0) : T(-T(magnitude - 1u) - 1);
}
