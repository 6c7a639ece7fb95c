#include "results_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace tournament {

namespace {

nlohmann::json Header(const Config& c, const Shard& shard) {
  return {{"tournament", ToJson(c)},
          {"shard", std::to_string(shard.index) + "/" + std::to_string(shard.count)}};
}

GameRecord GameFromJson(const Config& c, const nlohmann::json& j) {
  GameRecord g;
  g.index = j.at("game").get<int>();
  g.seed = j.at("seed").get<std::uint64_t>();
  g.round = arena::RoundOutcomeFromJson(j);
  const Game scheduled = ScheduledGame(c, g.index);
  if (g.index < 0 || g.index >= c.games || g.seed != scheduled.seed ||
      g.round.seats.size() != scheduled.seats.size()) {
    throw nlohmann::json::other_error::create(501, "a game not in this schedule", &j);
  }
  for (std::size_t seat = 0; seat < scheduled.seats.size(); ++seat) {
    const int bot = scheduled.seats[seat];
    if (j.at("seats")[seat].at("bot").get<std::string>() !=
        c.bots[static_cast<std::size_t>(bot)].name) {
      throw nlohmann::json::other_error::create(501, "a seat held by another bot", &j);
    }
    g.bots.push_back(bot);
  }
  return g;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string GameLine(const Config& c, const GameRecord& g) {
  nlohmann::json j = arena::ToJson(g.round);
  j["game"] = g.index;
  j["seed"] = g.seed;
  for (std::size_t seat = 0; seat < g.bots.size(); ++seat) {
    j["seats"][seat]["bot"] = c.bots[static_cast<std::size_t>(g.bots[seat])].name;
  }
  return arena::JsonLine(j) + "\n";
}

std::optional<ResultsContent> ReadResults(const std::string& path, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  ResultsContent content;
  int number = 0;
  try {
    for (std::string line; std::getline(in, line);) {
      ++number;
      const nlohmann::json j = nlohmann::json::parse(line);
      if (number == 1) {
        content.config = ConfigFromJson(j.at("tournament"));
        const auto shard = ParseShard(j.at("shard").get<std::string>());
        if (!shard) {
          throw nlohmann::json::other_error::create(501, "bad shard", &j);
        }
        content.shard = *shard;
        continue;
      }
      GameRecord g = GameFromJson(content.config, j);
      if (!content.games.emplace(g.index, std::move(g)).second) {
        throw nlohmann::json::other_error::create(501, "a game written twice", &j);
      }
    }
  } catch (const nlohmann::json::exception& e) {
    error = path + ":" + std::to_string(number) + ": not a results file: " + e.what();
    return std::nullopt;
  }
  if (number == 0) {
    error = path + ": empty, not a results file";
    return std::nullopt;
  }
  return content;
}

ResultsFile::~ResultsFile() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

bool ResultsFile::Open(const std::string& path, bool resume, const Config& c, const Shard& shard,
                       std::map<int, GameRecord>& done, std::string& error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  auto fail = [&](const std::string& why) {
    ::close(fd);
    error = why;
    return false;
  };
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    return fail(path + " is in use by another tournament");
  }
  struct stat st {};
  ::fstat(fd, &st);
  if (st.st_size > 0 && !resume) {
    return fail(path + " already holds a tournament (--resume " + path + " continues it)");
  }
  if (st.st_size > 0) {
    const auto content = ReadResults(path, error);
    if (!content) {
      return fail(error);
    }
    if (!(content->config == c)) {
      return fail(path + " belongs to another schedule");
    }
    if (content->shard.index != shard.index || content->shard.count != shard.count) {
      return fail(path + " holds another shard of the schedule");
    }
    done = content->games;
  } else if (!WriteAll(fd, arena::JsonLine(Header(c, shard)) + "\n")) {
    return fail("cannot write " + path + ": " + std::strerror(errno));
  }
  fd_ = fd;
  config_ = c;
  return true;
}

bool ResultsFile::Append(const GameRecord& g) {
  return WriteAll(fd_, GameLine(config_, g));
}

}  // namespace tournament
