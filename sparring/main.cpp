// marrowlark-sparring: a graded opponent for anyone writing a bot. Connects
// to the arena like any player and plays one style until the server goes.
#include <CLI/CLI.hpp>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "choose.h"
#include "connection.h"
#include "position.h"
#include "status.h"

namespace {

constexpr std::uint16_t kPort = 54321;

int Play(sparring::Connection& connection, sparring::Style style, std::uint64_t seed) {
  connection.Send("NAME " + std::string(sparring::StyleName(style)));
  sparring::StatusReader reader;
  sparring::OwnerBook owners;
  std::mt19937_64 rng(seed);
  while (const auto line = connection.ReadLine()) {
    switch (reader.Feed(*line)) {
      case sparring::Event::Disconnect:
        return 0;
      case sparring::Event::RoundEnd:
        owners.Clear();
        break;
      case sparring::Event::Block: {
        // Every block updates who owns which bomb; only the newest is answered.
        const sparring::Position p = owners.Observe(reader.Latest());
        if (!connection.Holds("ENDMAP\n")) {
          const arena::Command c = sparring::Choose(p, style, rng);
          if (c != arena::Command::Stay) {
            connection.Send(arena::CommandWord(c));
          }
        }
        break;
      }
      case sparring::Event::Dead:
      case sparring::Event::None:
        break;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("marrowlark-sparring: a sparring partner for bomb-laying maze bots");
  std::string styleWord;
  std::uint64_t seed = 1;
  std::vector<std::string> address;
  app.add_option("--style", styleWord, "random, runner or hunter")
      ->required()
      ->check(CLI::IsMember({"random", "runner", "hunter"}));
  app.add_option("--seed", seed, "seed of the tie-breaks and the random style")
      ->capture_default_str();
  app.add_option("address", address, "the server's IPv4 address as four numbers: 127 0 0 1")
      ->required()
      ->expected(4);
  CLI11_PARSE(app, argc, argv);

  const sparring::Style style = *sparring::ParseStyle(styleWord);
  auto connection = sparring::Connection::Open(
      sparring::AddressOf(address[0], address[1], address[2], address[3]), kPort);
  if (!connection) {
    std::cerr << "marrowlark-sparring: cannot connect to " << address[0] << '.' << address[1] << '.'
              << address[2] << '.' << address[3] << ':' << kPort << '\n';
    return 1;
  }
  return Play(*connection, style, seed);
}
