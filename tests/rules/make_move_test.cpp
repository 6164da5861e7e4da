#include "rules/make_move.h"

#include <gtest/gtest.h>

#include "positions.h"
#include "rules/movegen.h"
#include "rules/notation.h"

namespace {

using namespace rules;
using test_support::board;
using test_support::sq;

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w";

struct MakeCase {
  const char* what;
  const char* before;
  Move move;
  const char* after;  // placement after the move
};

const MakeCase CASES[] = {
    {"pawn double step", START, move_of(sq("e2"), sq("e4")),
     "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR"},
    {"queen takes bishop", "4k3/8/8/3b4/3Q4/8/8/4K3 w", move_of(sq("d4"), sq("d5")),
     "4k3/8/8/3Q4/8/8/8/4K3"},
    {"white king side", "r3k2r/8/8/8/8/8/8/R3K2R w", castling_move(CASTLE_WHITE_KING),
     "r3k2r/8/8/8/8/8/8/R4RK1"},
    {"white queen side", "r3k2r/8/8/8/8/8/8/R3K2R w", castling_move(CASTLE_WHITE_QUEEN),
     "r3k2r/8/8/8/8/8/8/2KR3R"},
    {"black king side", "r3k2r/8/8/8/8/8/8/R3K2R b", castling_move(CASTLE_BLACK_KING),
     "r4rk1/8/8/8/8/8/8/R3K2R"},
    {"black queen side", "r3k2r/8/8/8/8/8/8/R3K2R b", castling_move(CASTLE_BLACK_QUEEN),
     "2kr3r/8/8/8/8/8/8/R3K2R"},
    {"castling without a rook moves the king only", "4k3/8/8/8/8/8/8/4K3 w",
     castling_move(CASTLE_WHITE_KING), "4k3/8/8/8/8/8/8/6K1"},
    {"end entry is a pass", START, END_MOVE, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR"},
    {"white promotion", "4k3/P7/8/8/8/8/8/4K3 w", move_of(sq("a7"), sq("a8")),
     "Q3k3/8/8/8/8/8/8/4K3"},
    {"white promotion with capture", "rn2k3/1P6/8/8/8/8/8/4K3 w", move_of(sq("b7"), sq("a8")),
     "Qn2k3/8/8/8/8/8/8/4K3"},
    {"black promotion", "4k3/8/8/8/8/8/p7/4K3 b", move_of(sq("a2"), sq("a1")),
     "4k3/8/8/8/8/8/8/q3K3"},
    {"king captured", "4k3/8/8/8/8/8/8/4KR2 w", move_of(sq("f1"), sq("f8")),
     "4kR2/8/8/8/8/8/8/4K3"},
    {"capture of the king", "4k3/8/8/8/8/8/8/4K2r b", move_of(sq("h1"), sq("e1")),
     "4k3/8/8/8/8/8/8/4r3"},
    {"move from an empty square changes nothing", START, move_of(sq("e4"), sq("e5")),
     "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR"},
};

TEST(MakeMove, Cases) {
  for (const MakeCase& c : CASES) {
    EXPECT_EQ(placement_of(make_move(board(c.before), c.move)), c.after) << c.what;
  }
}

TEST(MakeMove, KeepsTheBoardInvariants) {
  // Every generated move of a few positions (a king capture among them) keeps
  // the sets disjoint and the occupancy equal to the union of the piece sets.
  const char* fens[] = {START, "r3k2r/1P4P1/8/3pP3/8/8/1p4p1/R3K2R w",
                        "r3k2r/1P4P1/8/3pP3/8/8/1p4p1/R3K2R b", "4k3/8/8/8/8/8/8/4K2r b"};
  for (const char* fen : fens) {
    const FenResult r = parse_fen(fen);
    MoveList list;
    const int n = generate_moves(r.position->board, r.position->side, list);
    for (int i = 0; i < n; ++i) {
      const Board b = make_move(r.position->board, list[i]);
      for (Side s : {WHITE, BLACK}) {
        Bitboard all = 0;
        for (PieceType p = PAWN; p <= KING; ++p) {
          EXPECT_EQ(all & b.pieces[s][p], 0U) << fen << " " << rules::move_text(list[i]);
          all |= b.pieces[s][p];
        }
        EXPECT_EQ(all, b.occupied[s]) << fen << " " << rules::move_text(list[i]);
      }
      EXPECT_EQ(b.occupied[WHITE] & b.occupied[BLACK], 0U);
    }
  }
}

}  // namespace
