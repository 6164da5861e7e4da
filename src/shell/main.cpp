// The window program: safe standard streams, move tables, the opening-book
// index, then the game.
#include "book/db.h"
#include "rules/move_table.h"
#include "shell/game.h"
#include "shell/startup.h"
#include "shell/streams.h"

int main(int, char**) {
  shell::guard_standard_streams();
  rules::build_move_tables();
  book::load_book_index();  // ends the process with an error report when the index is unreadable
  shell::start_game(shell::game);
}
