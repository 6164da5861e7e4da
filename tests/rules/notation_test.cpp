#include "rules/notation.h"

#include <gtest/gtest.h>

#include "positions.h"

namespace {

using namespace rules;

TEST(Notation, RecordTextOfOrdinaryAndSpecialMoves) {
  const std::pair<Move, const char*> cases[] = {
      {move_of(12, 28), "e2e4"},      {move_of(0, 63), "a1h8"},
      {move_of(0, 0), "a1a1"},        {END_MOVE, "d13d13"},
      {castling_move(100), "e13e13"}, {castling_move(101), "f13f13"},
      {castling_move(102), "g13g13"}, {castling_move(103), "h13h13"},
  };
  for (const auto& [m, text] : cases) EXPECT_EQ(move_text(m), text);
}

TEST(Notation, EveryNameReadsBackAsItsByte) {
  for (int byte = 0; byte <= CASTLE_BLACK_KING; ++byte) {
    EXPECT_EQ(parse_square_name(square_name(byte)), byte) << byte;
  }
  for (const char* bad : {"", "e", "e0", "e14", "i4", "E4", "e4x", "e+4", "e04"}) {
    EXPECT_FALSE(parse_square_name(bad).has_value()) << bad;
  }
  EXPECT_FALSE(parse_square("d13").has_value());
  EXPECT_EQ(parse_square("h8"), 63);
}

TEST(Notation, FindsTheGeneratedMoveATextStandsFor) {
  struct Case {
    const char* fen;
    const char* text;
    const char* found;  // record text, or the fault
  };
  const Case cases[] = {
      {"r3k2r/8/8/8/8/8/8/R3K2R w", "e1g1", "f13f13"},
      {"r3k2r/8/8/8/8/8/8/R3K2R w", "e1c1", "e13e13"},
      {"r3k2r/8/8/8/8/8/8/R3K2R b", "e8g8", "h13h13"},
      {"r3k2r/8/8/8/8/8/8/R3K2R b", "g13g13", "g13g13"},
      {"r3k2r/8/8/8/8/8/8/R2QK2R w", "e1c1", "not generated"},
      {"8/P6k/8/8/8/8/8/K7 w", "a7a8", "a7a8"},
      {"8/P6k/8/8/8/8/8/K7 w", "a7a8Q", "a7a8"},
      {"8/P6k/8/8/8/8/8/K7 w", "a7a8n", "under-promotion"},
      {"8/P6k/8/8/8/8/8/K7 w", "a1a2q", "not generated"},
      {"8/P6k/8/8/8/8/8/K7 w", "d13d13", "not generated"},
      {"8/P6k/8/8/8/8/8/K7 w", "0000", "malformed"},
      {"8/P6k/8/8/8/8/8/K7 w", "a7", "malformed"},
  };
  for (const Case& c : cases) {
    const FenResult p = parse_fen(c.fen);
    const FoundMove f = find_move(p.position->board, p.position->side, c.text);
    const char* faults[] = {"", "malformed", "not generated", "under-promotion"};
    const std::string got =
        f.fault == MoveTextFault::NONE ? move_text(f.move) : faults[static_cast<int>(f.fault)];
    EXPECT_EQ(got, c.found) << c.fen << " " << c.text;
  }
}

}  // namespace
