// Fuzzes the book reader: the input is split into an index.db and a chess.db
// (the first two bytes give the length of the index part), both are written to
// db/ in a scratch folder and read with load_book, and a few positions are
// looked up; the records book_count counts for each mark must be those that
// read_book_block reads. Any sanitizer report or broken property aborts the run.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "book/db.h"
#include "fuzz_support.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/move_table.h"

namespace {

using fuzz::check;
using fuzz::write_file;

std::filesystem::path scratch;  // holds db/

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

// Checks one position found in the book against the block read directly.
void check_hit(const book::Book& book, const book::BookHit& hit) {
  check(hit.readable, "chess.db was read, so every hit is readable");
  check(hit.offset != -1, "the offset -1 is never found");
  const std::vector<book::BookRecord> records = book::read_book_block(book.chess, hit.offset);
  check(records.size() * 3 <= book.chess.size(), "no more records than the file holds");
  for (int mark : {1, 0, -1}) {
    int with_mark = 0, counted_moves = 0;
    std::vector<rules::Move> seen;
    for (const book::BookRecord& r : records) {
      if (r.mark != mark) continue;
      ++with_mark;
      const rules::Move m = rules::move_of(r.from, r.to);
      if (std::find(seen.begin(), seen.end(), m) != seen.end()) continue;
      seen.push_back(m);
      counted_moves += book::book_count(book, hit, m, mark);
    }
    check(counted_moves == with_mark, "book_count counts the records read_book_block reads");
  }
}

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
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t rest = size - 2;
  const std::size_t index_size = (data[0] | (data[1] << 8)) % (rest + 1);
  const std::size_t chess_size = rest - index_size;
  const std::string folder = (scratch / "db").string();
  write_file((folder + "/index.db").c_str(), data + 2, index_size);
  write_file((folder + "/chess.db").c_str(), data + 2 + index_size, chess_size);

  const std::optional<book::Book> book = book::load_book(folder);
  check(book.has_value() && book->chess_read, "both files can be read");
  const std::size_t whole_entries = index_size < 4 ? 0 : (index_size - 4) / 24;
  check(book->index.size() <= whole_entries, "no more entries than the file holds");
  check(book->chess.size() == chess_size, "chess.db read whole");

  for (const rules::Board& b : boards) {
    const book::BookHit hit = book::book_lookup(*book, b);
    if (hit.found) {
      check_hit(*book, hit);
    } else {
      check(book::book_count(*book, hit, rules::move_of(12, 28), 1) == 0, "a miss lists nothing");
    }
  }
  return 0;
}
