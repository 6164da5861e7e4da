// Lookups in a small reference book against its description (book.txt):
// "pos PLACEMENT" starts a block, "move FROMTO MARK" is a record, "pad N" is N
// bytes between blocks. A second block with an earlier placement is never found.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "book/db.h"
#include "book_test_support.h"
#include "rules/notation.h"

namespace {

using namespace book_test;

struct Block {
  std::string placement;
  std::int32_t offset = 0;
  std::vector<Record> records;
};

// Returns the byte of a name as the record writes it ("e2", "f13").
int byte_of(const std::string& text) { return rules::parse_square_name(text).value_or(-1); }

// Reads book.txt into its blocks, with the offset each one has in chess.db.
std::vector<Block> read_description(const std::string& path) {
  std::ifstream in(path);
  std::vector<Block> blocks;
  std::int32_t next_offset = 0;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word == "pos") {
      if (!blocks.empty()) next_offset += 4 + 3 * static_cast<int>(blocks.back().records.size());
      blocks.push_back({});
      words >> blocks.back().placement;
      blocks.back().offset = next_offset;
    } else if (word == "move") {
      std::string move;
      int mark = 0;
      words >> move >> mark;
      const auto split = move.find_first_of("abcdefgh", 1);
      blocks.back().records.push_back(
          {byte_of(move.substr(0, split)), byte_of(move.substr(split)), mark});
    } else if (word == "pad") {
      int pad = 0;
      words >> pad;
      next_offset += pad;
    }
  }
  return blocks;
}

constexpr const char* GOLDEN = MORVA_TEST_DATA_DIR "/golden/book";

TEST(GoldenBook, LookupsMatchTheDescription) {
  const std::vector<Block> blocks = read_description(std::string(GOLDEN) + "/book.txt");
  ASSERT_EQ(blocks.size(), 5U);
  const std::optional<book::Book> book = book::load_book(std::string(GOLDEN) + "/db");
  ASSERT_TRUE(book.has_value());
  std::set<std::string> seen;
  for (const Block& block : blocks) {
    if (!seen.insert(block.placement).second) continue;  // only the first entry of a key counts
    std::vector<Record> read;
    for (const book::BookRecord& r : book::read_book_block(book->chess, block.offset)) {
      read.push_back({r.from, r.to, r.mark});
    }
    EXPECT_TRUE(read == block.records) << block.placement;
    const book::BookHit hit = book::book_lookup(*book, board(block.placement));
    ASSERT_TRUE(hit.found && hit.readable) << block.placement;
    EXPECT_EQ(hit.offset, block.offset) << block.placement;
    for (const Record& asked : block.records) {
      for (int mark : {1, 0, -1}) {
        const Record wanted{asked.from, asked.to, mark};
        const auto expected = std::count(block.records.begin(), block.records.end(), wanted);
        EXPECT_EQ(book::book_count(*book, hit, rules::move_of(asked.from, asked.to), mark),
                  expected)
            << block.placement << " " << asked.from << "-" << asked.to << " mark " << mark;
      }
    }
  }
  EXPECT_EQ(seen.size(), 4U);
  EXPECT_FALSE(
      book::book_lookup(*book, board("rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w")).found);
}

}  // namespace
