// The book reader. Its error reports name this source file (db.cpp).
#include "book/db.h"

#include <cstdlib>
#include <iostream>
#include <string>
#include <utility>

#include "book/book_format.h"
#include "book/book_key.h"
#include "config/log_report.h"

namespace book {

namespace {

std::vector<BookIndexEntry> g_index;
std::vector<rules::Move> g_book_moves;  // collected by the last lookup that found any

// Reports that a book file cannot be opened and ends the process with status -1.
[[noreturn]] void fail_to_open(const char* path) {
  const std::string message = std::string("cannot open file ") + path;
  LOG_REPORT("ERROR", message.c_str());
  std::cout.flush();
  std::fflush(stdout);
  std::exit(-1);
}

// Reads a little-endian int32 count; false on a short read.
bool read_count(std::FILE* file, std::int32_t& count) {
  unsigned char bytes[COUNT_SIZE];
  if (std::fread(bytes, 1, COUNT_SIZE, file) != COUNT_SIZE) return false;
  count = read_i32(bytes);
  return true;
}

// Returns the first entry whose key equals key, or nullptr.
const BookIndexEntry* find_entry(const BookKey& key) {
  for (const BookIndexEntry& e : g_index) {
    if (e.K1 == key.K1 && e.K2 == key.K2) return &e;
  }
  return nullptr;
}

}  // namespace

bool load_book_index_from(const char* path) {
  g_index.clear();
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  std::int32_t count = 0;
  if (!read_count(file, count)) count = 0;  // a file shorter than its count field is empty
  // Entries are read one by one up to the count, so a count larger than the
  // file stops at the last whole entry and never sizes a buffer by itself.
  unsigned char bytes[INDEX_ENTRY_SIZE];
  for (std::int32_t i = 0; i < count; ++i) {
    if (std::fread(bytes, 1, INDEX_ENTRY_SIZE, file) != INDEX_ENTRY_SIZE) break;
    g_index.push_back({read_u64(bytes), read_u64(bytes + 8), read_i32(bytes + INDEX_OFFSET_FIELD)});
  }
  std::fclose(file);
  return true;
}

void load_book_index() {
  if (!load_book_index_from(INDEX_PATH)) fail_to_open(INDEX_PATH);
}

const std::vector<BookIndexEntry>& book_index() { return g_index; }

bool read_block_count(std::FILE* file, std::int32_t offset, std::int32_t& count) {
  return offset >= 0 && std::fseek(file, offset, SEEK_SET) == 0 && read_count(file, count);
}

std::vector<BookRecord> read_book_block(std::FILE* file, std::int32_t offset) {
  std::vector<BookRecord> records;
  std::int32_t count = 0;
  if (!read_block_count(file, offset, count)) return records;  // offset at or past the end
  unsigned char bytes[RECORD_SIZE];
  for (std::int32_t i = 0; i < count; ++i) {
    if (std::fread(bytes, 1, RECORD_SIZE, file) != RECORD_SIZE) break;
    records.push_back({bytes[0], bytes[1], static_cast<std::int8_t>(bytes[2])});
  }
  return records;
}

int book_lookup(rules::Board b, int mark) {
  const BookIndexEntry* entry = find_entry(book_key(b));
  if (entry == nullptr || entry->offset == NOT_FOUND_OFFSET) return -1;

  std::FILE* file = std::fopen(CHESS_PATH, "rb");
  std::cout << " (find at pos : " << entry->offset << ") ";
  if (file == nullptr) fail_to_open(CHESS_PATH);
  const std::vector<BookRecord> records = read_book_block(file, entry->offset);
  std::fclose(file);

  // The mark is compared as a signed byte, as it is stored.
  const auto wanted = static_cast<std::int8_t>(mark);
  std::vector<rules::Move> collected;
  for (const BookRecord& r : records) {
    if (r.mark == wanted) collected.push_back(rules::move_of(r.from, r.to));
  }
  // A lookup that collects nothing leaves the previous list in place.
  const int count = static_cast<int>(collected.size());
  if (count > 0) g_book_moves = std::move(collected);
  return count;
}

rules::Move book_move(int i) {
  if (i < 0 || i >= static_cast<int>(g_book_moves.size())) return rules::END_MOVE;
  return g_book_moves[static_cast<std::size_t>(i)];
}

}  // namespace book
