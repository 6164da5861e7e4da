// The opening book: ./db/index.db (key -> block offset) held in memory, and
// ./db/chess.db read at the offset of a position found in it. Both files are
// read defensively: counts beyond the data present, negative counts and offsets
// outside the file yield fewer or no entries and records, never a fault.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "rules/board.h"
#include "rules/move.h"

namespace book {

inline constexpr const char* INDEX_PATH = "./db/index.db";
inline constexpr const char* CHESS_PATH = "./db/chess.db";

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

// Reads ./db/index.db into memory; on failure reports the error and ends the
// process with status -1.
void load_book_index();

// Reads an index file into memory in place of the current index; returns false,
// leaving the index empty, when the file cannot be opened.
bool load_book_index_from(const char* path);

// Returns the entries of the index loaded last, in file order.
const std::vector<BookIndexEntry>& book_index();

// Reads the record count M of the block at offset in an open chess.db; false
// when the offset is negative or fewer than four bytes lie there. Reads four
// bytes at most, so a caller can size a block before reading its records.
bool read_block_count(std::FILE* file, std::int32_t offset, std::int32_t& count);

// Returns the records of the block at offset in an open chess.db; empty when the
// offset is negative or past the end, or the count is negative; only the whole
// records present when the count runs past the end of the file.
std::vector<BookRecord> read_book_block(std::FILE* file, std::int32_t offset);

// Returns -1 when the position is not in the index (or its first entry holds
// the offset -1), otherwise the number of records of its block whose mark
// equals mark; those moves become the book move list when there is at least
// one. On a hit writes " (find at pos : OFFSET) " to standard output.
int book_lookup(rules::Board b, int mark);

// Returns the i-th move collected by the last lookup that collected any; the
// end entry for an index outside that list.
rules::Move book_move(int i);

}  // namespace book
