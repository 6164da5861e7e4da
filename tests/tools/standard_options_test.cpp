// Every program answers --help and --version alike, and the game and the
// launcher refuse a bad argument with one line on standard error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/version.h"
#include "run_command.h"

namespace {

struct Program {
  std::string name;
  std::string path;
};

const Program PROGRAMS[] = {{"morva", MORVA_GAME},
                            {"morva-cli", MORVA_CLI},
                            {"morva-book", MORVA_BOOK},
                            {"morva-launch", MORVA_LAUNCH}};

TEST(StandardOptions, HelpAndVersionOnStandardOutput) {
  for (const Program& p : PROGRAMS) {
    const auto help = tools_test::run(p.path, {"--help"});
    EXPECT_EQ(help.status, 0) << p.name;
    EXPECT_EQ(help.out.rfind("usage: " + p.name + " ", 0), 0U) << p.name << ": " << help.out;
    EXPECT_EQ(help.err, "") << p.name;

    const auto version = tools_test::run(p.path, {"--version"});
    EXPECT_EQ(version.status, 0) << p.name;
    EXPECT_EQ(version.out, p.name + " " + config::VERSION + "\n");
    EXPECT_EQ(version.err, "") << p.name;
    for (const char* option : {"--help", "--version"}) {
      const auto lost = tools_test::run(
          "/bin/sh", {"-c", tools_test::shell_quote(p.path) + " " + option + " >/dev/full"});
      EXPECT_EQ(lost.status, 1) << p.name << " " << option;
      EXPECT_EQ(lost.err, p.name + ": cannot write standard output: No space left on device\n");
    }
  }
}

TEST(StandardOptions, BadArgumentsGiveOneLineAndStatus2) {
  const std::vector<std::pair<const Program*, std::vector<std::string>>> cases = {
      {&PROGRAMS[0], {"--bogus"}},
      {&PROGRAMS[0], {"conf.ini"}},
      {&PROGRAMS[3], {"--bogus"}},
      {&PROGRAMS[0], {"--settings", "conf.ini", "--strength", "9"}},  // the launcher's --strength
      {&PROGRAMS[3], {"--strength"}},
      {&PROGRAMS[3], {"--last", "--white"}},
      {&PROGRAMS[3], {"--last", "--new"}},
      // --continue takes a saved game that goes on (a record of earlier versions is none).
      {&PROGRAMS[0], {"--continue"}},
      {&PROGRAMS[0], {"--continue", "no-such-game.pgn"}},
      {&PROGRAMS[0], {"--continue", std::string(MORVA_TEST_DATA_DIR) + "/records/white-wins.txt"}},
      {&PROGRAMS[0], {"--waiting", "games"}},
  };
  for (const auto& [p, args] : cases) {
    const auto r = tools_test::run(p->path, args);
    EXPECT_EQ(r.status, 2) << p->name << " " << args[0];
    EXPECT_EQ(r.out, "") << p->name << " " << args[0];
    EXPECT_EQ(r.err.rfind(p->name + ": ", 0), 0U) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "not one line: " << r.err;
  }
}

}  // namespace
