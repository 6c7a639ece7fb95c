// The arena's command line as a user meets it: bad options are refused with a
// message and status 2 before anything listens.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>

#include "child_process.h"

namespace {

TEST(Options, InvalidOnesExitWithStatusTwoAndSayWhy) {
  const std::string dir = ScratchDir("options");
  std::ofstream(dir + "/ragged.txt") << "+++\n++\n";
  std::ofstream(dir + "/tiny.txt") << "+++\n+.+\n+++\n";
  std::ofstream(dir + "/garbage.jsonl") << "{]\n";
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"--players", "1"}, "--players"},
      {{"--players", "9"}, "--players"},
      {{"--size", "8x9"}, "odd"},
      {{"--size", "5x5"}, "odd, from 7 to 255"},
      {{"--size", "257x7"}, "odd, from 7 to 255"},
      {{"--size", "15"}, "WxH"},
      {{"--density", "1.5"}, "--density"},
      {{"--bind", "300.1.1.1"}, "not an IPv4 address"},
      {{"--bind", "localhost"}, "not an IPv4 address"},
      {{"--port", "0"}, "--port"},
      {{"--tick-ms", "-1"}, "--tick-ms"},
      {{"--rounds", "0"}, "--rounds"},
      {{"--view", "fancy"}, "--view"},
      {{"--bogus"}, "bogus"},
      {{"--map", dir + "/missing.txt"}, "--map"},
      {{"--map", dir + "/ragged.txt"}, "row 2 is 2 characters long"},
      {{"--map", dir + "/tiny.txt"}, "1 floor cells for 4 players"},
      {{"--map", dir + "/tiny.txt", "--size", "9x9"}, "excludes"},
      {{"--players", "2", "--spawn", "a", "--spawn", "b", "--spawn", "c"}, "than seats"},
      {{"--replay", dir + "/garbage.jsonl"}, "garbage.jsonl:1:"},
      {{"--record", dir + "/no/such/folder/r.jsonl"}, "cannot write"},
      {{"--html", dir + "/page.html"}, "--html requires --replay"},
      {{"--replay", dir + "/garbage.jsonl", "--html", dir + "/page.html"}, "garbage.jsonl:1:"},
      {{"--human", "--replay", dir + "/garbage.jsonl"}, "excludes"},
      {{"--human-name", "bob"}, "--human-name requires --human"},
      {{"--players", "2", "--human", "--spawn", "a", "--spawn", "b"}, "and --human than seats"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv = {ArenaBinary(), "--bind", "127.0.1.60"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const ChildOutcome out = RunChild(argv, std::chrono::seconds(10));
    EXPECT_EQ(out.status, 2) << c.args.front() << " " << c.args.back() << "\n" << out.err;
    EXPECT_NE(out.err.find(c.message), std::string::npos) << c.message << " in: " << out.err;
    EXPECT_EQ(out.out, "") << c.args.front();
  }
}

TEST(Options, HelpListsEveryOptionAndExitsZero) {
  const ChildOutcome out = RunChild({ArenaBinary(), "--help"});
  EXPECT_EQ(out.status, 0);
  for (const char* option :
       {"--bind", "--port", "--players", "--size", "--density", "--seed", "--map", "--rounds",
        "--max-ticks", "--tick-ms", "--view", "--record", "--replay", "--html", "--human",
        "--human-name", "--spawn", "--logs"}) {
    EXPECT_NE(out.out.find(option), std::string::npos) << option;
  }
}

TEST(Options, AnAddressInUseIsReportedNotIgnored) {
  const int taken = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(54321);
  inet_pton(AF_INET, "127.0.1.61", &a.sin_addr);
  ASSERT_EQ(bind(taken, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(listen(taken, 1), 0);
  const ChildOutcome out = RunChild({ArenaBinary(), "--bind", "127.0.1.61"});
  close(taken);
  EXPECT_EQ(out.status, 1);
  EXPECT_NE(out.err.find("cannot listen on 127.0.1.61:54321"), std::string::npos) << out.err;
}

}  // namespace
