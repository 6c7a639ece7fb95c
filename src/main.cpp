// Entry point: checks the command line, connects to the server it names and
// plays until the server goes away.
#include <cstdint>
#include <cstdlib>
#include <iostream>

#include "driver/address.h"
#include "driver/client.h"
#include "search/budget.h"

// The server's IPv4 address in host byte order, first number most significant.
int mip;

namespace {

// Runs the whole connection, searching each tick for `searchMs` when it is
// not 0. 0 once it has ended, 1 when it could not be made.
int Bot(int searchMs) {
  int status = 0;
  {
    Client client(static_cast<std::uint32_t>(mip), std::cout);
    if (searchMs > 0) {
      client.UseSearch(std::chrono::milliseconds(searchMs));
    }
    if (client.ConnectError().empty()) {
      client.Run();
    } else {
      std::cerr << "Connection failed: " << client.ConnectError() << "\n";
      status = 1;
    }
  }
  std::cout << "Client destroyed\n" << std::flush;
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  // A bad budget is refused before anything is printed or connected.
  const SearchBudget budget = ParseSearchBudget(std::getenv("MARROWLARK_SEARCH_MS"));
  if (!budget.error.empty()) {
    std::cerr << "marrowlark: " << budget.error << "\n";
    return 2;
  }
  if (argc < 5) {
    std::cout << "Marrowlark 127 0 0 1" << std::flush;
    return -1;
  }
  mip = static_cast<int>(AddressFromArguments(argv[1], argv[2], argv[3], argv[4]));
  return Bot(budget.milliseconds);
}
