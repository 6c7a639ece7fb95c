// Fuzz target: a match driven by arbitrary bytes. The input picks the seats,
// the map (generated or a fixed one) and then a run of events: bytes a client
// sends, over a real socket into the arena's connection; a tick; a client
// leaving. The glue between lines and the match is the server's. Every state
// is checked against the rules, and the whole game is played twice to prove
// it deterministic.
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rules/board.h"
#include "server/client_line.h"
#include "server/connection.h"
#include "server/match.h"

namespace {

using arena::Connection;
using arena::Line;
using arena::Match;
using arena::MatchOptions;
using arena::Snapshot;

constexpr int kRounds = 2;
constexpr int kMaxTicks = 20;

void Require(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

class Input {
 public:
  explicit Input(std::string_view bytes) : rest(bytes) {}
  bool Empty() const { return rest.empty(); }
  std::uint8_t Byte() {
    if (rest.empty())
      return 0;
    const auto b = static_cast<std::uint8_t>(rest.front());
    rest.remove_prefix(1);
    return b;
  }
  std::string_view Bytes(std::size_t count) {
    const std::string_view taken = rest.substr(0, count);
    rest.remove_prefix(taken.size());
    return taken;
  }

 private:
  std::string_view rest;
};

bool Printable(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f;
  });
}

// One seat: the arena's connection and the client's end of the socket.
struct Seat {
  Connection connection{-1};
  int client = -1;
  bool open = true;
  bool named = false;
};

class Game {
 public:
  Game(MatchOptions options, int players) : match(std::move(options)), seats(players) {
    for (Seat& seat : seats) {
      int ends[2];
      Require(socketpair(AF_UNIX, SOCK_STREAM, 0, ends) == 0, "socketpair");
      seat.connection = Connection(ends[0]);
      seat.client = ends[1];
    }
  }
  ~Game() {
    for (Seat& seat : seats) {
      if (seat.client >= 0)
        close(seat.client);
    }
  }
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  void Run(Input input) {
    while (!input.Empty() && !over) {
      const std::uint8_t op = input.Byte();
      const int seat = (op >> 2) % static_cast<int>(seats.size());
      switch (op & 3) {
        case 0:
          Send(seat, input.Bytes(input.Byte()));
          break;
        case 1:
          Tick();
          break;
        case 2:
          Hang(seat);
          break;
        case 3:
          // A line past the arena's limit, then whatever follows it.
          Send(seat, std::string(Connection::kMaxLine + input.Byte(), 'U') + "\nUP\n");
          break;
      }
    }
    // Then the match plays out with nobody sending anything.
    for (int t = 0; !over; ++t) {
      Require(t <= kRounds * (kMaxTicks + 2), "a match ends within its rounds and ticks");
      Tick();
    }
  }

  std::vector<Snapshot> snapshots;

 private:
  // The client's bytes reach the arena, which handles each whole line.
  void Send(int seat, std::string_view bytes) {
    Seat& s = seats[static_cast<std::size_t>(seat)];
    if (s.client < 0 || !s.open)
      return;
    if (send(s.client, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT) < 0)
      return;
    Receive(seat);
  }

  void Receive(int seat) {
    Seat& s = seats[static_cast<std::size_t>(seat)];
    const bool alive = s.connection.Receive();
    while (const std::optional<Line> line = s.connection.NextLine())
      HandleLine(seat, *line);
    if (!alive)
      Drop(seat);
  }

  void HandleLine(int seat, const Line& line) {
    Seat& s = seats[static_cast<std::size_t>(seat)];
    if (!started) {
      const std::optional<std::string_view> name = arena::NameIn(line);
      if (!s.named && name)
        match.SetName(seat, *name);
      s.named = true;
    } else {
      arena::PlayLine(match, seat, line);
    }
  }

  // The client closes its end during the game; the arena notices once it has
  // read what was left. (A client leaving the lobby is just replaced.)
  void Hang(int seat) {
    Seat& s = seats[static_cast<std::size_t>(seat)];
    if (s.client < 0 || !started)
      return;
    close(s.client);
    s.client = -1;
    for (int reads = 0; s.open && reads < 8; ++reads)
      Receive(seat);
    Require(!s.open, "a closed client is noticed");
  }

  void Drop(int seat) {
    Seat& s = seats[static_cast<std::size_t>(seat)];
    if (!s.open)
      return;
    s.open = false;
    s.connection = Connection(-1);
    if (started)
      match.Leave(seat);
  }

  void SendTo(int seat, std::string_view text) {
    Seat& s = seats[static_cast<std::size_t>(seat)];
    if (s.open && !s.connection.Send(text))
      Drop(seat);
    // The client takes what it was sent, so its socket never fills.
    char chunk[65536];
    while (s.client >= 0 && recv(s.client, chunk, sizeof chunk, MSG_DONTWAIT) > 0) {
    }
  }

  void SendBlocks() {
    for (int seat = 0; seat < match.Seats(); ++seat) {
      if (match.Alive(seat)) {
        const std::string block = match.StatusBlock(seat);
        CheckBlock(seat, block);
        SendTo(seat, block);
      }
    }
  }

  void StartRound() {
    match.StartRound();
    Observe();
    SendBlocks();
  }

  // One turn of the server's loop: start, a tick, or the end of a round.
  void Tick() {
    if (!started) {
      started = true;
      StartRound();
      return;
    }
    if (match.RoundOver()) {
      Observe();
      for (int seat = 0; seat < match.Seats(); ++seat)
        SendTo(seat, "ENDOFROUND\n");
      if (match.Finished()) {
        over = true;
        return;
      }
      StartRound();
      return;
    }
    const arena::TickOutcome outcome = match.Step();
    for (const arena::Death& d : outcome.deaths)
      SendTo(d.victim, "DEAD\n");
    if (!match.RoundOver()) {
      Observe();
      SendBlocks();
    }
  }

  void Observe() {
    Snapshot s = match.TakeSnapshot();
    CheckSnapshot(s);
    snapshots.push_back(std::move(s));
  }

  void CheckSnapshot(const Snapshot& s) {
    Require(s.tick <= kMaxTicks, "a round ends at its last tick");
    Require(static_cast<int>(s.players.size()) == match.Seats(), "a record for every seat");
    const auto floor = [&](int x, int y) {
      return y >= 0 && y < static_cast<int>(s.rows.size()) && x >= 0 &&
             x < static_cast<int>(s.rows[static_cast<std::size_t>(y)].size()) &&
             s.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '.';
    };
    std::set<std::pair<int, int>> standing;
    int alive = 0;
    for (const arena::SnapshotPlayer& p : s.players) {
      Require(p.name.size() <= arena::kMaxName && Printable(p.name), "names are clean");
      if (!p.alive)
        continue;
      ++alive;
      Require(floor(p.x, p.y), "a live player stands on floor");
      Require(standing.insert({p.x, p.y}).second, "no two live players share a cell");
      Require(seats[static_cast<std::size_t>(p.id)].open, "a player whose client left is out");
    }
    Require(!s.roundOver || alive <= 1 || s.tick == kMaxTicks, "a round ends by rule only");
    std::set<std::pair<int, int>> bombs;
    std::set<int> owners;
    for (const arena::SnapshotBomb& b : s.bombs) {
      Require(b.timer >= 1 && b.timer <= 5, "live bombs show 5 down to 1");
      Require(floor(b.x, b.y), "a bomb lies on floor");
      Require(bombs.insert({b.x, b.y}).second, "no two bombs share a cell");
      Require(owners.insert(b.owner).second, "one live bomb a player");
    }
    for (const arena::SnapshotChat& c : s.chat)
      Require(c.text.size() <= arena::kMaxChat && Printable(c.text), "chat is clean");
    int deaths = 0;
    int kills = 0;
    for (const arena::Standing& st : match.Standings()) {
      deaths += st.deaths;
      kills += st.kills + st.suicides;
      Require(st.wins <= kRounds && st.deaths <= kRounds, "one win or death a round at most");
    }
    Require(deaths == kills, "every death is a kill or a suicide");
  }

  // The block a seat gets: the grammar the bot reads, with the seat itself
  // only in the X and Y lines and every number in range.
  void CheckBlock(int seat, const std::string& block) {
    std::vector<std::string_view> lines;
    for (std::string_view rest = block; !rest.empty();) {
      const std::size_t newline = rest.find('\n');
      Require(newline != std::string_view::npos, "a block is whole lines");
      lines.push_back(rest.substr(0, newline));
      rest.remove_prefix(newline + 1);
    }
    std::size_t i = 0;
    const auto next = [&] { return i < lines.size() ? lines[i++] : std::string_view("<end>"); };
    const auto number = [](std::string_view text) {
      Require(
          !text.empty() && text.size() <= 6 &&
              std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }),
          "numbers are plain decimals");
      return std::atoi(std::string(text).c_str());
    };
    Require(next() == "PLAYERS", "PLAYERS first");
    for (std::string_view line = next(); line != "ENDPLAYERS"; line = next()) {
      const std::size_t space = line.find(' ');
      const std::size_t comma = line.find(',');
      Require(space != std::string_view::npos && comma > space && comma != std::string_view::npos,
              "a player line is id x,y");
      const int id = number(line.substr(0, space));
      number(line.substr(space + 1, comma - space - 1));
      number(line.substr(comma + 1));
      Require(id != seat && id < match.Seats() && match.Alive(id), "others, alive, listed");
    }
    Require(next() == "BOMBS", "BOMBS after the players");
    for (std::string_view line = next(); line != "ENDBOMBS"; line = next()) {
      const std::size_t comma = line.find(',');
      const std::size_t space = line.find(' ');
      Require(comma != std::string_view::npos && space > comma && space != std::string_view::npos,
              "a bomb line is x,y timer");
      const int timer = number(line.substr(space + 1));
      Require(timer >= 1 && timer <= 5, "bomb timers 1 to 5");
    }
    const std::string_view x = next();
    const std::string_view y = next();
    const std::string_view width = next();
    const std::string_view height = next();
    Require(x.starts_with("X ") && y.starts_with("Y ") && width.starts_with("WIDTH ") &&
                height.starts_with("HEIGHT "),
            "X, Y, WIDTH and HEIGHT lines in order");
    const int w = number(width.substr(6));
    const int h = number(height.substr(7));
    Require(number(x.substr(2)) < w && number(y.substr(2)) < h, "the seat is on the map");
    Require(next() == "MAP", "MAP after the sizes");
    for (int row = 0; row < h; ++row) {
      const std::string_view text = next();
      Require(static_cast<int>(text.size()) == w &&
                  text.find_first_not_of(".#+") == std::string_view::npos,
              "rows of WIDTH map characters");
    }
    Require(next() == "ENDMAP" && i == lines.size(), "ENDMAP ends the block");
  }

  Match match;
  std::vector<Seat> seats;
  bool started = false;
  bool over = false;
};

// The match options from the input's first bytes; nullopt for a fixed map
// with too few floor cells, which the arena refuses to start.
std::optional<MatchOptions> Options(Input& input, int players) {
  MatchOptions o;
  o.players = players;
  o.rounds = kRounds;
  o.maxTicks = kMaxTicks;
  o.width = 7 + 2 * (input.Byte() % 5);
  o.height = 7 + 2 * (input.Byte() % 5);
  o.density = (input.Byte() % 11) / 10.0;
  o.seed = input.Byte();
  if (input.Byte() & 1) {
    const arena::ParsedBoard parsed = arena::ParseBoard(std::string(input.Bytes(input.Byte())));
    if (!parsed.board ||
        static_cast<int>(arena::ChooseSpawns(*parsed.board, players).size()) < players) {
      return std::nullopt;
    }
    o.map = parsed.board;
  }
  return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Input input(bytes);
  const int players = 2 + input.Byte() % 7;
  const std::optional<MatchOptions> options = Options(input, players);
  if (!options)
    return 0;
  std::vector<Snapshot> first;
  for (int run = 0; run < 2; ++run) {
    Game game(*options, players);
    game.Run(input);
    if (run == 0)
      first = std::move(game.snapshots);
    else
      Require(game.snapshots == first, "the same seed and commands give the same game");
  }
  return 0;
}
