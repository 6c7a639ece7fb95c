#include "keyboard/keys.h"

#include "rules/command.h"

#include <optional>

namespace arena {

namespace {

std::optional<Key> Letter(char c) {
  switch (c) {
    case 'w':
    case 'W':
      return Key::Up;
    case 's':
    case 'S':
      return Key::Down;
    case 'a':
    case 'A':
      return Key::Left;
    case 'd':
    case 'D':
      return Key::Right;
    case ' ':
      return Key::Bomb;
    case 'q':
    case 'Q':
      return Key::Quit;
    default:
      return std::nullopt;
  }
}

std::optional<Key> Arrow(char c) {
  switch (c) {
    case 'A':
      return Key::Up;
    case 'B':
      return Key::Down;
    case 'C':
      return Key::Right;
    case 'D':
      return Key::Left;
    default:
      return std::nullopt;
  }
}

}  // namespace

std::vector<Key> TakeKeys(std::string& typed) {
  std::vector<Key> keys;
  std::size_t i = 0;
  while (i < typed.size()) {
    if (typed[i] != '\x1b') {
      if (const auto key = Letter(typed[i])) {
        keys.push_back(*key);
      }
      ++i;
      continue;
    }
    if (i + 1 == typed.size() ||
        ((typed[i + 1] == '[' || typed[i + 1] == 'O') && i + 2 == typed.size())) {
      break;  // the rest of the sequence is still on its way
    }
    if (typed[i + 1] != '[' && typed[i + 1] != 'O') {
      ++i;  // a lone escape: drop it, read what follows as keys
      continue;
    }
    if (const auto key = Arrow(typed[i + 2])) {
      keys.push_back(*key);
    }
    i += 3;
  }
  typed.erase(0, i);
  return keys;
}

std::string KeyLine(Key key) {
  Command command = Command::Stay;
  switch (key) {
    case Key::Up:
      command = Command::Up;
      break;
    case Key::Down:
      command = Command::Down;
      break;
    case Key::Left:
      command = Command::Left;
      break;
    case Key::Right:
      command = Command::Right;
      break;
    case Key::Bomb:
      command = Command::Bomb;
      break;
    case Key::Quit:
      return "";
  }
  return std::string(CommandWord(command)) + "\n";
}

}  // namespace arena
