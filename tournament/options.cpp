#include "options.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <regex>
#include <sstream>
#include <thread>

namespace tournament {

namespace {

bool Executable(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

// Whether the first word of a bot's command names a program that can run.
bool Runnable(const std::string& command) {
  std::istringstream in(command);
  std::string program;
  in >> program;
  if (program.empty()) {
    return false;
  }
  if (program.find('/') != std::string::npos) {
    return Executable(program);
  }
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path != nullptr ? path : "");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    if (!dir.empty() && Executable(std::filesystem::path(dir) / program)) {
      return true;
    }
  }
  return false;
}

Bot ParseBot(const std::string& text) {
  static const std::regex pattern("([A-Za-z0-9._-]{1,32})=(.+)");
  std::smatch m;
  if (!std::regex_match(text, m, pattern)) {
    throw CLI::ValidationError("--bot",
                               "expected NAME=CMD, NAME of letters, digits, . _ -: " + text);
  }
  if (!Runnable(m[2].str())) {
    throw CLI::ValidationError("--bot", "cannot start " + m[2].str());
  }
  return {m[1].str(), m[2].str()};
}

std::string CheckSize(const std::string& text) {
  static const std::regex pattern("([0-9]{1,3})x([0-9]{1,3})");
  std::smatch m;
  const bool ok = std::regex_match(text, m, pattern) && std::stoi(m[1].str()) % 2 == 1 &&
                  std::stoi(m[2].str()) % 2 == 1 && std::stoi(m[1].str()) >= 7 &&
                  std::stoi(m[2].str()) >= 7 && std::stoi(m[1].str()) <= 255 &&
                  std::stoi(m[2].str()) <= 255;
  return ok ? "" : "expected WxH, odd, from 7 to 255: " + text;
}

std::string ArenaBesideUs() {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (self.parent_path() / "marrowlark-arena").string();
}

void Check(const Options& o, const std::vector<std::string>& bots, bool sized) {
  if (!o.merge.empty()) {
    if (!bots.empty() || !o.resume.empty()) {
      throw CLI::ValidationError("--merge",
                                 "takes the schedule from the files: no --bot, --resume");
    }
    return;
  }
  if (o.config.bots.size() < 2) {
    throw CLI::ValidationError("--bot", "two or more bots are needed");
  }
  if (o.config.games < 1) {
    throw CLI::ValidationError("--games", "--games N is needed");
  }
  for (std::size_t i = 0; i < o.config.bots.size(); ++i) {
    for (std::size_t k = 0; k < i; ++k) {
      if (o.config.bots[i].name == o.config.bots[k].name) {
        throw CLI::ValidationError("--bot", "two bots named " + o.config.bots[i].name);
      }
    }
  }
  if (o.sprt && (o.config.bots.size() != 2 || o.sprt->elo0 >= o.sprt->elo1)) {
    throw CLI::ValidationError("--sprt", "needs two bots and ELO0 below ELO1");
  }
  if (sized && !o.config.map.empty()) {
    throw CLI::ValidationError("--map", "--map and --size exclude each other");
  }
  if (!Executable(o.arena)) {
    throw CLI::ValidationError("--arena", "cannot run the arena " + o.arena);
  }
}

}  // namespace

ParsedOptions ParseOptions(int argc, char** argv) {
  ParsedOptions parsed;
  Options& o = parsed.options;
  Config& c = o.config;
  std::vector<std::string> bots;
  std::string shard = "1/1";
  std::string sprt;
  double alpha = 0.05;
  double beta = 0.05;
  o.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  o.arena = ArenaBesideUs();

  CLI::App app("marrowlark-tournament: many arena games between bots, with statistics");
  app.add_option("--bot", bots, "NAME=CMD, two or more; CMD gets the game's address appended")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--games", c.games, "games to play (one game is one arena round)")
      ->check(CLI::Range(1, 10000000));
  app.add_option("--players", c.players, "seats per game")
      ->capture_default_str()
      ->check(CLI::Range(2, 8));
  app.add_option("--jobs", o.jobs, "games at once, each on its own 127.0.3.x")
      ->capture_default_str()
      ->check(CLI::Range(1, 254));
  app.add_option("--seed", c.seed, "seed of the first map")->capture_default_str();
  auto* size = app.add_option("--size", c.size, "map size WxH")
                   ->capture_default_str()
                   ->check(CheckSize, "WxH");
  app.add_option("--density", c.density, "share of free cells that get a block")
      ->capture_default_str()
      ->check(CLI::Range(0.0, 1.0));
  app.add_option("--map", c.map, "play this fixed map in every game")->check(CLI::ExistingFile);
  app.add_option("--max-ticks", c.maxTicks, "ticks after which a game is a draw")
      ->capture_default_str()
      ->check(CLI::Range(1, 1000000));
  app.add_option("--tick-ms", c.tickMs, "milliseconds per tick")
      ->capture_default_str()
      ->check(CLI::Range(0, 60000));
  auto* results = app.add_option("--results", o.results, "write every finished game here");
  app.add_option("--resume", o.resume, "continue this results file")
      ->check(CLI::ExistingFile)
      ->excludes(results);
  app.add_option("--record-dir", o.recordDir, "keep each game's recording here");
  app.add_option("--logs", o.logs, "folder for each game's arena and bot output")
      ->capture_default_str();
  app.add_option("--sprt", sprt, "ELO0,ELO1: stop once the SPRT decides (two bots)");
  app.add_option("--alpha", alpha, "SPRT false positive rate")
      ->capture_default_str()
      ->check(CLI::Range(0.0001, 0.5));
  app.add_option("--beta", beta, "SPRT false negative rate")
      ->capture_default_str()
      ->check(CLI::Range(0.0001, 0.5));
  app.add_option("--shard", shard, "I/N: play only the I-th of N slices of the schedule")
      ->capture_default_str();
  app.add_option("--merge", o.merge, "join these results files into one report")
      ->check(CLI::ExistingFile);
  app.add_option("--arena", o.arena, "the marrowlark-arena program")->capture_default_str();

  try {
    app.parse(argc, argv);
    for (const std::string& b : bots) {
      c.bots.push_back(ParseBot(b));
    }
    const auto s = ParseShard(shard);
    if (!s) {
      throw CLI::ValidationError("--shard", "expected I/N with 1 <= I <= N: " + shard);
    }
    o.shard = *s;
    if (!sprt.empty()) {
      Sprt bounds{0, 0, alpha, beta};
      char comma = 0;
      std::istringstream in(sprt);
      if (!(in >> bounds.elo0 >> comma >> bounds.elo1) || comma != ',' || !in.eof()) {
        throw CLI::ValidationError("--sprt", "expected ELO0,ELO1: " + sprt);
      }
      o.sprt = bounds;
    }
    Check(o, bots, size->count() > 0);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    parsed.exitStatus = 0;
  } catch (const CLI::ParseError& e) {
    std::cerr << "marrowlark-tournament: " << e.what() << "\n";
    parsed.exitStatus = 2;
  }
  return parsed;
}

}  // namespace tournament
