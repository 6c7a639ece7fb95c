#include "bot_output.h"

#include <algorithm>
#include <regex>
#include <sstream>

#include "driver/insulter.h"

namespace {

const std::vector<std::string> kStartup = {"Networking started", "Connection created",
                                           "Client created"};
const std::vector<std::string> kTeardown = {"Connection closed", "Networking stopped",
                                            "Client destroyed"};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

}  // namespace

BotOutput ReadOutput(const std::string& out) {
  static const std::regex evaluated("Evaluated: (-?[0-9]+,-?[0-9]+) : -?[0-9]+");
  static const std::regex best("Best: [0-5] : -?[0-9]+");
  static const std::regex search(
      "Search: depth [0-9]+, [0-9]+ ticks(, line( (STAY|UP|DOWN|LEFT|RIGHT|BOMB))+)?"
      "(, too big to search: one-tick look-ahead)?");
  static const std::regex time("Time: (-?[0-9]+)");
  static const std::regex tick("Tick: ([0-9]+)");

  BotOutput result;
  if (out.empty() || out.back() != '\n') {
    result.fault = "output does not end in a line end";
    return result;
  }
  const std::vector<std::string> lines = Lines(out);
  const std::size_t n = lines.size();
  if (n < 6 || !std::equal(kStartup.begin(), kStartup.end(), lines.begin()) ||
      !std::equal(kTeardown.begin(), kTeardown.end(), lines.end() - 3)) {
    result.fault = "start-up or teardown lines missing";
    return result;
  }
  std::size_t i = 3;
  const auto fail = [&](const char* what) {
    result.fault = std::string(what) + " at line " + std::to_string(i + 1) + ": " +
                   (i < n ? lines[i] : std::string());
    return result;
  };
  while (i < n - 3) {
    if (lines[i] == "DEAD" || lines[i] == "ENDOFROUND") {
      ++i;
      continue;
    }
    std::string positions;
    std::smatch m;
    for (int c = 0; c < 6; ++c, ++i) {
      if (i >= n - 3 || !std::regex_match(lines[i], m, evaluated))
        return fail("expected an Evaluated line");
      positions += (c ? " " : "") + m[1].str();
    }
    const bool searched = i < n - 3 && std::regex_match(lines[i], search);
    result.searches.push_back(searched ? lines[i++] : std::string());
    result.searchLines += searched ? 1 : 0;
    if (i + 2 >= n - 3 || !std::regex_match(lines[i], best))
      return fail("expected a Best line");
    if (!std::regex_match(lines[++i], m, time))
      return fail("expected a Time line");
    result.micros.push_back(std::stol(m[1].str()));
    if (!std::regex_match(lines[++i], m, tick))
      return fail("expected a Tick line");
    result.ticks.push_back(std::stoi(m[1].str()));
    result.positions.push_back(positions);
    ++i;
  }
  return result;
}

std::string SentFault(const std::string& sent) {
  const std::string name = "NAME Marrowlark\n";
  if (sent.compare(0, name.size(), name) != 0)
    return "the name line does not come first";
  if (sent.back() != '\n')
    return "the last line is not whole";
  const Insulter insulter;
  std::vector<std::string> allowed = {"UP", "DOWN", "LEFT", "RIGHT", "BOMB"};
  for (const std::vector<std::string>* lines : {&insulter.idleLines, &insulter.doomLines}) {
    for (const std::string& text : *lines)
      allowed.push_back("SAY " + text);
  }
  for (const std::string& line : Lines(sent.substr(name.size()))) {
    if (std::find(allowed.begin(), allowed.end(), line) == allowed.end())
      return "line not in the rules: " + line;
  }
  return {};
}
