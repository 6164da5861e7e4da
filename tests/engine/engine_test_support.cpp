#include "engine_test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "book/book_format.h"
#include "book/book_key.h"
#include "book/db.h"
#include "engine/progress.h"
#include "rules/move_table.h"

// The test program's progress report: it records every fraction.
void report_progress(float fraction) { engine_test::progress_reports().push_back(fraction); }

namespace engine_test {
namespace {

int square_of(const char* name) { return (name[1] - '1') * 8 + (name[0] - 'a'); }

// Writes the bytes to a new binary file.
void write_file(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Writes db/index.db and db/chess.db holding the positions, one block each.
void write_book(const std::vector<BookPosition>& book) {
  std::filesystem::create_directory("db");
  std::vector<unsigned char> index(book::COUNT_SIZE + book::INDEX_ENTRY_SIZE * book.size());
  std::vector<unsigned char> chess;
  book::write_i32(index.data(), static_cast<std::int32_t>(book.size()));
  for (std::size_t i = 0; i < book.size(); ++i) {
    unsigned char* entry = index.data() + book::COUNT_SIZE + book::INDEX_ENTRY_SIZE * i;
    const book::BookKey key = book::book_key(book[i].board);
    book::write_u64(entry, key.K1);
    book::write_u64(entry + 8, key.K2);
    book::write_i32(entry + book::INDEX_OFFSET_FIELD, static_cast<std::int32_t>(chess.size()));
    const std::size_t block = chess.size();
    chess.resize(block + book::COUNT_SIZE);
    book::write_i32(chess.data() + block, static_cast<std::int32_t>(book[i].records.size()));
    for (const BookRecord& r : book[i].records) {
      chess.push_back(static_cast<unsigned char>(rules::move_from(r.move)));
      chess.push_back(static_cast<unsigned char>(rules::move_to(r.move)));
      chess.push_back(static_cast<unsigned char>(static_cast<signed char>(r.mark)));
    }
  }
  write_file("db/index.db", index);
  write_file("db/chess.db", chess);
}

}  // namespace

rules::Position position(const std::string& fen) {
  const rules::FenResult r = rules::parse_fen(fen);
  EXPECT_TRUE(r.position.has_value()) << fen << ": " << r.error;
  return r.position.value_or(rules::Position{});
}

rules::Move move(const char* from, const char* to) {
  return rules::move_of(square_of(from), square_of(to));
}

std::string text_of(rules::Move m) {
  std::string out;
  for (int byte : {rules::move_from(m), rules::move_to(m)}) {
    out += static_cast<char>(96 + rules::file_of(byte));
    out += std::to_string(rules::rank_of(byte));
  }
  return out;
}

ScratchFolder::ScratchFolder(const std::string& conf_ini, const std::vector<BookPosition>& book)
    : previous_(std::filesystem::current_path()) {
  std::string pattern = (std::filesystem::temp_directory_path() / "morva-engine-XXXXXX").string();
  const char* made = ::mkdtemp(pattern.data());
  if (made == nullptr) {
    ADD_FAILURE() << "cannot make a temporary folder";
    return;
  }
  folder_ = made;
  std::filesystem::current_path(folder_);
  std::ofstream("conf.ini") << conf_ini;
  write_book(book);
  book::load_book_index();
}

ScratchFolder::~ScratchFolder() {
  std::filesystem::current_path(previous_);
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

std::string algo_conf(int level, int prelevel, int maxlevel, int complexity) {
  return "[GAME]\nusercolor=white;\n[ALGO]\nlevel=" + std::to_string(level) +
         ";\nprelevel=" + std::to_string(prelevel) + ";\nmaxlevel=" + std::to_string(maxlevel) +
         ";\ncomplexity=" + std::to_string(complexity) + ";\n";
}

std::vector<float>& progress_reports() {
  static std::vector<float> reports;
  return reports;
}

void TableEnvironment::SetUp() { rules::build_move_tables(); }

}  // namespace engine_test

namespace {
[[maybe_unused]] ::testing::Environment* const table_environment =
    ::testing::AddGlobalTestEnvironment(new engine_test::TableEnvironment);
}  // namespace
