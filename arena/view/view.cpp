#include "view/view.h"

#include <algorithm>
#include <cstdio>

#include "view/clean_text.h"

namespace arena {

namespace {

constexpr std::size_t kChatLines = 5;
constexpr std::size_t kShownText = 60;
constexpr const char* kColours[] = {"31", "32", "34", "35", "36", "33", "91", "92"};

// Ids come from recordings too, so any int must map into range.
std::size_t Wrap(int id, std::size_t n) {
  const int m = static_cast<int>(n);
  return static_cast<std::size_t>((id % m + m) % m);
}

char Letter(int id) {
  return static_cast<char>('A' + Wrap(id, 26));
}

std::string NameOf(const Snapshot& s, int id) {
  for (const SnapshotPlayer& p : s.players) {
    if (p.id == id) {
      return CleanText(p.name, kShownText);
    }
  }
  return "player" + std::to_string(id);
}

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) {
    text.append(width - text.size(), ' ');
  }
  return text;
}

}  // namespace

std::vector<std::string> View::Map(const Snapshot& s) const {
  const bool ansi = mode_ == ViewMode::Ansi;
  // Each cell as one visible character plus, in colour, the escapes around it.
  std::vector<std::vector<std::string>> cells;
  for (const std::string& row : s.rows) {
    std::vector<std::string> line;
    for (const char c : row) {
      if (!ansi || c == '.') {
        line.emplace_back(c == '.' ? " " : std::string(1, c));
      } else {
        line.push_back(std::string(c == '+' ? "\x1b[2m" : "\x1b[33m") + c + "\x1b[0m");
      }
    }
    cells.push_back(std::move(line));
  }
  auto put = [&](int x, int y, std::string text) {
    if (y >= 0 && x >= 0 && static_cast<std::size_t>(y) < cells.size() &&
        static_cast<std::size_t>(x) < cells[static_cast<std::size_t>(y)].size()) {
      cells[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = std::move(text);
    }
  };
  for (const SnapshotCell& b : s.blasts) {
    put(b.x, b.y, ansi ? "\x1b[41;93m*\x1b[0m" : "*");
  }
  for (const SnapshotBomb& b : s.bombs) {
    const std::string digit(1, static_cast<char>('0' + std::clamp(b.timer, 0, 9)));
    put(b.x, b.y, ansi ? "\x1b[1;97m" + digit + "\x1b[0m" : digit);
  }
  for (const SnapshotPlayer& p : s.players) {
    if (p.alive) {
      const std::string letter(1, Letter(p.id));
      put(p.x, p.y,
          ansi ? std::string("\x1b[1;") + kColours[Wrap(p.id, 8)] + "m" + letter + "\x1b[0m"
               : letter);
    }
  }
  std::vector<std::string> lines;
  for (const auto& line : cells) {
    std::string text;
    for (const std::string& cell : line) {
      text += cell;
    }
    lines.push_back(std::move(text));
  }
  return lines;
}

std::vector<std::string> View::Panel(const Snapshot& s) const {
  std::vector<std::string> panel;
  panel.push_back("Round " + std::to_string(s.round) + " of " + std::to_string(s.rounds) +
                  "   tick " + std::to_string(s.tick));
  panel.emplace_back();
  for (const SnapshotPlayer& p : s.players) {
    std::string line(1, Letter(p.id));
    line += " " + Padded(CleanText(p.name, 16), 16) + (p.alive ? " alive" : " dead ") + "  wins " +
            std::to_string(p.wins);
    panel.push_back(std::move(line));
  }
  panel.emplace_back();
  for (const std::string& c : chat_) {
    panel.push_back(c);
  }
  while (panel.back().empty()) {
    panel.pop_back();
  }
  return panel;
}

std::string View::Draw(const Snapshot& s) {
  for (const SnapshotChat& c : s.chat) {
    chat_.push_back(NameOf(s, c.id) + ": " + CleanText(c.text, kShownText));
    if (chat_.size() > kChatLines) {
      chat_.pop_front();
    }
  }
  std::string out;
  if (mode_ != ViewMode::None) {
    const bool ansi = mode_ == ViewMode::Ansi;
    if (ansi) {
      out += first_ ? "\x1b[2J\x1b[H" : "\x1b[H";
    }
    first_ = false;
    const std::vector<std::string> map = Map(s);
    const std::vector<std::string> panel = Panel(s);
    const std::size_t width = s.rows.empty() ? 0 : s.rows.front().size();
    for (std::size_t i = 0; i < std::max(map.size(), panel.size()); ++i) {
      std::string line = i < map.size() ? map[i] : std::string(width, ' ');
      if (i < panel.size() && !panel[i].empty()) {
        line += "   " + panel[i];
      }
      out += line + (ansi ? "\x1b[K\n" : "\n");
    }
    out += ansi ? "\x1b[J" : "\n";
  }
  if (s.roundOver) {
    out += RoundResult(s) + "\n";
  }
  return out;
}

std::string RoundResult(const Snapshot& s) {
  std::string text = "Round " + std::to_string(s.round) + " of " + std::to_string(s.rounds) + ": ";
  text += s.winner >= 0 ? NameOf(s, s.winner) + " (" + Letter(s.winner) + ") wins" : "no winner";
  return text + " after " + std::to_string(s.tick) + " ticks";
}

std::string ResultsTable(const std::vector<Standing>& standings) {
  std::size_t nameWidth = 4;
  for (const Standing& st : standings) {
    nameWidth = std::max(nameWidth, CleanText(st.name, kShownText).size() + 2);
  }
  const std::vector<std::string> headings = {"won",      "kills",   "deaths",     "suicides",
                                             "commands", "ignored", "disconnects"};
  std::string out = Padded("name", nameWidth);
  for (const std::string& h : headings) {
    out += "  " + h;
  }
  out += "\n";
  for (std::size_t i = 0; i < standings.size(); ++i) {
    const Standing& st = standings[i];
    std::string name(1, Letter(static_cast<int>(i)));
    out += Padded(name + " " + CleanText(st.name, kShownText), nameWidth);
    const int values[] = {st.wins,     st.kills,   st.deaths,     st.suicides,
                          st.commands, st.ignored, st.disconnects};
    for (std::size_t c = 0; c < headings.size(); ++c) {
      const std::string v = std::to_string(values[c]);
      out +=
          "  " + std::string(headings[c].size() - std::min(headings[c].size(), v.size()), ' ') + v;
    }
    out += "\n";
  }
  return out;
}

}  // namespace arena
