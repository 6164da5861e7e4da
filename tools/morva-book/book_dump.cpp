#include "book_dump.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <map>
#include <utility>

#include "book/book_format.h"
#include "book/db.h"
#include "rules/board.h"
#include "rules/castling.h"
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
  for (const book::BookRecord& r : records) {
    auto it = tallies.begin();
    while (it != tallies.end() && !(it->from == r.from && it->to == r.to)) ++it;
    if (it == tallies.end()) it = tallies.insert(it, Tally{r.from, r.to});
    (r.mark == 1 ? it->white : r.mark == 0 ? it->draw : r.mark == -1 ? it->black : it->other)++;
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

}  // namespace

std::string move_text(int from, int to) {
  const rules::Castling* c = rules::castling_of(from);
  if (c != nullptr && to == from) {
    return rules::square_name(c->king_from) + rules::square_name(c->king_to) +
           (c->king_side ? "=O-O" : "=O-O-O");
  }
  return square_text(from) + square_text(to);
}

bool dump_book(const std::filesystem::path& dir, bool each_record, std::ostream& out,
               std::string& error) {
  const std::filesystem::path index_path = dir / "index.db";
  const std::filesystem::path chess_path = dir / "chess.db";
  if (!book::load_book_index_from(index_path.c_str())) {
    error = "cannot open " + index_path.string();
    return false;
  }
  std::FILE* chess = std::fopen(chess_path.c_str(), "rb");
  if (chess == nullptr) {
    error = "cannot open " + chess_path.string();
    return false;
  }
  bool has_count = false;
  const std::int32_t count = count_field(index_path, has_count);
  const auto& index = book::book_index();
  out << "index.db: " << index.size() << " entries (count field "
      << (has_count ? std::to_string(count) : "missing") << ")\n";
  out << "chess.db: " << std::filesystem::file_size(chess_path) << " bytes\n";

  std::map<std::pair<std::uint64_t, std::uint64_t>, std::size_t> first_with_key;
  std::size_t total = 0;
  for (std::size_t i = 0; i < index.size(); ++i) {
    const book::BookIndexEntry& e = index[i];
    char key[40];
    std::snprintf(key, sizeof key, "%016" PRIx64 " %016" PRIx64, e.K1, e.K2);
    out << "position " << i + 1 << "  key " << key << "  offset " << e.offset;
    const auto [it, first] = first_with_key.try_emplace({e.K1, e.K2}, i + 1);
    const std::vector<book::BookRecord> records = book::read_book_block(chess, e.offset);
    total += records.size();
    out << "  " << records.size() << (records.size() == 1 ? " record" : " records");
    if (!first) out << "  (same key as position " << it->second << ": never read)";
    if (e.offset == book::NOT_FOUND_OFFSET) out << "  (marked as not in the book)";
    out << '\n';
    if (each_record) {
      dump_records(records, out);
    } else {
      dump_moves(records, out);
    }
  }
  std::fclose(chess);
  out << "total: " << index.size() << " positions, " << total << " records\n";
  return true;
}

}  // namespace book_maker
