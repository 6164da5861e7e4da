// Writing a book's blocks as index.db and chess.db.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "book_builder.h"

namespace book_maker {

struct BookFiles {
  std::vector<std::uint8_t> index;  // count, then one 24-byte entry per block
  std::vector<std::uint8_t> chess;  // the blocks, in the same order
};

// Returns the bytes of both files, entries and blocks in the order of blocks;
// the four unused bytes of each entry are zero. False (with error set) when
// the book is too large for the files' 32-bit counts and offsets.
bool encode_book(const std::vector<BookBlock>& blocks, BookFiles& files, std::string& error);

// Writes dir/index.db and dir/chess.db, making dir if needed: both are written
// whole to temporary files in dir first and then renamed into place, so that a
// failed write (false, error set) leaves the book that was there unchanged and
// no temporary file behind.
bool write_book(const BookFiles& files, const std::filesystem::path& dir, std::string& error);

}  // namespace book_maker
