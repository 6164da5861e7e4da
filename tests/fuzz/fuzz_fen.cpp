// Fuzzes the FEN reader: any text either gives a one-line printable error or a
// position whose Board is consistent and whose written FEN reads back to the
// same position; the words of the text, read as an unquoted command line, give
// a FEN word count within their number. Any sanitizer report or broken
// property aborts the run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "rules/board.h"
#include "rules/fen.h"

namespace {

using fuzz::check;

// Returns whether the pieces of b lie on distinct squares and the colour sets
// hold exactly the squares of each side's pieces.
bool consistent(const rules::Board& b) {
  rules::Bitboard all = 0;
  for (int side = 0; side < 2; ++side) {
    rules::Bitboard own = 0;
    for (rules::Bitboard p : b.pieces[side]) {
      if ((all & p) != 0) return false;
      all |= p;
      own |= p;
    }
    if (own != b.occupied[side]) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const rules::FenResult r = rules::parse_fen(text);
  if (!r.position) {
    check(!r.error.empty() && r.error.size() < 200, "an error is a short line");
    for (char c : r.error) check(c >= ' ' && c <= '~', "an error is printable");
  } else {
    check(consistent(r.position->board), "the Board is consistent");
    const std::string fen = rules::fen_of(r.position->board, r.position->side);
    const rules::FenResult again = rules::parse_fen(fen);
    check(again.position.has_value(), "a written FEN reads back");
    check(again.position->board == r.position->board, "the Board survives the round trip");
    check(again.position->side == r.position->side, "the side survives the round trip");
    check(rules::fen_of(again.position->board, again.position->side) == fen, "FEN text is stable");
  }
  std::vector<std::string> words;
  std::istringstream split(text);
  for (std::string w; split >> w;) words.push_back(w);
  const std::size_t count = rules::fen_word_count(words);
  check(count <= words.size() && count <= 6 && (count > 0) == !words.empty(),
        "the FEN word count is within the words");
  return 0;
}
