#include "view/clean_text.h"

namespace arena {

std::string CleanText(std::string_view text, std::size_t limit) {
  std::string clean;
  for (const char c : text) {
    if (clean.size() >= limit) {
      break;
    }
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u != 0x7f) {
      clean.push_back(c);
    }
  }
  return clean;
}

}  // namespace arena
