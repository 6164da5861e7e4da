#include "positions.h"

#include "rules/movegen.h"
#include "rules/notation.h"

namespace rules {

void PrintTo(const Board& b, std::ostream* os) { *os << placement_of(b); }

}  // namespace rules

namespace test_support {

rules::Position position(const std::string& fen) {
  const rules::FenResult r = rules::parse_fen(fen);
  EXPECT_TRUE(r.position.has_value()) << fen << ": " << r.error;
  return r.position.value_or(rules::Position{});
}

std::string moves_of(const rules::Board& b, rules::Side side) {
  rules::MoveList list;
  const int n = rules::generate_moves(b, side, list);
  std::string out;
  for (int i = 0; i < n; ++i) {
    if (i > 0) out += ' ';
    out += rules::move_text(list[i]);
  }
  return out;
}

}  // namespace test_support
