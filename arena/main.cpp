// marrowlark-arena: parses the command line, then either replays a recording
// or serves a match, with the view, the recorder and any spawned players.
#include <arpa/inet.h>

#include <unistd.h>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <thread>

#include "keyboard/keyboard_seat.h"
#include "keyboard/terminal_mode.h"
#include "options.h"
#include "recording/recorder.h"
#include "recording/round_record.h"
#include "replay_page/html_page.h"
#include "rules/board.h"
#include "server/children.h"
#include "server/match.h"
#include "server/server.h"
#include "view/clean_text.h"
#include "view/view.h"

namespace {

// The one piece of global state: set by SIGINT or SIGTERM, read by the loops.
volatile std::sig_atomic_t gSignal = 0;

// How long a spawned program has to connect before the next one is started.
constexpr std::chrono::seconds kConnectWait{10};

void OnSignal(int signal) {
  gSignal = signal;
}

void InstallSignals() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: poll and sleeps return early to see the flag
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

int ExitStatus() {
  return gSignal != 0 ? 128 + gSignal : 0;
}

arena::ViewMode ChooseView(const std::string& view) {
  if (view == "ansi" || (view == "auto" && isatty(STDOUT_FILENO))) {
    return arena::ViewMode::Ansi;
  }
  return view == "none" ? arena::ViewMode::None : arena::ViewMode::Plain;
}

int Replay(const arena::Options& o) {
  if (!o.html.empty()) {
    const arena::PageWritten written = arena::WriteReplayPage(o.replay, o.html, o.replayLogs);
    for (const std::string& warning : written.warnings) {
      std::cerr << "marrowlark-arena: " << warning << "\n";
    }
    if (!written.error.empty()) {
      std::cerr << "marrowlark-arena: " << written.error << "\n";
      return written.badRecording ? 2 : 1;
    }
    std::cout << "Wrote " << o.html << ": " << written.ticks << " ticks\n";
    return 0;
  }
  const arena::Recording recording = arena::ReadRecording(o.replay);
  if (!recording.error.empty()) {
    std::cerr << "marrowlark-arena: " << recording.error << "\n";
    return 2;
  }
  arena::View view(ChooseView(o.view));
  for (const arena::Snapshot& s : recording.ticks) {
    if (gSignal != 0) {
      break;
    }
    std::cout << view.Draw(s) << std::flush;
    std::this_thread::sleep_for(std::chrono::milliseconds(o.tickMs));
  }
  if (!recording.results.empty()) {
    std::cout << "\n" << arena::ResultsTable(recording.results);
  }
  return ExitStatus();
}

// The four numbers of a dotted IPv4 address, as the bot takes them.
std::vector<std::string> AddressNumbers(const std::string& address) {
  std::vector<std::string> numbers;
  std::istringstream in(address);
  for (std::string part; std::getline(in, part, '.');) {
    numbers.push_back(part);
  }
  return numbers;
}

bool LoadMap(const std::string& path, arena::MatchOptions& mo) {
  const int players = mo.players;
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  arena::ParsedBoard parsed = arena::ParseBoard(text.str());
  if (!parsed.board) {
    std::cerr << "marrowlark-arena: " << path << ": " << parsed.error << "\n";
    return false;
  }
  const std::size_t spawns = arena::ChooseSpawns(*parsed.board, players).size();
  if (static_cast<int>(spawns) < players) {
    std::cerr << "marrowlark-arena: " << path << ": " << spawns << " floor cells for " << players
              << " players\n";
    return false;
  }
  mo.map = std::move(parsed.board);
  return true;
}

// Where the i-th spawned program's output goes: <logs>/<i + 1>-<program>.log.
std::string SpawnLog(const arena::Options& o, std::size_t i) {
  const std::string& command = o.spawn[i];
  const std::string name =
      std::filesystem::path(command.substr(0, command.find(' '))).filename().string();
  return (std::filesystem::path(o.logs) / (std::to_string(i + 1) + "-" + name + ".log")).string();
}

std::string Describe(const arena::ChildResult& r) {
  std::string text = r.command + ": ";
  text += r.signal != 0 ? "ended by signal " + std::to_string(r.signal)
                        : "exited with status " + std::to_string(r.status);
  return text + " (log " + r.log + ")";
}

// Seat i holds the i-th spawned program, whose command and ending the line
// gets once it has been reaped.
void WriteLastRound(arena::RoundOutcome round, const std::vector<std::string>& spawn,
                    const std::vector<arena::ChildResult>& ended, std::ofstream& out) {
  for (std::size_t i = 0; i < round.seats.size() && i < ended.size(); ++i) {
    arena::SeatResult& seat = round.seats[i];
    seat.command = spawn[i];
    if (ended[i].signal != 0) {
      seat.signal = ended[i].signal;
    } else if (ended[i].status >= 0) {
      seat.exit = ended[i].status;
    }
  }
  out << arena::JsonLine(arena::ToJson(round)) << std::endl;
}

int Serve(const arena::Options& o) {
  if (o.human && !arena::OnTerminal()) {
    std::cerr << "marrowlark-arena: --human needs a terminal on standard input and output\n";
    return 2;
  }
  // Declared first, so the terminal is restored last, on every way out.
  std::optional<arena::TerminalMode> terminal;
  arena::KeyboardSeat seat;
  arena::MatchOptions mo = o.match;
  if (!o.map.empty() && !LoadMap(o.map, mo)) {
    return 2;
  }
  arena::Recorder recorder;
  std::string error;
  if (!o.record.empty() && !recorder.Open(o.record, error)) {
    std::cerr << "marrowlark-arena: " << error << "\n";
    return 2;
  }
  if (recorder.IsOpen() && !o.spawn.empty()) {
    // The keyboard seat comes first; the spawned programs follow in order.
    std::vector<arena::SeatLog> logs;
    for (std::size_t i = 0; i < o.spawn.size(); ++i) {
      logs.push_back({static_cast<int>(i) + (o.human ? 1 : 0), SpawnLog(o, i)});
    }
    recorder.WriteLogs(std::move(logs));
  }

  std::ofstream results;
  if (!o.results.empty()) {
    results.open(o.results, std::ios::app);
    if (!results) {
      std::cerr << "marrowlark-arena: cannot write the results " << o.results << "\n";
      return 2;
    }
  }

  arena::Match match(std::move(mo));
  arena::ServerOptions so;
  so.bind = o.bind;
  so.port = o.port;
  so.tick = std::chrono::milliseconds(o.tickMs);
  arena::Server server(match, so);
  if (!server.Listen(error)) {
    std::cerr << "marrowlark-arena: " << error << "\n";
    return 1;
  }
  // Cleaned here as the match would, so a newline cannot smuggle in a command.
  const std::string humanName =
      arena::CleanText(o.humanName.empty() ? arena::LoginName() : o.humanName, arena::kMaxName);
  if (o.human) {
    terminal.emplace();
    const int fd = seat.Start(humanName, error);
    if (fd < 0) {
      std::cerr << "marrowlark-arena: " << error << "\n";
      return 1;
    }
    server.Adopt(fd);
  }

  arena::Children children;
  std::error_code ec;
  if (!o.spawn.empty()) {
    std::filesystem::create_directories(o.logs, ec);
  }
  // Seat i is the i-th --spawn: each program starts once the one before it
  // has connected, so the seats follow the command line.
  std::size_t started = 0;
  auto startedAt = std::chrono::steady_clock::now();
  std::string spawnError;
  auto spawnNext = [&] {
    if (started == o.spawn.size() || !spawnError.empty()) {
      return;
    }
    // The keyboard seat, adopted first, is no spawned program.
    if (server.Joined() - (o.human ? 1 : 0) < static_cast<int>(started)) {
      if (std::chrono::steady_clock::now() - startedAt > kConnectWait) {
        spawnError = o.spawn[started - 1] + ": did not connect within " +
                     std::to_string(kConnectWait.count()) + " s";
      }
      return;
    }
    if (!children.Start(o.spawn[started], AddressNumbers(o.bind), SpawnLog(o, started),
                        spawnError)) {
      return;
    }
    ++started;
    startedAt = std::chrono::steady_clock::now();
  };

  // A spawned player that dies before the game begins would leave its seat
  // empty for ever.
  const arena::ChildResult* early = nullptr;
  auto stop = [&] {
    if (!server.Playing() && early == nullptr) {
      early = children.FirstExited();
      spawnNext();
    }
    return gSignal != 0 || seat.Quit() ||
           (!server.Playing() && (early != nullptr || !spawnError.empty()));
  };
  arena::View view(o.human ? arena::ViewMode::Ansi : ChooseView(o.view));
  std::cout << "Waiting for " << o.match.players << " players on " << o.bind << ":" << o.port
            << "\n"
            << std::flush;
  arena::RoundTracker tracker(o.match.seed);
  std::optional<arena::RoundOutcome> lastRound;
  server.Run(stop, [&](const arena::Snapshot& s) {
    std::cout << view.Draw(s);
    if (o.human) {
      std::cout << "You are A (" << humanName
                << "): arrows or WASD move, space drops a bomb, q leaves\x1b[K\n";
    }
    std::cout << std::flush;
    if (recorder.IsOpen()) {
      recorder.Write(s);
    }
    if (results.is_open()) {
      if (auto r = tracker.See(s, match.Standings())) {
        // The last round waits for the spawned programs' exit statuses.
        if (r->round < o.match.rounds) {
          results << arena::JsonLine(arena::ToJson(*r)) << std::endl;
        } else {
          lastRound = std::move(r);
        }
      }
    }
  });
  if (early != nullptr || !spawnError.empty()) {
    std::cerr << "marrowlark-arena: "
              << (early != nullptr ? Describe(*early) + " before the game began" : spawnError)
              << "\n";
    children.End(0);
    return 1;
  }
  if (recorder.IsOpen()) {
    recorder.WriteResults(match.Standings());
  }
  // Players that saw the goodbye exit by themselves; the rest are ended.
  children.End(gSignal != 0 ? 0 : 3000);
  if (lastRound) {
    WriteLastRound(*lastRound, o.spawn, children.Results(), results);
  }
  std::cout << "\n" << arena::ResultsTable(match.Standings());
  for (const arena::ChildResult& r : children.Results()) {
    std::cout << Describe(r) << "\n";
  }
  return ExitStatus();
}

}  // namespace

int main(int argc, char** argv) {
  const arena::ParsedOptions parsed = arena::ParseOptions(argc, argv);
  if (parsed.exitStatus) {
    return *parsed.exitStatus;
  }
  InstallSignals();
  return parsed.options.replay.empty() ? Serve(parsed.options) : Replay(parsed.options);
}
