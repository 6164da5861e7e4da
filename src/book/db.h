// The opening book: ./db/index.db (key -> block offset) and ./db/chess.db (the
// move blocks), both read into memory once, so that a game reads one
// consistent pair whatever happens to the files later. Both are read
// defensively: counts beyond the data present, negative counts and offsets
// outside the file yield fewer or no entries and records, never a fault.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rules/board.h"
#include "rules/move.h"

namespace book {

inline constexpr const char* BOOK_FOLDER = "./db";
inline constexpr const char* INDEX_PATH = "./db/index.db";
inline constexpr const char* CHESS_PATH = "./db/chess.db";

// The exit status of a program that ends because a book file cannot be opened.
inline constexpr int BOOK_FAILURE_STATUS = -1;

// One index entry as held in memory (the four unused bytes are dropped).
struct BookIndexEntry {
  std::uint64_t K1;
  std::uint64_t K2;
  std::int32_t offset;  // of the position's block in chess.db
};

// One record of a move block.
struct BookRecord {
  std::uint8_t from;
  std::uint8_t to;
  std::int8_t mark;  // 1 white success, 0 draw, -1 black success
};

using Bytes = std::vector<unsigned char>;

// A book as read from its two files. An empty Book is no book: no position
// is found in it.
struct Book {
  std::vector<BookIndexEntry> index;  // in file order
  Bytes chess;                        // chess.db as read
  bool chess_read = false;            // false: chess.db could not be opened
  std::string chess_path;             // where chess.db was looked for
};

// Returns the entries of an index file in file order; nothing when it cannot
// be opened.
std::optional<std::vector<BookIndexEntry>> read_index(const std::string& path);

// Returns the whole of a file; nothing when it cannot be opened.
std::optional<Bytes> read_file(const std::string& path);

// Reads folder/index.db and folder/chess.db. Nothing when the index cannot be
// opened; a missing chess.db is noticed at the first lookup that finds a
// position.
std::optional<Book> load_book(const std::string& folder = BOOK_FOLDER);

// Writes the error report of a book file that cannot be opened, naming path.
// The program that loads the book ends then with BOOK_FAILURE_STATUS.
void report_unopenable(const std::string& path);

// Reads the record count of the block at offset in chess.db's bytes; false
// when the offset is negative or fewer than four bytes lie there.
bool read_block_count(const Bytes& chess, std::int32_t offset, std::int32_t& count);

// Returns the records of the block at offset; empty when the offset is
// negative or past the end, or the count is negative; only the whole records
// present when the count runs past the end of the file.
std::vector<BookRecord> read_book_block(const Bytes& chess, std::int32_t offset);

// What a lookup of one position found.
struct BookHit {
  bool found = false;       // the position is in the index with an offset other than -1
  bool readable = true;     // false: found, but chess.db could not be opened
  std::int32_t offset = 0;  // of its block, when found
};

// Looks a position up in the index (the first entry of its key counts).
BookHit book_lookup(const Book& book, const rules::Board& b);

// Returns how many records of the block a lookup found list move m with mark
// (compared as the signed byte it is stored as).
int book_count(const Book& book, const BookHit& hit, rules::Move m, int mark);

}  // namespace book
