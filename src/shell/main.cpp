// The window program: safe standard streams, --help and --version, move
// tables, the opening-book index, then the game.
#include <unistd.h>

#include <iostream>
#include <memory>
#include <optional>
#include <utility>

#include "book/db.h"
#include "config/standard_options.h"
#include "engine/engine.h"
#include "rules/move_table.h"
#include "shell/game.h"
#include "shell/startup.h"
#include "shell/streams.h"

namespace {

void print_usage(std::ostream& out) {
  out << "usage: morva [--help | --version]\n"
         "Chess against the computer in one window. The game reads conf.ini, bitmaps/ and db/\n"
         "from the folder it starts in and writes the game record to standard output;\n"
         "morva-launch starts it with the player's own settings.\n";
}

}  // namespace

int main(int argc, char** argv) {
  shell::guard_standard_streams();
  // The game itself takes no options: --help and --version only, and nothing else.
  if (const auto status = config::answer_standard_option(argc, argv, "morva", print_usage)) {
    return *status;
  }
  if (argc > 1) return config::reject_argument("morva", argv[1]);

  rules::build_move_tables();
  std::optional<book::Book> book = book::load_book();
  if (!book) {
    book::report_unopenable(book::INDEX_PATH);
    std::cout.flush();
    return book::BOOK_FAILURE_STATUS;
  }
  shell::game.record = std::make_unique<shell::RecordOutput>(STDOUT_FILENO);
  shell::start_game(shell::game, std::make_unique<engine::Engine>(std::move(*book)));
}
