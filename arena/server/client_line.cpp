#include "server/client_line.h"

#include "rules/command.h"

namespace arena {

std::optional<std::string_view> NameIn(const Line& line) {
  if (line.overlong || !line.text.starts_with("NAME "))
    return std::nullopt;
  return std::string_view(line.text).substr(5);
}

void PlayLine(Match& match, int seat, const Line& line) {
  if (line.overlong) {
    match.Ignore(seat);
  } else if (const auto command = ParseCommand(line.text)) {
    match.Play(seat, *command);
  } else if (line.text.starts_with("SAY ")) {
    match.Say(seat, std::string_view(line.text).substr(4));
  } else {
    match.Ignore(seat);
  }
}

}  // namespace arena
