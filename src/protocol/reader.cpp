#include "protocol/reader.h"

#include <algorithm>

#include "protocol/fields.h"

namespace {

bool Contains(std::string_view line, std::string_view keyword) {
  return line.find(keyword) != std::string_view::npos;
}

}  // namespace

bool Reader::ReadStatus() {
  for (;;) {
    const std::string_view line = network->ReadLine();
    // The whole-line keywords hold no space, so none of them is also a value
    // line; a section read ends the view's life, hence the continues.
    if (line == Network::kDisconnect)
      return false;
    if (line == "DEAD") {
      *log << "DEAD\n" << std::flush;  // seen at once, not with the next tick
      continue;
    }
    if (line == "ENDOFROUND") {
      state->EndRound();
      *log << "ENDOFROUND\n" << std::flush;
      continue;
    }
    if (line == "PLAYERS") {
      ReadPlayers();
      continue;
    }
    if (line == "BOMBS") {
      ReadBombs();
      continue;
    }
    if (line == "MAP") {
      ReadMap();
      return true;
    }
    // The value tests are not exclusive: a line holding both "X " and "Y "
    // sets both from the same text. Each value is cut at the keyword's length
    // from the start of the line, wherever the keyword itself stands.
    if (Contains(line, "X "))
      state->SetOwnX(Val<int>(line.substr(2)));
    if (Contains(line, "Y "))
      state->SetOwnY(Val<int>(line.substr(2)));
    if (Contains(line, "HEIGHT "))
      state->SetHeight(Val<int>(line.substr(7)));
    if (Contains(line, "WIDTH "))
      state->SetWidth(Val<int>(line.substr(6)));
  }
}

bool Reader::NewerBlockWaiting() {
  // The sections as ReadStatus walks them: inside one, only its end line
  // counts, so a "MAP" or "ENDMAP" listed as a player starts nothing.
  std::string_view inside;
  for (std::string_view rest = network->ReadAhead(); !rest.empty();) {
    const std::size_t newline = rest.find('\n');
    const std::string_view line = rest.substr(0, std::min(newline, Network::kMaxLine));
    rest.remove_prefix(newline + 1);
    if (line == Network::kDisconnect)
      return false;
    if (!inside.empty()) {
      if (line == inside) {
        if (line == "ENDMAP")
          return true;
        inside = {};
      }
    } else if (line == "PLAYERS") {
      inside = "ENDPLAYERS";
    } else if (line == "BOMBS") {
      inside = "ENDBOMBS";
    } else if (line == "MAP") {
      inside = "ENDMAP";
    }
  }
  return false;
}

// A player line is "id x,y". A line without both an id and a position piece
// with two numbers has nothing to merge and is skipped.
void Reader::ReadPlayers() {
  state->BeginPlayers();
  for (;;) {
    const std::string_view line = network->ReadLine();
    if (line == "ENDPLAYERS" || line == Network::kDisconnect)
      break;
    Split(line, ' ', words);
    if (words.size() < 2)
      continue;
    Split(words[1], ',', coordinates);
    if (coordinates.size() < 2)
      continue;
    state->MergePlayer(Val<int>(words[0]), Val<int>(coordinates[0]), Val<int>(coordinates[1]));
  }
  state->EndPlayers();
}

// A bomb line is "x,y timer"; short lines are skipped as for players.
void Reader::ReadBombs() {
  state->BeginBombs();
  for (;;) {
    const std::string_view line = network->ReadLine();
    if (line == "ENDBOMBS" || line == Network::kDisconnect)
      break;
    Split(line, ' ', words);
    if (words.size() < 2)
      continue;
    Split(words[0], ',', coordinates);
    if (coordinates.size() < 2)
      continue;
    state->MergeBomb(Val<int>(coordinates[0]), Val<int>(coordinates[1]), Val<int>(words[1]));
  }
  state->EndBombs();
}

// A disconnect inside the map ends it like "ENDMAP": the rows so far count.
// Rows past the largest map are ignored, so the counter stops there.
void Reader::ReadMap() {
  for (int row = 0;; row = std::min(row + 1, State::kMaxSide)) {
    const std::string_view line = network->ReadLine();
    if (line == "ENDMAP" || line == Network::kDisconnect)
      break;
    state->SetRow(row, line);
  }
  state->EndMap();
}
