// marrowlark-tournament: plays the schedule's missing games through the
// arena, writes each as it ends, and prints the report; or merges results
// files into one report.
#include <csignal>
#include <iostream>

#include "options.h"
#include "progress.h"
#include "report.h"
#include "results_file.h"
#include "runner.h"

namespace {

// The one piece of global state: set by SIGINT or SIGTERM, read by the loop.
volatile std::sig_atomic_t gSignal = 0;

void OnSignal(int signal) {
  gSignal = signal;
}

void InstallSignals() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

int Fail(const std::string& message, int status) {
  std::cerr << "marrowlark-tournament: " << message << "\n";
  return status;
}

// Joins results files of one schedule: every game at most once.
int Merge(const tournament::Options& o) {
  std::optional<tournament::ResultsContent> all;
  std::string error;
  for (const std::string& path : o.merge) {
    auto content = tournament::ReadResults(path, error);
    if (!content) {
      return Fail(error, 2);
    }
    if (!all) {
      all = std::move(content);
      continue;
    }
    if (!(content->config == all->config)) {
      return Fail(path + " belongs to another schedule than " + o.merge.front(), 2);
    }
    for (auto& [index, game] : content->games) {
      if (!all->games.emplace(index, std::move(game)).second) {
        return Fail("game " + std::to_string(index) + " is in more than one file (" + path + ")",
                    2);
      }
    }
  }
  tournament::Tally tally(all->config);
  tournament::ResultsFile out;
  std::map<int, tournament::GameRecord> none;
  if (!o.results.empty() && !out.Open(o.results, false, all->config, {}, none, error)) {
    return Fail(error, 2);
  }
  for (const auto& [index, game] : all->games) {
    tally.Add(game);
    if (!o.results.empty() && !out.Append(game)) {
      return Fail("cannot write " + o.results, 1);
    }
  }
  std::cout << tally.Report(o.sprt) << std::flush;
  return 0;
}

int Play(const tournament::Options& o) {
  const tournament::Config& c = o.config;
  tournament::ResultsFile file;
  std::map<int, tournament::GameRecord> done;
  const std::string path = o.resume.empty() ? o.results : o.resume;
  std::string error;
  if (!path.empty() && !file.Open(path, !o.resume.empty(), c, o.shard, done, error)) {
    return Fail(error, 2);
  }
  tournament::Tally tally(c);
  std::vector<int> todo;
  int total = 0;
  for (int game = 0; game < c.games; ++game) {
    if (o.shard.Holds(c, game)) {
      ++total;
      if (!done.contains(game)) {
        todo.push_back(game);
      }
    }
  }
  for (const auto& [index, game] : done) {
    tally.Add(game);
  }
  auto decided = [&] {
    if (!o.sprt) {
      return false;
    }
    const double llr = tally.Llr(*o.sprt);
    const tournament::SprtBounds b = tournament::Bounds(o.sprt->alpha, o.sprt->beta);
    return llr <= b.lower || llr >= b.upper;
  };

  InstallSignals();
  tournament::Progress progress(total, tally.Games());
  std::string failure;
  bool stopped = decided();
  tournament::Runner runner(c, {o.arena, o.jobs, o.logs, o.recordDir});
  runner.Run(
      todo,
      [&](const tournament::GameRecord& g) {
        if (!path.empty() && !file.Append(g)) {
          failure = "cannot write " + path;
        }
        tally.Add(g);
        stopped = stopped || decided();
      },
      [&](int game, const std::string& why) {
        if (failure.empty()) {
          failure = "game " + std::to_string(game) + ": " + why;
        }
      },
      [&] {
        if (progress.Due(tally.Games())) {
          progress.Update(tally.Games(), tally.Standing());
        }
        return gSignal != 0 || stopped || !failure.empty();
      });
  progress.Finish();
  std::cout << tally.Report(o.sprt) << std::flush;
  if (gSignal != 0) {
    return 128 + gSignal;
  }
  return failure.empty() ? 0 : Fail(failure, 1);
}

}  // namespace

int main(int argc, char** argv) {
  const tournament::ParsedOptions parsed = tournament::ParseOptions(argc, argv);
  if (parsed.exitStatus) {
    return *parsed.exitStatus;
  }
  return parsed.options.merge.empty() ? Play(parsed.options) : Merge(parsed.options);
}
