// Lookups in a small reference book against its description (book.txt):
// "pos PLACEMENT" starts a block, "move FROMTO MARK" is a record, "pad N" is N
// bytes between blocks. A second block with an earlier placement is never found.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
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

class GoldenBook : public ::testing::Test {
 protected:
  void SetUp() override { book::load_book_index(); }
  ScratchFolder folder_{MORVA_TEST_DATA_DIR "/golden/book"};
};

TEST_F(GoldenBook, LookupsMatchTheDescription) {
  const std::vector<Block> blocks = read_description("book.txt");
  ASSERT_EQ(blocks.size(), 5U);
  std::map<std::string, bool> seen;
  int checked = 0;
  for (const Block& block : blocks) {
    if (seen[block.placement]) continue;  // only the first entry of a key counts
    seen[block.placement] = true;
    for (const char* side : {" w", " b"}) {
      for (int mark : {1, 0, -1}) {
        std::vector<rules::Move> expected;
        for (const Record& r : block.records) {
          if (r.mark == mark) expected.push_back(rules::move_of(r.from, r.to));
        }
        OutputCapture capture;
        const int n = book::book_lookup(board(block.placement + side), mark);
        EXPECT_EQ(capture.text(), " (find at pos : " + std::to_string(block.offset) + ") ");
        ASSERT_EQ(n, static_cast<int>(expected.size())) << block.placement << " mark " << mark;
        for (int i = 0; i < n; ++i) EXPECT_EQ(book::book_move(i), expected[i]) << i;
        ++checked;
      }
    }
  }
  EXPECT_EQ(checked, 4 * 2 * 3);
}

TEST_F(GoldenBook, PositionOutsideTheBookIsNotFound) {
  OutputCapture capture;
  EXPECT_EQ(book::book_lookup(board("rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w"), 1), -1);
  EXPECT_EQ(capture.text(), "");
}

}  // namespace
