#include "bot_log/decision_log.h"

#include <charconv>
#include <string_view>

namespace arena {

namespace {

// The whole of `text` is one decimal number, or the answer is false.
template <typename T>
bool Number(std::string_view text, T& out) {
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, out);
  return error == std::errc() && at == end && !text.empty();
}

bool Strip(std::string_view& text, std::string_view prefix) {
  if (text.substr(0, prefix.size()) != prefix) {
    return false;
  }
  text.remove_prefix(prefix.size());
  return true;
}

// Cuts `text` at the first `separator`: what comes before it is returned.
std::string_view Cut(std::string_view& text, std::string_view separator) {
  const std::size_t at = text.find(separator);
  const std::string_view head = text.substr(0, at);
  text = at == std::string_view::npos ? std::string_view() : text.substr(at + separator.size());
  return head;
}

// "X,Y : V"
bool ParseEvaluated(std::string_view text, Candidate& c) {
  const std::string_view x = Cut(text, ",");
  const std::string_view y = Cut(text, " : ");
  return Number(x, c.x) && Number(y, c.y) && Number(text, c.value);
}

// "depth D, N ticks[, line W( W)*][, too big to search: one-tick look-ahead]";
// parts it does not know are left for a later bot to add.
bool ParseSearch(std::string_view text, Decision& d) {
  static constexpr std::string_view kWords[] = {"STAY", "UP", "DOWN", "LEFT", "RIGHT", "BOMB"};
  d.searched = true;
  std::string_view depth = Cut(text, ", ");
  std::string_view ticks = Cut(text, ", ");
  if (!Strip(depth, "depth ") || !Number(depth, d.depth) || ticks.size() < 6 ||
      ticks.substr(ticks.size() - 6) != " ticks" ||
      !Number(ticks.substr(0, ticks.size() - 6), d.searchedTicks)) {
    return false;
  }
  while (!text.empty()) {
    std::string_view part = Cut(text, ", ");
    if (part == "too big to search: one-tick look-ahead") {
      d.tooBig = true;
    } else if (Strip(part, "line ")) {
      while (!part.empty()) {
        const std::string_view word = Cut(part, " ");
        int command = 0;
        while (command < 6 && kWords[command] != word) {
          ++command;
        }
        if (command == 6) {
          return false;
        }
        d.line.push_back(command);
      }
    }
  }
  return true;
}

// One tick's lines as they come: six "Evaluated:", perhaps "Search:",
// "Best:", "Time:", closed by "Tick:".
struct Block {
  int lines = 0;
  int evaluated = 0;
  int stage = 0;  // 1 Evaluated, 2 Search, 3 Best, 4 Time: the last seen
  bool bad = false;
  bool disorder = false;
  Decision decision;

  // A line of `stage` arrives: it must not go back, and only Evaluated
  // lines repeat, six of them before anything else.
  void Enter(int next) {
    ++lines;
    if (next < stage || (next == stage && next != 1) || (next == 1 && evaluated == 6) ||
        (next > 1 && evaluated < 6) || (next == 4 && stage != 3)) {
      disorder = true;
    }
    stage = next;
  }
};

bool IsFrameLine(std::string_view line) {
  static constexpr std::string_view kFrame[] = {
      "Networking started", "Connection created", "Client created", "Connection closed",
      "Networking stopped", "Client destroyed",   "DEAD",           "ENDOFROUND"};
  for (const std::string_view f : kFrame) {
    if (line == f) {
      return true;
    }
  }
  return false;
}

class Reading {
 public:
  DecisionLog Finish(bool cut) {
    log_.cutShort = cut || block_.lines > 0;
    return std::move(log_);
  }

  void Line(std::string_view line) {
    std::string_view rest = line;
    if (Strip(rest, "Evaluated: ")) {
      block_.Enter(1);
      if (block_.evaluated < 6 &&
          !ParseEvaluated(rest, block_.decision.candidates[block_.evaluated])) {
        block_.bad = true;
      }
      ++block_.evaluated;
    } else if (Strip(rest, "Search: ")) {
      block_.Enter(2);
      block_.bad = !ParseSearch(rest, block_.decision) || block_.bad;
    } else if (Strip(rest, "Best: ")) {
      block_.Enter(3);
      int chosen = -1;
      block_.bad = !Number(Cut(rest, " : "), chosen) || chosen < 0 || chosen > 5 || block_.bad;
      block_.decision.chosen = chosen;
    } else if (Strip(rest, "Time: ")) {
      block_.Enter(4);
      block_.bad = !Number(rest, block_.decision.micros) || block_.bad;
    } else if (Strip(rest, "Tick: ")) {
      Close(rest);
    } else if (IsFrameLine(line)) {
      Frame(line);
    } else if (block_.lines > 0) {
      block_.bad = true;  // a stray line inside a tick: its meaning is lost
    }
  }

 private:
  void Frame(std::string_view line) {
    // The reader echoes these between ticks, never inside one.
    if (block_.lines > 0) {
      ++log_.outOfOrder;
      block_ = Block{};
    }
    if (line == "Networking started") {
      log_.botFormat = true;
    } else if (line == "ENDOFROUND") {
      ++round_;
    }
  }

  void Close(std::string_view number) {
    Block block = std::move(block_);
    block_ = Block{};
    int tick = 0;
    if (!Number(number, tick)) {
      ++log_.unparsed;  // a tick that cannot be placed
      return;
    }
    if (log_.rounds.size() <= round_) {
      log_.rounds.resize(round_ + 1);
    }
    std::map<int, Decision>& ticks = log_.rounds[round_];
    // Ticks only climb within a round; two blocks claiming one tick leave it
    // unknown, since neither can be trusted over the other.
    if (!ticks.empty() && tick <= ticks.rbegin()->first) {
      block.disorder = true;
    }
    block.decision.known =
        !block.bad && !block.disorder && block.evaluated == 6 && block.stage == 4;
    if (block.disorder) {
      ++log_.outOfOrder;
    } else if (!block.decision.known) {
      ++log_.unparsed;
    } else {
      log_.botFormat = true;
    }
    ticks[tick] = block.decision.known ? std::move(block.decision) : Decision{};
  }

  DecisionLog log_;
  Block block_;
  std::size_t round_ = 0;
};

}  // namespace

std::string DecisionLog::Faults() const {
  std::string text;
  auto add = [&](const std::string& part) { text += (text.empty() ? "" : "; ") + part; };
  if (cutShort) {
    add("cut short in the middle of a tick");
  }
  if (outOfOrder > 0) {
    add(std::to_string(outOfOrder) + " ticks with lines out of order");
  }
  if (unparsed > 0) {
    add(std::to_string(unparsed) + " ticks whose lines do not parse");
  }
  return text;
}

DecisionLog ReadDecisionLog(std::istream& in) {
  Reading reading;
  std::string line;
  while (std::getline(in, line)) {
    // A last line with no newline was cut while it was being written.
    if (in.eof()) {
      return reading.Finish(true);
    }
    reading.Line(line);
  }
  return reading.Finish(false);
}

}  // namespace arena
