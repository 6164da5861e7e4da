// Helpers for the book tests: a temporary working folder, book files written
// byte by byte, standard output captured, and Boards from FEN.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "book/book_key.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/move.h"
#include "rules/move_table.h"

namespace book_test {

using Bytes = std::vector<std::uint8_t>;

// Appends v as n bytes, least significant first. Written here on purpose rather
// than shared with the reader, so that a byte-order slip there shows up.
inline void put(Bytes& out, std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

struct Entry {
  std::uint64_t k1, k2;
  std::int32_t offset;
};

struct Record {
  int from, to, mark;
};

// Returns the bytes of an index.db with the given count field and entries.
inline Bytes index_bytes(std::int32_t count, const std::vector<Entry>& entries) {
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

// Returns the bytes of an index.db whose count matches its entries.
inline Bytes index_bytes(const std::vector<Entry>& entries) {
  return index_bytes(static_cast<std::int32_t>(entries.size()), entries);
}

// Appends a block with the given count field and records to a chess.db image.
inline void add_block(Bytes& chess, std::int32_t count, const std::vector<Record>& records) {
  put(chess, static_cast<std::uint32_t>(count), 4);
  for (const Record& r : records) {
    chess.push_back(static_cast<std::uint8_t>(r.from));
    chess.push_back(static_cast<std::uint8_t>(r.to));
    chess.push_back(static_cast<std::uint8_t>(r.mark));
  }
}

// Appends a block whose count matches its records; returns its offset.
inline std::int32_t add_block(Bytes& chess, const std::vector<Record>& records) {
  const auto offset = static_cast<std::int32_t>(chess.size());
  add_block(chess, static_cast<std::int32_t>(records.size()), records);
  return offset;
}

// Writes bytes to a file, replacing it.
inline void write_file(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

// Returns the contents of a file.
inline Bytes read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Returns the Board of a FEN that the test knows to be well formed.
inline rules::Board board(const std::string& fen) {
  const rules::FenResult r = rules::parse_fen(fen);
  EXPECT_TRUE(r.position.has_value()) << fen << ": " << r.error;
  return r.position ? r.position->board : rules::Board{};
}

// Returns the key of a FEN's placement as an index entry pointing at offset.
inline Entry entry_for(const std::string& fen, std::int32_t offset) {
  const book::BookKey k = book::book_key(board(fen));
  return {k.K1, k.K2, offset};
}

// Returns the byte of a square in coordinate text ("e2" is 12).
constexpr int sq(const char* name) { return (name[1] - '1') * 8 + (name[0] - 'a'); }

// A fixture that runs each test in a fresh temporary folder holding db/, and
// goes back to the former working folder afterwards.
class InTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    rules::build_move_tables();
    old_cwd_ = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "morva-book-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    std::filesystem::create_directory(dir_ / "db");
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_cwd_);
    std::filesystem::remove_all(dir_);
  }
  std::filesystem::path old_cwd_;
  std::filesystem::path dir_;
};

// Captures what std::cout receives while it lives.
class CaptureCout {
 public:
  CaptureCout() : old_(std::cout.rdbuf(text_.rdbuf())) {}
  ~CaptureCout() { std::cout.rdbuf(old_); }
  std::string text() const { return text_.str(); }

 private:
  std::ostringstream text_;
  std::streambuf* old_;
};

}  // namespace book_test
