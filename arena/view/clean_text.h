// Text from clients (names, chat) made safe to show and store: control
// characters removed, so no client can move the cursor or forge lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace arena {

// At most `limit` bytes are kept.
std::string CleanText(std::string_view text, std::size_t limit);

}  // namespace arena
