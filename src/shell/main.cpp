// The window program: safe standard streams, --help and --version, move
// tables, the opening-book index, then the game.
#include <unistd.h>

#include <iostream>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "book/db.h"
#include "config/settings_slips.h"
#include "config/standard_options.h"
#include "engine/engine.h"
#include "engine/record_reader.h"
#include "rules/input_echo.h"
#include "rules/move_table.h"
#include "shell/game.h"
#include "shell/startup.h"
#include "shell/streams.h"

namespace {

constexpr std::string_view CONTINUE_OPTION = "--continue";

void print_usage(std::ostream& out) {
  out << "usage: morva [--continue RECORD | --help | --version]\n"
         "Chess against the computer in one window. The game reads conf.ini, bitmaps/ and db/\n"
         "from the folder it starts in and writes the game record to standard output;\n"
         "morva-launch starts it with the player's own settings.\n"
         "  --continue RECORD  go on with the last game of a saved record, from where it\n"
         "                     stopped: its moves are played again without being written,\n"
         "                     so that the output, added to the record, goes on with it\n";
}

// Returns the moves of the last game of a record, to continue it; nothing,
// with a message on standard error, when the record cannot be read or that
// game is over.
std::optional<std::vector<rules::Move>> moves_to_continue(const char* path) {
  engine::RecordRead read = engine::read_record_file(path);
  if (read.error.empty() && read.games.back().end != engine::GameEnd::UNFINISHED) {
    read.error = rules::echo_input(path) + ": its last game is over";
  }
  if (!read.error.empty()) {
    std::cerr << "morva: " << read.error << "\n";
    return std::nullopt;
  }
  return std::move(read.games.back().moves);
}

}  // namespace

int main(int argc, char** argv) {
  shell::guard_standard_streams();
  // Besides --help and --version the game takes only --continue RECORD.
  if (const auto status = config::answer_standard_option(argc, argv, "morva", print_usage)) {
    return *status;
  }
  const bool continued = argc == 3 && argv[1] == CONTINUE_OPTION;
  if (argc > 1 && !continued) return config::reject_argument("morva", argv[1]);

  rules::build_move_tables();
  std::vector<rules::Move> moves;
  if (continued) {
    std::optional<std::vector<rules::Move>> kept = moves_to_continue(argv[2]);
    if (!kept) return config::EXIT_USAGE;
    moves = std::move(*kept);
  }
  std::optional<book::Book> book = book::load_book();
  if (!book) {
    book::report_unopenable(book::INDEX_PATH);
    std::cout.flush();
    return book::BOOK_FAILURE_STATUS;
  }
  // Slips in conf.ini are told on standard error before the window opens.
  shell::game.settings_slips = config::report_slips(shell::SETTINGS_PATH, std::cerr);
  shell::game.record = std::make_unique<shell::RecordOutput>(STDOUT_FILENO);
  shell::start_game(shell::game, std::make_unique<engine::Engine>(std::move(*book)), moves);
}
