#include "book_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <utility>

#include "book/book_key.h"
#include "book/db.h"
#include "positions.h"

namespace test_support {

void put(Bytes& out, std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

Bytes index_bytes(std::int32_t count, const std::vector<Entry>& entries) {
  Bytes out;
  put(out, static_cast<std::uint32_t>(count), 4);
  for (const Entry& e : entries) {
    put(out, e.k1, 8);
    put(out, e.k2, 8);
    put(out, static_cast<std::uint32_t>(e.offset), 4);
    put(out, 0, 4);
  }
  return out;
}

Bytes index_bytes(const std::vector<Entry>& entries) {
  return index_bytes(static_cast<std::int32_t>(entries.size()), entries);
}

void add_block(Bytes& chess, std::int32_t count, const std::vector<Record>& records) {
  put(chess, static_cast<std::uint32_t>(count), 4);
  for (const Record& r : records) {
    chess.push_back(static_cast<std::uint8_t>(r.from));
    chess.push_back(static_cast<std::uint8_t>(r.to));
    chess.push_back(static_cast<std::uint8_t>(r.mark));
  }
}

std::int32_t add_block(Bytes& chess, const std::vector<Record>& records) {
  const auto offset = static_cast<std::int32_t>(chess.size());
  add_block(chess, static_cast<std::int32_t>(records.size()), records);
  return offset;
}

Entry entry_for(const std::string& fen, std::int32_t offset) {
  const book::BookKey k = book::book_key(board(fen));
  return {k.K1, k.K2, offset};
}

void write_file(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(out.good()) << path;
}

Bytes read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void install_book(const std::vector<BookPosition>& book) {
  std::vector<Entry> entries;
  Bytes chess;
  for (const BookPosition& p : book) {
    std::vector<Record> records;
    for (const BookRecord& r : p.records) {
      records.push_back({rules::move_from(r.move), rules::move_to(r.move), r.mark});
    }
    const book::BookKey key = book::book_key(p.board);
    entries.push_back({key.K1, key.K2, add_block(chess, records)});
  }
  std::filesystem::create_directories("db");
  write_file("db/index.db", index_bytes(entries));
  write_file("db/chess.db", chess);
}

book::Book test_book(const std::vector<BookPosition>& book) {
  install_book(book);
  std::optional<book::Book> loaded = book::load_book("db");
  EXPECT_TRUE(loaded.has_value());
  return loaded ? std::move(*loaded) : book::Book{};
}

}  // namespace test_support
