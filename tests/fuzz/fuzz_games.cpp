// Fuzzes morva-book's game input: arbitrary text is read game by game as the
// book maker reads it, every game read is replayed into the book, and the book
// is encoded and read back block by block with the game's book reader. Any
// sanitizer report or broken property aborts the run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "book/db.h"
#include "book_builder.h"
#include "book_writer.h"
#include "fuzz_support.h"
#include "rules/move_table.h"

namespace {

using fuzz::check;

constexpr int PLIES = 12;

// Checks that every block of the encoded book reads back as it was built.
void read_back(const book_maker::BookBuilder& builder, book_maker::BookFiles& files) {
  check(files.index.size() == 4 + 24 * builder.blocks.size(), "index.db holds every block");
  const book::Bytes chess(files.chess.begin(), files.chess.end());
  std::size_t offset = 0;
  for (const book_maker::BookBlock& block : builder.blocks) {
    const auto records = book::read_book_block(chess, static_cast<std::int32_t>(offset));
    check(records.size() == block.records.size(), "a block keeps its record count");
    for (std::size_t i = 0; i < records.size(); ++i) {
      const book::BookRecord &a = records[i], &b = block.records[i];
      check(a.from == b.from && a.to == b.to && a.mark == b.mark, "a record reads back");
    }
    offset += 4 + 3 * records.size();
  }
  check(offset == files.chess.size(), "chess.db holds the blocks and nothing else");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  rules::build_move_tables();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  book_maker::BookBuilder builder;
  builder.plies = PLIES;
  std::string error;
  if (!book_maker::add_games(in, builder, error)) {
    check(error.size() < 400, "an error message is short");
    for (char c : error) check(c >= ' ' && c <= '~', "an error message is printable");
  }
  const book_maker::BuildStats& s = builder.stats;
  check(s.games_used + s.without_result <= s.games_read, "games are counted once");
  check(s.records <= static_cast<std::size_t>(PLIES) * s.games_used,
        "at most PLIES records a game");
  std::size_t in_blocks = 0;
  for (const book_maker::BookBlock& block : builder.blocks) in_blocks += block.records.size();
  check(in_blocks == s.records, "the blocks hold every record");
  book_maker::BookFiles files;
  check(book_maker::encode_book(builder.blocks, files, error), "a small book encodes");
  read_back(builder, files);
  return 0;
}
