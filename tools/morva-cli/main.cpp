// morva-cli: the rules core, the computer player and the book on the command line.
#include <cstdio>
#include <iostream>
#include <string_view>

#include "commands.h"
#include "config/standard_options.h"
#include "rules/input_echo.h"
#include "rules/move_table.h"

namespace {

struct Command {
  std::string_view name;
  std::string_view usage;
  int (*run)(const cli::Args&);
};

constexpr Command COMMANDS[] = {
    {"moves", "moves FEN", cli::cmd_moves},
    {"captures", "captures FEN", cli::cmd_captures},
    {"perft", "perft FEN DEPTH", cli::cmd_perft},
    {"table", "table SLOT SQUARE", cli::cmd_table},
    {"make", "make FEN MOVE...", cli::cmd_make},
    {"eval", "eval FEN", cli::cmd_eval},
    {"key", "key FEN", cli::cmd_key},
    {"think", "think [--seed N] FEN", cli::cmd_think},
    {"play", "play [--seed N] PAIRS", cli::cmd_play},
    {"pgn", "pgn [--white NAME] [--black NAME] [--date YYYY.MM.DD] RECORD", cli::cmd_pgn},
    {"bench",
     "bench [--suite main|all-phase] [--setting NAME|L,P,M,C]... [--threads N] [--hash MIB] "
     "[--reference] [--sound-kings] [--seed N] [--write] [--dir DIR] [--ponder SECONDS [--order "
     "generation|expected|ranked]]",
     cli::cmd_bench},
};

void print_usage(std::ostream& out) {
  out << "usage: morva-cli COMMAND ...\n";
  for (const Command& c : COMMANDS) out << "  morva-cli " << c.usage << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = config::answer_standard_option(argc, argv, "morva-cli", print_usage)) {
    return *status;
  }
  if (argc < 2) return cli::fail("no command (morva-cli --help lists them)");
  const std::string_view name = argv[1];
  for (const Command& c : COMMANDS) {
    if (c.name == name) {
      rules::build_move_tables();
      return config::finish_standard_output("morva-cli", c.run(cli::Args(argv + 2, argv + argc)));
    }
  }
  return cli::fail("unknown command '" + rules::echo_input(name) +
                   "' (morva-cli --help lists the commands)");
}
