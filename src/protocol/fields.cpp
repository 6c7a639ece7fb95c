#include "protocol/fields.h"

void Split(std::string_view text, char separator, std::vector<std::string_view>& pieces) {
  pieces.clear();
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find(separator, begin);
    if (end == std::string_view::npos)
      end = text.size();
    pieces.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
}
