#include "options.h"

#include <arpa/inet.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <regex>

namespace arena {

namespace {

std::string CheckAddress(const std::string& text) {
  in_addr address{};
  return inet_pton(AF_INET, text.c_str(), &address) == 1 ? "" : "not an IPv4 address: " + text;
}

std::string CheckSize(const std::string& text) {
  static const std::regex pattern("([0-9]{1,3})x([0-9]{1,3})");
  std::smatch m;
  if (!std::regex_match(text, m, pattern)) {
    return "expected WxH, such as 15x13: " + text;
  }
  for (const int side : {std::stoi(m[1].str()), std::stoi(m[2].str())}) {
    if (side < 7 || side > 255 || side % 2 == 0) {
      return "width and height must be odd, from 7 to 255: " + text;
    }
  }
  return "";
}

}  // namespace

ParsedOptions ParseOptions(int argc, char** argv) {
  ParsedOptions parsed;
  Options& o = parsed.options;
  std::string size = "15x13";

  CLI::App app("marrowlark-arena: a local game server for bomb-laying maze bots");
  app.add_option("--bind", o.bind, "IPv4 address to listen on")
      ->capture_default_str()
      ->check(CheckAddress, "IPv4");
  app.add_option("--port", o.port, "TCP port")->capture_default_str()->check(CLI::Range(1, 65535));
  app.add_option("--players", o.match.players, "seats; the game starts when all are taken")
      ->capture_default_str()
      ->check(CLI::Range(2, 8));
  auto* sizeOption = app.add_option("--size", size, "map size WxH, odd, 7 to 255")
                         ->capture_default_str()
                         ->check(CheckSize, "WxH");
  app.add_option("--density", o.match.density, "share of free cells that get a block")
      ->capture_default_str()
      ->check(CLI::Range(0.0, 1.0));
  app.add_option("--seed", o.match.seed, "map generator seed")->capture_default_str();
  app.add_option("--map", o.map, "play this fixed map instead ('.', '#', '+', one row a line)")
      ->check(CLI::ExistingFile)
      ->excludes(sizeOption);
  app.add_option("--rounds", o.match.rounds, "rounds to play")
      ->capture_default_str()
      ->check(CLI::Range(1, 100000));
  app.add_option("--max-ticks", o.match.maxTicks, "ticks after which a round ends undecided")
      ->capture_default_str()
      ->check(CLI::Range(1, 1000000));
  app.add_option("--tick-ms", o.tickMs, "milliseconds per tick (replay: 0 is as fast as it draws)")
      ->capture_default_str()
      ->check(CLI::Range(0, 60000));
  app.add_option("--view", o.view, "auto (ansi on a terminal, else plain), ansi, plain or none")
      ->capture_default_str()
      ->check(CLI::IsMember({"auto", "ansi", "plain", "none"}));
  app.add_option("--record", o.record, "write every tick to this file, one JSON object a line");
  app.add_option("--results", o.results, "append one JSON line per finished round to this file");
  auto* spawnOption =
      app.add_option("--spawn", o.spawn, "start CMD with the bind address's four numbers appended")
          ->expected(1)
          ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  auto* replayOption = app.add_option("--replay", o.replay, "show a recorded game, with no network")
                           ->check(CLI::ExistingFile)
                           ->excludes(spawnOption);
  app.add_option("--html", o.html, "with --replay: write the game as one self-contained web page")
      ->needs(replayOption);
  auto* humanOption =
      app.add_flag("--human", o.human, "play seat 0 from this terminal: arrows/WASD, space, q")
          ->excludes(replayOption);
  app.add_option("--human-name", o.humanName, "the --human player's name (default: login name)")
      ->needs(humanOption);
  auto* logsOption =
      app.add_option("--logs", o.logs,
                     "folder for the spawned programs' output (with --html: where they are now)")
          ->capture_default_str();

  try {
    app.parse(argc, argv);
    const int seated = static_cast<int>(o.spawn.size()) + (o.human ? 1 : 0);
    if (seated > o.match.players) {
      throw CLI::ValidationError("--spawn",
                                 "more --spawn commands (" + std::to_string(o.spawn.size()) +
                                     (o.human ? ") and --human" : ")") + " than seats (" +
                                     std::to_string(o.match.players) + ")");
    }
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    parsed.exitStatus = 0;
    return parsed;
  } catch (const CLI::ParseError& e) {
    std::cerr << "marrowlark-arena: " << e.what() << "\nRun with --help for the options.\n";
    parsed.exitStatus = 2;
    return parsed;
  }
  if (!o.html.empty() && logsOption->count() > 0) {
    o.replayLogs = o.logs;
  }
  const auto x = size.find('x');
  o.match.width = std::stoi(size.substr(0, x));
  o.match.height = std::stoi(size.substr(x + 1));
  return parsed;
}

}  // namespace arena
