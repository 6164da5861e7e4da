#include "book_dump.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <unordered_map>
#include <utility>

#include "book/book_format.h"
#include "book/db.h"
#include "rules/board.h"
#include "rules/castling.h"
#include "rules/input_echo.h"
#include "rules/move.h"
#include "rules/notation.h"

namespace book_maker {

namespace {

constexpr int RECORDS_PER_LINE = 8;
constexpr std::size_t MOVE_COLUMN = 14;  // width of the move column of the move summary

// Returns a byte of a record: a square name, or "?" and its value.
std::string square_text(int byte) {
  if (byte >= 0 && byte < rules::SQUARE_COUNT) return rules::square_name(byte);
  std::string text = "?";
  text += std::to_string(byte);
  return text;
}

// Returns the count field of an index file, or -1 with present false.
std::int32_t count_field(const std::filesystem::path& path, bool& present) {
  unsigned char bytes[book::COUNT_SIZE];
  std::FILE* f = std::fopen(path.c_str(), "rb");
  present = f != nullptr && std::fread(bytes, 1, book::COUNT_SIZE, f) == book::COUNT_SIZE;
  if (f != nullptr) std::fclose(f);
  return present ? book::read_i32(bytes) : -1;
}

// Writes the records in block order, RECORDS_PER_LINE to a line.
void dump_records(const std::vector<book::BookRecord>& records, std::ostream& out) {
  for (std::size_t i = 0; i < records.size(); ++i) {
    const book::BookRecord& r = records[i];
    out << "  " << move_text(r.from, r.to) << ' '
        << (r.mark > 0    ? "+"
            : r.mark == 0 ? " "
                          : "")
        << static_cast<int>(r.mark);
    if (i % RECORDS_PER_LINE == RECORDS_PER_LINE - 1 || i + 1 == records.size()) out << '\n';
  }
}

// Writes one line per distinct move, in the order of first appearance, with
// how many records give it each mark (marks without records left out).
void dump_moves(const std::vector<book::BookRecord>& records, std::ostream& out) {
  struct Tally {
    std::uint8_t from, to;
    int white = 0, draw = 0, black = 0, other = 0;
  };
  std::vector<Tally> tallies;
  std::unordered_map<int, std::size_t> tally_of;  // (from, to) -> place in tallies
  for (const book::BookRecord& r : records) {
    const auto [it, is_new] = tally_of.try_emplace(r.from << 8 | r.to, tallies.size());
    if (is_new) tallies.push_back(Tally{r.from, r.to});
    Tally& t = tallies[it->second];
    (r.mark == 1 ? t.white : r.mark == 0 ? t.draw : r.mark == -1 ? t.black : t.other)++;
  }
  for (const Tally& t : tallies) {
    std::string line = "  " + move_text(t.from, t.to);
    line.resize(std::max<std::size_t>(line.size(), MOVE_COLUMN), ' ');
    out << line;
    if (t.white > 0) out << "  +1 x" << t.white;
    if (t.draw > 0) out << "  0 x" << t.draw;
    if (t.black > 0) out << "  -1 x" << t.black;
    if (t.other > 0) out << "  other marks x" << t.other;
    out << '\n';
  }
}

// What a dump found wrong, counted by kind.
struct Damage {
  std::string index;  // what is wrong with index.db as a whole
  int negative_offsets = 0, offsets_past_end = 0, negative_counts = 0, counts_past_end = 0,
      overlaps = 0;
};

// Returns the damage found as one line, or "" for a sound book.
std::string damage_text(const Damage& d) {
  std::string text = d.index;
  const auto add = [&text](int n, const char* what) {
    if (n == 0) return;
    text += (text.empty() ? "" : "; ") + std::to_string(n) + " " + what;
  };
  add(d.negative_offsets, "negative offsets");
  add(d.offsets_past_end, "offsets past the end of chess.db");
  add(d.negative_counts, "negative record counts");
  add(d.counts_past_end, "record counts running past the end of chess.db");
  add(d.overlaps, "blocks overlapping an earlier block");
  return text;
}

// A block as the reader sees it, sized from its count field and the file size
// alone: records is the number of whole records the reader takes, and the
// block covers the bytes [offset, end) of chess.db (end 0 when it covers none).
struct BlockSpan {
  std::size_t records = 0;
  std::int64_t end = 0;
};

// Sizes the block of an index entry and notes on the position's line what is
// wrong with it.
BlockSpan size_block(const book::Bytes& chess, std::int32_t offset, Damage& damage,
                     std::ostream& out) {
  const auto chess_size = static_cast<std::int64_t>(chess.size());
  BlockSpan span;
  std::int32_t count = 0;
  if (offset == book::NOT_FOUND_OFFSET) return span;
  if (offset < 0) {
    ++damage.negative_offsets;
    out << "  (damaged: negative offset)";
  } else if (!book::read_block_count(chess, offset, count)) {
    ++damage.offsets_past_end;
    out << "  (damaged: offset past the end of chess.db)";
  } else if (count < 0) {
    ++damage.negative_counts;
    out << "  (damaged: negative record count " << count << ")";
    span.end = offset + book::COUNT_SIZE;
  } else {
    const std::int64_t room = (chess_size - offset - book::COUNT_SIZE) / book::RECORD_SIZE;
    if (count > room) {
      ++damage.counts_past_end;
      out << "  (damaged: " << count << " records run past the end of chess.db)";
    }
    span.records = static_cast<std::size_t>(std::min<std::int64_t>(count, room));
    span.end =
        offset + book::COUNT_SIZE + static_cast<std::int64_t>(span.records) * book::RECORD_SIZE;
  }
  return span;
}

// The blocks listed so far, by first byte: their end and position number. They
// never overlap, so the records listed add up to at most the size of chess.db.
using Listed = std::map<std::int64_t, std::pair<std::int64_t, std::size_t>>;

// Returns the position whose listed block shares a byte with [start, end), or 0.
std::size_t overlapping(const Listed& listed, std::int64_t start, std::int64_t end) {
  auto it = listed.upper_bound(start);
  if (it != listed.end() && it->first < end) return it->second.second;
  if (it != listed.begin() && std::prev(it)->second.first > start) {
    return std::prev(it)->second.second;
  }
  return 0;
}

// Returns the damage of index.db as a whole: a size that is not 4 + 24 x the count.
std::string index_damage(std::uintmax_t size, bool has_count, std::int32_t count) {
  if (!has_count) return "index.db is shorter than its count field";
  const std::int64_t expected = book::COUNT_SIZE + std::int64_t{book::INDEX_ENTRY_SIZE} * count;
  if (static_cast<std::int64_t>(size) == expected) return "";
  return "index.db has " + std::to_string(size) + " bytes, not 4 + 24 x " + std::to_string(count) +
         " for its count field";
}

// Returns the size of a regular file, or sets error and returns -1.
std::int64_t regular_file_size(const std::filesystem::path& path, std::string& error) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  std::uintmax_t size = 0;
  if (!ec && std::filesystem::is_regular_file(status)) size = std::filesystem::file_size(path, ec);
  if (!ec && std::filesystem::is_regular_file(status)) return static_cast<std::int64_t>(size);
  error = "cannot open " + rules::echo_input(path.string()) + ": " +
          (ec ? ec.message() : "not a regular file");
  return -1;
}

}  // namespace

std::string move_text(int from, int to) {
  const rules::Castling* c = rules::castling_of(from);
  if (c != nullptr && to == from) {
    return rules::square_name(c->king_from) + rules::square_name(c->king_to) +
           (c->king_side ? "=O-O" : "=O-O-O");
  }
  return square_text(from) + square_text(to);
}

// Lists every index entry with its block. A block is listed only where it
// shares no byte with a block listed before it, so the work and the output
// stay within the sizes of the two files whatever their bytes say.
void dump_entries(const std::vector<book::BookIndexEntry>& index, const book::Bytes& chess,
                  bool each_record, Damage& damage, std::ostream& out) {
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::size_t> first_with_key;
  Listed listed;
  std::size_t total = 0;
  for (std::size_t i = 0; i < index.size(); ++i) {
    const book::BookIndexEntry& e = index[i];
    char key[40];
    std::snprintf(key, sizeof key, "%016" PRIx64 " %016" PRIx64, e.K1, e.K2);
    out << "position " << i + 1 << "  key " << key << "  offset " << e.offset;
    const auto [it, first] = first_with_key.try_emplace({e.K1, e.K2}, i + 1);
    std::ostringstream notes;
    const BlockSpan span = size_block(chess, e.offset, damage, notes);
    const std::size_t other = span.end == 0 ? 0 : overlapping(listed, e.offset, span.end);
    total += span.records;
    out << "  " << span.records << (span.records == 1 ? " record" : " records");
    if (!first) out << "  (same key as position " << it->second << ": never read)";
    if (e.offset == book::NOT_FOUND_OFFSET) out << "  (marked as not in the book)";
    out << notes.str();
    if (other != 0) {
      ++damage.overlaps;
      out << "  (damaged: overlaps the block of position " << other << ")\n";
      continue;
    }
    out << '\n';
    if (span.end != 0) listed.emplace(e.offset, std::make_pair(span.end, i + 1));
    const std::vector<book::BookRecord> records = span.records == 0
                                                      ? std::vector<book::BookRecord>{}
                                                      : book::read_book_block(chess, e.offset);
    if (each_record) {
      dump_records(records, out);
    } else {
      dump_moves(records, out);
    }
  }
  out << "total: " << index.size() << " positions, " << total << " records\n";
}

DumpResult dump_book(const std::filesystem::path& dir, bool each_record, std::ostream& out,
                     std::string& error) {
  const std::filesystem::path index_path = dir / "index.db";
  const std::filesystem::path chess_path = dir / "chess.db";
  const std::int64_t index_size = regular_file_size(index_path, error);
  if (index_size < 0) return DumpResult::CANNOT_READ;
  const std::int64_t chess_size = regular_file_size(chess_path, error);
  if (chess_size < 0) return DumpResult::CANNOT_READ;
  const std::optional<book::Bytes> chess = book::read_file(chess_path);
  const std::optional<std::vector<book::BookIndexEntry>> index = book::read_index(index_path);
  if (!index || !chess) {
    error = "cannot open " + rules::echo_input((!chess ? chess_path : index_path).string());
    return DumpResult::CANNOT_READ;
  }
  bool has_count = false;
  const std::int32_t count = count_field(index_path, has_count);
  out << "index.db: " << index->size() << " entries (count field "
      << (has_count ? std::to_string(count) : "missing") << ")\n";
  Damage damage;
  damage.index = index_damage(static_cast<std::uintmax_t>(index_size), has_count, count);
  if (!damage.index.empty()) out << "damaged: " << damage.index << "\n";
  out << "chess.db: " << chess->size() << " bytes\n";
  dump_entries(*index, *chess, each_record, damage, out);
  error = damage_text(damage);
  if (error.empty()) return DumpResult::SOUND;
  error = "damaged book in " + rules::echo_input(dir.string()) + ": " + error;
  return DumpResult::DAMAGED;
}

}  // namespace book_maker
