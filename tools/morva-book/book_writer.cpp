#include "book_writer.h"

#include <fstream>
#include <limits>
#include <system_error>

#include "book/book_format.h"

namespace book_maker {

namespace {

constexpr std::int64_t INT32_LIMIT = std::numeric_limits<std::int32_t>::max();

void append_i32(std::vector<std::uint8_t>& out, std::int32_t v) {
  const std::size_t at = out.size();
  out.resize(at + book::COUNT_SIZE);
  book::write_i32(out.data() + at, v);
}

void append_entry(std::vector<std::uint8_t>& out, const book::BookKey& key, std::int32_t offset) {
  const std::size_t at = out.size();
  out.resize(at + book::INDEX_ENTRY_SIZE, 0);  // the unused bytes stay zero
  book::write_u64(out.data() + at, key.K1);
  book::write_u64(out.data() + at + 8, key.K2);
  book::write_i32(out.data() + at + book::INDEX_OFFSET_FIELD, offset);
}

bool write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) error = "cannot write " + path.string();
  return static_cast<bool>(out);
}

}  // namespace

bool encode_book(const std::vector<BookBlock>& blocks, BookFiles& files, std::string& error) {
  files = BookFiles{};
  if (static_cast<std::int64_t>(blocks.size()) > INT32_LIMIT) {
    error = "too many positions for index.db";
    return false;
  }
  append_i32(files.index, static_cast<std::int32_t>(blocks.size()));
  for (const BookBlock& block : blocks) {
    const auto offset = static_cast<std::int64_t>(files.chess.size());
    const auto count = static_cast<std::int64_t>(block.records.size());
    if (offset + book::COUNT_SIZE + count * book::RECORD_SIZE > INT32_LIMIT) {
      error = "the book is too large for chess.db's 32-bit offsets";
      return false;
    }
    append_entry(files.index, block.key, static_cast<std::int32_t>(offset));
    append_i32(files.chess, static_cast<std::int32_t>(count));
    for (const book::BookRecord& r : block.records) {
      files.chess.push_back(r.from);
      files.chess.push_back(r.to);
      files.chess.push_back(static_cast<std::uint8_t>(r.mark));
    }
  }
  return true;
}

bool write_book(const BookFiles& files, const std::filesystem::path& dir, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    error = "cannot make " + dir.string() + ": " + ec.message();
    return false;
  }
  return write_file(dir / "index.db", files.index, error) &&
         write_file(dir / "chess.db", files.chess, error);
}

}  // namespace book_maker
