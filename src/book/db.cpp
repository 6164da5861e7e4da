// The book reader. Its error reports name this source file (db.cpp).
#include "book/db.h"

#include <cstdio>
#include <memory>

#include "book/book_format.h"
#include "book/book_key.h"
#include "config/log_report.h"

namespace book {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Returns the little-endian int32 at offset, if four bytes lie there.
bool read_count_at(const Bytes& bytes, std::size_t at, std::int32_t& count) {
  if (at > bytes.size() || bytes.size() - at < COUNT_SIZE) return false;
  count = read_i32(bytes.data() + at);
  return true;
}

}  // namespace

std::optional<Bytes> read_file(const std::string& path) {
  const File file(std::fopen(path.c_str(), "rb"));
  if (file == nullptr) return std::nullopt;
  Bytes bytes;
  unsigned char buffer[1 << 14];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  return bytes;
}

std::optional<std::vector<BookIndexEntry>> read_index(const std::string& path) {
  const std::optional<Bytes> bytes = read_file(path);
  if (!bytes) return std::nullopt;
  std::vector<BookIndexEntry> index;
  std::int32_t count = 0;
  if (!read_count_at(*bytes, 0, count)) count = 0;  // shorter than its count field: empty
  // Entries are read one by one up to the count, so a count larger than the
  // file stops at the last whole entry and never sizes a buffer by itself.
  std::size_t at = COUNT_SIZE;
  for (std::int32_t i = 0; i < count && bytes->size() - at >= INDEX_ENTRY_SIZE; ++i) {
    const unsigned char* e = bytes->data() + at;
    index.push_back({read_u64(e), read_u64(e + 8), read_i32(e + INDEX_OFFSET_FIELD)});
    at += INDEX_ENTRY_SIZE;
  }
  return index;
}

std::optional<Book> load_book(const std::string& folder) {
  std::optional<std::vector<BookIndexEntry>> index = read_index(folder + "/index.db");
  if (!index) return std::nullopt;
  Book book;
  book.index = std::move(*index);
  book.chess_path = folder + "/chess.db";
  std::optional<Bytes> chess = read_file(book.chess_path);
  book.chess_read = chess.has_value();
  if (chess) book.chess = std::move(*chess);
  return book;
}

void report_unopenable(const std::string& path) {
  LOG_REPORT(config::ERROR_KIND, ("cannot open file " + path).c_str());
}

bool read_block_count(const Bytes& chess, std::int32_t offset, std::int32_t& count) {
  return offset >= 0 && read_count_at(chess, static_cast<std::size_t>(offset), count);
}

std::vector<BookRecord> read_book_block(const Bytes& chess, std::int32_t offset) {
  std::vector<BookRecord> records;
  std::int32_t count = 0;
  if (!read_block_count(chess, offset, count)) return records;  // offset at or past the end
  std::size_t at = static_cast<std::size_t>(offset) + COUNT_SIZE;
  for (std::int32_t i = 0; i < count && chess.size() - at >= RECORD_SIZE; ++i, at += RECORD_SIZE) {
    records.push_back({chess[at], chess[at + 1], static_cast<std::int8_t>(chess[at + 2])});
  }
  return records;
}

BookHit book_lookup(const Book& book, const rules::Board& b) {
  const BookKey key = book_key(b);
  for (const BookIndexEntry& e : book.index) {
    if (e.K1 != key.K1 || e.K2 != key.K2) continue;
    if (e.offset == NOT_FOUND_OFFSET) return {};
    return {true, book.chess_read, e.offset};
  }
  return {};
}

int book_count(const Book& book, const BookHit& hit, rules::Move m, int mark) {
  if (!hit.found || !hit.readable) return 0;
  std::int32_t count = 0;
  if (!read_block_count(book.chess, hit.offset, count)) return 0;
  // The mark is compared as a signed byte, as it is stored.
  const auto wanted = static_cast<std::int8_t>(mark);
  int listed = 0;
  std::size_t at = static_cast<std::size_t>(hit.offset) + COUNT_SIZE;
  for (std::int32_t i = 0; i < count && book.chess.size() - at >= RECORD_SIZE;
       ++i, at += RECORD_SIZE) {
    if (static_cast<std::int8_t>(book.chess[at + 2]) == wanted &&
        rules::move_of(book.chess[at], book.chess[at + 1]) == m) {
      ++listed;
    }
  }
  return listed;
}

}  // namespace book
