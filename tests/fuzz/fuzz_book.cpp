// Fuzzes the book reader: the input is split into an index.db and a chess.db
// (the first two bytes give the length of the index part), both are written to
// db/ in a scratch folder (the working folder while the input runs), the index
// is loaded and a few positions are looked up with the marks 1, 0 and -1. Any
// sanitizer report or broken property aborts the run.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "book/db.h"
#include "fuzz_support.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/move_table.h"

namespace {

using fuzz::check;
using fuzz::write_file;

std::ostringstream trace_sink;  // receives the book trace instead of std::cout
std::filesystem::path scratch;  // holds db/; the reader opens ./db/ there

// Placements that the seeds' books hold, and one that none holds.
constexpr const char* POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR",
    "rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR",
    "4k3/8/8/8/8/8/8/R3K2R",
    "4k3/8/8/8/8/8/8/4K3",
};
constexpr int POSITION_COUNT = sizeof POSITIONS / sizeof POSITIONS[0];
rules::Board boards[POSITION_COUNT];

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  rules::build_move_tables();
  for (int i = 0; i < POSITION_COUNT; ++i) {
    boards[i] = rules::parse_fen(POSITIONS[i]).position->board;
  }
  // In the working folder, which the fuzz runner sets to the build tree's
  // fuzz-work/fuzz_book, so a folder left behind by a crash stays out of /tmp.
  scratch = std::filesystem::absolute("morva_fuzz_book_" + std::to_string(getpid()));
  std::filesystem::create_directories(scratch / "db");
  std::atexit([] { std::filesystem::remove_all(scratch); });
  std::cout.rdbuf(trace_sink.rdbuf());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The working folder is changed only while an input runs, so that libFuzzer's
  // own relative paths keep their meaning.
  const std::filesystem::path old_cwd = std::filesystem::current_path();
  std::filesystem::current_path(scratch);
  const std::size_t rest = size - 2;
  const std::size_t index_size = (data[0] | (data[1] << 8)) % (rest + 1);
  write_file(book::INDEX_PATH, data + 2, index_size);
  write_file(book::CHESS_PATH, data + 2 + index_size, rest - index_size);

  book::load_book_index();
  const std::size_t whole_entries = index_size < 4 ? 0 : (index_size - 4) / 24;
  check(book::book_index().size() <= whole_entries, "no more entries than the file holds");

  const std::size_t chess_size = rest - index_size;
  for (const rules::Board& b : boards) {
    for (int mark : {1, 0, -1}) {
      trace_sink.str("");
      const int n = book::book_lookup(b, mark);
      check(n >= -1, "lookup result is -1 or a count");
      check((n == -1) == trace_sink.str().empty(), "trace written exactly on a hit");
      check(n < 0 || static_cast<std::size_t>(n) * 3 <= chess_size, "no more moves than records");
      for (int i = 0; i < n; ++i) book::book_move(i);
      if (n > 0) check(book::book_move(n) == rules::END_MOVE, "end entry past the list");
    }
  }
  std::filesystem::current_path(old_cwd);
  return 0;
}
