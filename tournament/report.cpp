#include "report.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace tournament {

namespace {

std::string Fixed(double value, int decimals = 2) {
  char text[64];
  // No "-0.00" for a value that rounds to zero.
  std::snprintf(text, sizeof text, "%.*f", decimals, value + 0.0 == 0 ? 0.0 : value);
  return text;
}

// How long a seat lasted: surviving outlasts every death.
int Lifetime(const arena::SeatResult& s) {
  return s.end == "survived" ? INT_MAX : s.tick;
}

}  // namespace

Tally::Tally(const Config& c)
    : config_(c), wdl_(c.bots.size(), std::vector<Wdl>(c.bots.size())), bots_(c.bots.size()) {}

void Tally::Add(const GameRecord& g) {
  ++games_;
  const auto& seats = g.round.seats;
  std::vector<bool> played(bots_.size(), false);
  for (std::size_t i = 0; i < seats.size(); ++i) {
    const auto bot = static_cast<std::size_t>(g.bots[i]);
    BotCounts& b = bots_[bot];
    played[bot] = true;
    b.survived += seats[i].end == "survived";
    b.kills += seats[i].kills;
    b.suicides += seats[i].end == "suicide";
    b.killed += seats[i].end == "killed";
    b.disconnects += seats[i].disconnects;
    b.crashes += seats[i].signal.has_value() || seats[i].exit.value_or(0) != 0;
    for (std::size_t k = i + 1; k < seats.size(); ++k) {
      const auto other = static_cast<std::size_t>(g.bots[k]);
      if (other == bot) {
        continue;
      }
      const int a = Lifetime(seats[i]);
      const int b2 = Lifetime(seats[k]);
      Wdl& ab = wdl_[bot][other];
      Wdl& ba = wdl_[other][bot];
      if (a == b2) {
        ++ab.draws;
        ++ba.draws;
      } else if (a > b2) {
        ++ab.wins;
        ++ba.losses;
      } else {
        ++ab.losses;
        ++ba.wins;
      }
      if (bots_.size() == 2 && seats.size() == 2) {
        const int first = bot == 0 ? a : b2;
        const int second = bot == 0 ? b2 : a;
        pairPoints_[MapOf(config_, g.index)] += first > second ? 2 : first == second ? 1 : 0;
      }
    }
  }
  for (std::size_t bot = 0; bot < bots_.size(); ++bot) {
    bots_[bot].games += played[bot];
  }
  ++pairGames_[MapOf(config_, g.index)];
}

std::optional<Ptnml> Tally::Pairs() const {
  if (bots_.size() != 2 || config_.players != 2) {
    return std::nullopt;
  }
  Ptnml p{};
  int pairs = 0;
  for (const auto& [map, games] : pairGames_) {
    if (games == 2) {
      ++p[static_cast<std::size_t>(pairPoints_.at(map))];
      ++pairs;
    }
  }
  return pairs > 0 ? std::optional(p) : std::nullopt;
}

Estimate Tally::Current() const {
  const auto pairs = Pairs();
  return pairs ? FromPtnml(*pairs) : FromWdl(FirstAgainstSecond());
}

double Tally::Llr(const Sprt& s) const {
  const auto pairs = Pairs();
  return pairs ? LlrPtnml(*pairs, s.elo0, s.elo1) : LlrWdl(FirstAgainstSecond(), s.elo0, s.elo1);
}

Wdl Tally::Overall(std::size_t bot) const {
  Wdl total;
  for (const Wdl& w : wdl_[bot]) {
    total.wins += w.wins;
    total.draws += w.draws;
    total.losses += w.losses;
  }
  return total;
}

std::string Tally::Standing() const {
  if (bots_.size() == 2) {
    const Estimate e = Current();
    return "Elo " + Fixed(e.elo, 1) + " +/- " + Fixed(e.eloError, 1);
  }
  std::size_t leader = 0;
  for (std::size_t b = 1; b < bots_.size(); ++b) {
    if (FromWdl(Overall(b)).score > FromWdl(Overall(leader)).score) {
      leader = b;
    }
  }
  return "leader " + config_.bots[leader].name + " " +
         Fixed(100 * FromWdl(Overall(leader)).score, 1) + " %";
}

std::string Tally::Report(const std::optional<Sprt>& sprt) const {
  std::string out;
  auto line = [&out](const std::string& text) {
    out += text.substr(0, text.find_last_not_of(' ') + 1) + "\n";
  };
  if (bots_.size() == 2) {
    const Wdl w = FirstAgainstSecond();
    const auto pairs = Pairs();
    const Estimate e = Current();
    line("Results of " + config_.bots[0].name + " vs " + config_.bots[1].name + ":");
    line("Elo: " + Fixed(e.elo) + " +/- " + Fixed(e.eloError) + ", nElo: " + Fixed(e.nelo) +
         " +/- " + Fixed(e.neloError));
    std::string ratios = "LOS: " + Fixed(100 * e.los) + " %, DrawRatio: ";
    if (pairs) {
      const auto& p = *pairs;
      const int total = p[0] + p[1] + p[2] + p[3] + p[4];
      ratios += Fixed(100.0 * p[2] / total) + " %, PairsRatio: " +
                (p[0] + p[1] == 0 ? std::string("inf")
                                  : Fixed(static_cast<double>(p[3] + p[4]) / (p[0] + p[1])));
    } else {
      ratios += Fixed(w.Games() == 0 ? 0 : 100.0 * w.draws / w.Games()) + " %, PairsRatio: -";
    }
    line(ratios);
    line("Games: " + std::to_string(w.Games()) + ", Wins: " + std::to_string(w.wins) +
         ", Losses: " + std::to_string(w.losses) + ", Draws: " + std::to_string(w.draws) +
         ", Points: " + Fixed(w.Points(), 1) + " (" +
         Fixed(w.Games() == 0 ? 0 : 100 * w.Points() / w.Games()) + " %)");
    if (pairs) {
      const auto& p = *pairs;
      line("Ptnml(0-2): [" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + ", " +
           std::to_string(p[2]) + ", " + std::to_string(p[3]) + ", " + std::to_string(p[4]) + "]");
    }
    if (sprt) {
      const SprtBounds b = Bounds(sprt->alpha, sprt->beta);
      const double llr = Llr(*sprt);
      line("LLR: " + Fixed(llr) + " (" + Fixed(b.lower) + ", " + Fixed(b.upper) + ") [" +
           Fixed(sprt->elo0) + ", " + Fixed(sprt->elo1) + "]" +
           (llr >= b.upper   ? " H1 accepted"
            : llr <= b.lower ? " H0 accepted"
                             : ""));
    }
  } else {
    std::size_t width = 4;
    for (const Bot& b : config_.bots) {
      width = std::max(width, b.name.size() + 2);
    }
    auto pad = [width](std::string s) { return s + std::string(width - s.size(), ' '); };
    line("Cross table (W-D-L of the row against the column):");
    std::string head = pad("");
    for (const Bot& b : config_.bots) {
      head += pad(b.name);
    }
    line(head);
    for (std::size_t a = 0; a < bots_.size(); ++a) {
      std::string row = pad(config_.bots[a].name);
      for (std::size_t b = 0; b < bots_.size(); ++b) {
        const Wdl& w = wdl_[a][b];
        row += pad(a == b ? "-"
                          : std::to_string(w.wins) + "-" + std::to_string(w.draws) + "-" +
                                std::to_string(w.losses));
      }
      line(row);
    }
    for (std::size_t a = 0; a < bots_.size(); ++a) {
      const Wdl w = Overall(a);
      const Estimate e = FromWdl(w);
      line("Score of " + config_.bots[a].name + ": " + Fixed(w.Points(), 1) + " of " +
           std::to_string(w.Games()) + " (" + Fixed(100 * e.score) + " %), Elo: " + Fixed(e.elo) +
           " +/- " + Fixed(e.eloError));
    }
  }
  for (std::size_t a = 0; a < bots_.size(); ++a) {
    const BotCounts& b = bots_[a];
    line("Bot " + config_.bots[a].name + ": Games: " + std::to_string(b.games) +
         ", Survived: " + std::to_string(b.survived) + ", Kills: " + std::to_string(b.kills) +
         ", Suicides: " + std::to_string(b.suicides) + ", Killed: " + std::to_string(b.killed) +
         ", Disconnects: " + std::to_string(b.disconnects) +
         ", Crashes: " + std::to_string(b.crashes));
  }
  return out;
}

}  // namespace tournament
