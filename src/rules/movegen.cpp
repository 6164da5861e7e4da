#include "rules/movegen.h"

#include "rules/move_table.h"

namespace rules {

thread_local std::uint64_t node_count = 0;

namespace {

// The last index a move may take: the final slot is kept for the end entry.
constexpr int MOVE_LIMIT = MOVE_LIST_CAPACITY - 1;

// Appends the moves of one piece on from, walking its table rows.
inline int piece_moves(int slot, int from, Bitboard own, Bitboard enemy, MoveList& list, int n) {
  const MoveTableEntry(&row)[SQUARE_COUNT] = move_table.entry[slot][from];
  int t = row[from].next;
  while (t != NO_SQUARE) {
    const MoveTableEntry& e = row[t];
    if (test_bit(enemy, static_cast<Square>(t))) {
      // A capture ends the ray; a pawn cannot capture straight ahead.
      if (e.kind != KIND_MOVE_ONLY && n < MOVE_LIMIT) list[n++] = move_of(from, t);
      t = e.skip;
    } else if (test_bit(own, static_cast<Square>(t))) {
      t = e.skip;
    } else if (e.kind == KIND_CAPTURE_ONLY) {
      t = e.skip;  // a pawn diagonal without a victim
    } else {
      if (n < MOVE_LIMIT) list[n++] = move_of(from, t);
      t = e.next != NO_SQUARE ? e.next : e.skip;
    }
  }
  return n;
}

// A square is free for castling when neither side occupies it.
constexpr bool all_free(Bitboard occupancy, Bitboard squares) { return (occupancy & squares) == 0; }

constexpr Bitboard square_set(std::initializer_list<int> squares) {
  Bitboard b = 0;
  for (int s : squares) b |= Bitboard{1} << s;
  return b;
}

constexpr int E1 = 4, E8 = 60;
constexpr Bitboard WHITE_KING_SIDE = square_set({5, 6});      // f1 g1
constexpr Bitboard WHITE_QUEEN_SIDE = square_set({3, 2, 1});  // d1 c1 b1
constexpr Bitboard BLACK_KING_SIDE = square_set({61, 62});    // f8 g8
constexpr Bitboard BLACK_QUEEN_SIDE = square_set({59, 58, 57});  // d8 c8 b8

// Castling is offered on the king's home square and free squares between only:
// no record of castling rights, no look at the rook, no test of attacked squares.
int castling_moves(const Board& b, Side side, MoveList& list, int n) {
  const Bitboard occupancy = b.occupied[WHITE] | b.occupied[BLACK];
  const int home = side == WHITE ? E1 : E8;
  if (!test_bit(b.pieces[side][KING], static_cast<Square>(home))) return n;
  const Bitboard king_side = side == WHITE ? WHITE_KING_SIDE : BLACK_KING_SIDE;
  const Bitboard queen_side = side == WHITE ? WHITE_QUEEN_SIDE : BLACK_QUEEN_SIDE;
  const int king_code = side == WHITE ? CASTLE_WHITE_KING : CASTLE_BLACK_KING;
  const int queen_code = side == WHITE ? CASTLE_WHITE_QUEEN : CASTLE_BLACK_QUEEN;
  if (all_free(occupancy, king_side) && n < MOVE_LIMIT) list[n++] = castling_move(king_code);
  if (all_free(occupancy, queen_side) && n < MOVE_LIMIT) list[n++] = castling_move(queen_code);
  return n;
}

// Counts the enemy pieces one piece on from could take, looking through enemy
// pieces (the ray goes on past them) but stopping at its own.
inline int piece_captures(int slot, int from, Bitboard own, Bitboard enemy) {
  const MoveTableEntry(&row)[SQUARE_COUNT] = move_table.entry[slot][from];
  int c = 0;
  int t = row[from].next;
  while (t != NO_SQUARE) {
    const MoveTableEntry& e = row[t];
    if (test_bit(enemy, static_cast<Square>(t))) {
      if (e.kind != KIND_MOVE_ONLY) ++c;
      t = e.next != NO_SQUARE ? e.next : e.skip;
    } else if (test_bit(own, static_cast<Square>(t))) {
      t = e.skip;
    } else if (e.kind == KIND_CAPTURE_ONLY) {
      t = e.skip;
    } else {
      t = e.next != NO_SQUARE ? e.next : e.skip;
    }
  }
  return c;
}

}  // namespace

int generate_moves(Board b, Side side, MoveList& list) {
  const Bitboard own = b.occupied[side];
  const Bitboard enemy = b.occupied[other_side(side)];
  int n = 0;
  for (PieceType p = KING; p >= PAWN; --p) {
    const int slot = slot_of(side, p);
    for (Bitboard set = b.pieces[side][p]; set != 0; set &= set - 1) {
      n = piece_moves(slot, lowest_square(set), own, enemy, list, n);
    }
  }
  n = castling_moves(b, side, list, n);
  list[n++] = END_MOVE;
  node_count += static_cast<std::uint64_t>(n);
  return n;
}

int count_captures(Board b) {
  int c = 0;
  for (Side side : {BLACK, WHITE}) {
    const Bitboard own = b.occupied[side];
    const Bitboard enemy = b.occupied[other_side(side)];
    for (PieceType p = KING; p >= PAWN; --p) {
      const int slot = slot_of(side, p);
      for (Bitboard set = b.pieces[side][p]; set != 0; set &= set - 1) {
        c += piece_captures(slot, lowest_square(set), own, enemy);
      }
    }
  }
  return c;
}

}  // namespace rules
