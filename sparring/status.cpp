#include "status.h"

#include <charconv>
#include <utility>

namespace sparring {

namespace {

// A decimal number at the start of text; 0 when there is none.
int Number(std::string_view text) {
  int value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// "x,y" with the rest of the text after it.
std::pair<int, int> Pair(std::string_view text) {
  const auto comma = text.find(',');
  if (comma == std::string_view::npos) {
    return {Number(text), 0};
  }
  return {Number(text.substr(0, comma)), Number(text.substr(comma + 1))};
}

}  // namespace

Event StatusReader::Feed(std::string_view line) {
  if (line == "DISCONNECT") {
    return Event::Disconnect;
  }
  switch (section_) {
    case Section::Players:
      if (line == "ENDPLAYERS") {
        section_ = Section::Top;
      } else if (const auto space = line.find(' '); space != std::string_view::npos) {
        const auto [x, y] = Pair(line.substr(space + 1));
        building_.others.push_back(SeenPlayer{Number(line), x, y});
      }
      return Event::None;
    case Section::Bombs:
      if (line == "ENDBOMBS") {
        section_ = Section::Top;
      } else if (const auto space = line.find(' '); space != std::string_view::npos) {
        const auto [x, y] = Pair(line.substr(0, space));
        building_.bombs.push_back(SeenBomb{x, y, Number(line.substr(space + 1))});
      }
      return Event::None;
    case Section::Map:
      if (line != "ENDMAP") {
        building_.rows.emplace_back(line);
        return Event::None;
      }
      section_ = Section::Top;
      latest_ = std::move(building_);
      building_ = Status{};
      return Event::Block;
    case Section::Top:
      break;
  }
  if (line == "DEAD") {
    return Event::Dead;
  }
  if (line == "ENDOFROUND") {
    building_ = Status{};
    return Event::RoundEnd;
  }
  if (line == "PLAYERS") {
    building_.others.clear();
    section_ = Section::Players;
  } else if (line == "BOMBS") {
    building_.bombs.clear();
    section_ = Section::Bombs;
  } else if (line == "MAP") {
    building_.rows.clear();
    section_ = Section::Map;
  } else if (line.starts_with("X ")) {
    building_.x = Number(line.substr(2));
  } else if (line.starts_with("Y ")) {
    building_.y = Number(line.substr(2));
  } else if (line.starts_with("WIDTH ")) {
    building_.width = Number(line.substr(6));
  } else if (line.starts_with("HEIGHT ")) {
    building_.height = Number(line.substr(7));
  }
  return Event::None;
}

}  // namespace sparring
