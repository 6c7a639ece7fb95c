#include "search/budget.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr int kMostMs = 1000;

}  // namespace

SearchBudget ParseSearchBudget(const char* text) {
  SearchBudget budget;
  if (text == nullptr) {
    return budget;
  }
  const std::string_view value(text);
  int ms = 0;
  bool valid = !value.empty();
  for (const char c : value) {
    valid = valid && c >= '0' && c <= '9';
    ms = std::min(ms * 10 + (c - '0'), kMostMs + 1);  // no overflow on long digit runs
  }
  if (!valid || ms > kMostMs) {
    budget.error = "MARROWLARK_SEARCH_MS must be a whole number of milliseconds from 0 to " +
                   std::to_string(kMostMs) + " (0 or unset: no search), not \"" +
                   std::string(value) + "\"";
    return budget;
  }
  budget.milliseconds = ms;
  return budget;
}
