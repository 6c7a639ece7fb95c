#include "rules/command.h"

#include <array>

namespace arena {

namespace {
constexpr std::array<std::string_view, 6> kWords = {"", "UP", "DOWN", "LEFT", "RIGHT", "BOMB"};
}

std::optional<Command> ParseCommand(std::string_view line) {
  for (std::size_t i = 1; i < kWords.size(); ++i) {
    if (line == kWords[i]) {
      return static_cast<Command>(i);
    }
  }
  return std::nullopt;
}

std::string_view CommandWord(Command c) {
  return kWords[static_cast<std::size_t>(c)];
}

}  // namespace arena
