// Opening-book files written byte by byte: whole books from positions and
// their records, and index and block images with any count or offset, so that
// damaged files can be made as easily as good ones. Written here on purpose
// rather than with the reader's own byte helpers, so that a byte-order slip
// there shows up.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "book/db.h"
#include "rules/board.h"
#include "rules/move.h"

namespace test_support {

using Bytes = std::vector<std::uint8_t>;

// Appends v as n bytes, least significant first.
void put(Bytes& out, std::uint64_t v, int n);

// One index entry: a key and the offset of its block.
struct Entry {
  std::uint64_t k1, k2;
  std::int32_t offset;
};

// One book record: from and to bytes and the result mark.
struct Record {
  int from, to, mark;
  friend bool operator==(const Record&, const Record&) = default;
};

// Returns the bytes of an index.db with the given count field and entries.
Bytes index_bytes(std::int32_t count, const std::vector<Entry>& entries);

// Returns the bytes of an index.db whose count matches its entries.
Bytes index_bytes(const std::vector<Entry>& entries);

// Appends a block with the given count field and records to a chess.db image.
void add_block(Bytes& chess, std::int32_t count, const std::vector<Record>& records);

// Appends a block whose count matches its records; returns its offset.
std::int32_t add_block(Bytes& chess, const std::vector<Record>& records);

// Returns the key of a FEN's placement as an index entry pointing at offset.
Entry entry_for(const std::string& fen, std::int32_t offset);

// Writes bytes to a file, replacing it (a test failure when it cannot).
void write_file(const std::filesystem::path& path, const Bytes& bytes);

// Returns the contents of a file (empty when it cannot be read).
Bytes read_file(const std::filesystem::path& path);

// One position of a book and its records (move, mark), in block order.
struct BookRecord {
  rules::Move move;
  int mark;
};
struct BookPosition {
  rules::Board board;
  std::vector<BookRecord> records;
};

// Writes db/index.db and db/chess.db in the working folder, one block per
// position in the given order.
void install_book(const std::vector<BookPosition>& book);

// Installs the book in the working folder and returns it as the game loads it
// from there (an empty Book, with a test failure, when it cannot be read).
book::Book test_book(const std::vector<BookPosition>& book);

}  // namespace test_support
