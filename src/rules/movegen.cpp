#include "rules/movegen.h"

#include <bit>

#include "rules/castling.h"
#include "rules/move_table.h"
#include "rules/ray_masks.h"

namespace rules {

thread_local std::uint64_t node_count = 0;

namespace {

// The last index a move may take: the final slot is kept for the end entry.
constexpr int MOVE_LIMIT = MOVE_LIST_CAPACITY - 1;

// Appends the squares of a set, nearest to the piece first, as moves from from.
inline int append_targets(int from, Bitboard targets, int direction, MoveList& list, int n) {
  while (targets != 0 && n < MOVE_LIMIT) {
    const int t = direction > 0 ? std::countr_zero(targets) : 63 - std::countl_zero(targets);
    list[n++] = move_of(from, t);
    targets ^= Bitboard{1} << t;
  }
  return n;
}

// Appends the moves of one piece on from: its rays in table order, each up to
// and including an enemy piece, before an own piece; a pawn pushes only onto
// free squares and takes only on its diagonals.
inline int piece_moves(int slot, int from, Bitboard own, Bitboard enemy, MoveList& list, int n) {
  const RayMasks& rays = ray_masks(slot, from);
  if (rays.leaps > 0) {  // knight or king: single squares in table order
    for (int k = 0; k < rays.leaps; ++k) {
      const int t = rays.leap[k];
      if (!test_bit(own, static_cast<Square>(t)) && n < MOVE_LIMIT) list[n++] = move_of(from, t);
    }
    return n;
  }
  const Bitboard occupancy = own | enemy;
  for (int r = 0; r < rays.count; ++r) {
    const RayMask& ray = rays.ray[r];
    Bitboard targets;
    if (ray.kind == KIND_CAPTURE_ONLY) {
      targets = ray.squares & enemy;
    } else if (ray.kind == KIND_MOVE_ONLY) {
      targets = ray_reach(ray, occupancy) & ~occupancy;
    } else {
      targets = ray_reach(ray, occupancy) & ~own;
    }
    n = append_targets(from, targets, ray.direction, list, n);
  }
  return n;
}

constexpr Bitboard FILE_A = 0x0101010101010101ULL;
constexpr Bitboard FILE_H = 0x8080808080808080ULL;
constexpr Bitboard RANK_2 = 0x000000000000FF00ULL;
constexpr Bitboard RANK_7 = 0x00FF000000000000ULL;

// Writes the castling Moves open to side, king side first, and returns how
// many. Castling is offered on the king's home square and free squares between
// only: no record of castling rights, no look at the rook, no test of attacks.
int castlings(const Board& b, Side side, Move (&out)[2]) {
  const Bitboard occupancy = b.occupied[WHITE] | b.occupied[BLACK];
  int n = 0;
  for (int k = first_castling(side); k < first_castling(side) + 2; ++k) {
    const Castling& c = CASTLINGS[k];
    if (test_bit(b.pieces[side][KING], c.king_from) && (occupancy & c.between) == 0) {
      out[n++] = castling_move(c.code);
    }
  }
  return n;
}

// Calls visit(slot, from) for every piece of side, in generation order: kings,
// queens, rooks, bishops, knights, pawns, each kind by ascending square.
template <class Visit>
inline void for_each_piece(const Board& b, Side side, Visit visit) {
  for (PieceType p = KING; p >= PAWN; --p) {
    const int slot = slot_of(side, p);
    for (Bitboard set = b.pieces[side][p]; set != 0; set &= set - 1)
      visit(slot, lowest_square(set));
  }
}

// Returns the number of moves of one ray as generate_moves would list them.
inline int ray_moves(const RayMask& r, Bitboard own, Bitboard enemy) {
  if (r.direction == 0) return std::popcount(r.squares & ~own);
  if (r.kind == KIND_CAPTURE_ONLY) return std::popcount(r.squares & enemy);
  const Bitboard occupancy = own | enemy;
  const Bitboard seen = ray_reach(r, occupancy);
  if (r.kind == KIND_MOVE_ONLY) return std::popcount(seen & ~occupancy);
  return std::popcount(seen & ~own);
}

// Returns b shifted by a square-number step: towards h8 for a positive one.
template <int STEP>
constexpr Bitboard shifted(Bitboard b) {
  return STEP > 0 ? b << STEP : b >> -STEP;
}

// Returns the squares the sliders of a set reach in the direction of STEP,
// through free squares and enemy pieces alike, up to and including the first
// own piece (Kogge-Stone fill: three doubling steps cover the seven squares).
// onto holds the squares a step can land on without wrapping around the side.
template <int STEP>
inline Bitboard slide(Bitboard sliders, Bitboard own, Bitboard onto) {
  Bitboard through = ~own & onto;
  sliders |= through & shifted<STEP>(sliders);
  through &= shifted<STEP>(through);
  sliders |= through & shifted<2 * STEP>(sliders);
  through &= shifted<2 * STEP>(through);
  sliders |= through & shifted<4 * STEP>(sliders);
  return shifted<STEP>(sliders) & onto;
}

// Counts the capture pairs of one side. Two sliders of a side never see the
// same square in the same direction (the nearer one blocks the other), so a
// direction's squares of all sliders together count each pair once.
inline int side_captures(const Board& b, Side side) {
  const Bitboard own = b.occupied[side];
  const Bitboard enemy = b.occupied[other_side(side)];
  const Bitboard queens = b.pieces[side][QUEEN];
  const Bitboard straight = b.pieces[side][ROOK] | queens;
  const Bitboard diagonal = b.pieces[side][BISHOP] | queens;
  constexpr Bitboard ANY = ~Bitboard{0};
  int c = 0;
  if (straight != 0) {
    c += std::popcount(slide<8>(straight, own, ANY) & enemy);
    c += std::popcount(slide<-8>(straight, own, ANY) & enemy);
    c += std::popcount(slide<1>(straight, own, ~FILE_A) & enemy);
    c += std::popcount(slide<-1>(straight, own, ~FILE_H) & enemy);
  }
  if (diagonal != 0) {
    c += std::popcount(slide<9>(diagonal, own, ~FILE_A) & enemy);
    c += std::popcount(slide<7>(diagonal, own, ~FILE_H) & enemy);
    c += std::popcount(slide<-7>(diagonal, own, ~FILE_A) & enemy);
    c += std::popcount(slide<-9>(diagonal, own, ~FILE_H) & enemy);
  }
  for (PieceType p : {KNIGHT, KING}) {
    for (Bitboard set = b.pieces[side][p]; set != 0; set &= set - 1) {
      c += std::popcount(ray_masks(p, lowest_square(set)).ray[0].squares & enemy);
    }
  }
  // A pawn takes on its two forward diagonals only.
  const Bitboard pawns = b.pieces[side][PAWN];
  if (side == WHITE) {
    return c + std::popcount(((pawns & ~FILE_A) << 7) & enemy) +
           std::popcount(((pawns & ~FILE_H) << 9) & enemy);
  }
  return c + std::popcount(((pawns & ~FILE_H) >> 7) & enemy) +
         std::popcount(((pawns & ~FILE_A) >> 9) & enemy);
}

// Returns the number of pawn moves of side, all pawns at once: pushes onto
// free squares (the double step from the home rank through a free square),
// captures toward both files. The same targets as the pawn table rows.
// Inlined into count_moves, so that it counts with that function's
// population-count instruction.
[[gnu::always_inline]] inline int pawn_move_count(const Board& b, Side side) {
  const Bitboard pawns = b.pieces[side][PAWN];
  const Bitboard enemy = b.occupied[other_side(side)];
  const Bitboard empty = ~(b.occupied[WHITE] | b.occupied[BLACK]);
  if (side == WHITE) {
    const Bitboard single = (pawns << 8) & empty;
    const Bitboard twice = (((pawns & RANK_2) << 8 & empty) << 8) & empty;
    const Bitboard toward_a = ((pawns & ~FILE_A) << 7) & enemy;
    const Bitboard toward_h = ((pawns & ~FILE_H) << 9) & enemy;
    return std::popcount(single) + std::popcount(twice) + std::popcount(toward_a) +
           std::popcount(toward_h);
  }
  const Bitboard single = (pawns >> 8) & empty;
  const Bitboard twice = (((pawns & RANK_7) >> 8 & empty) >> 8) & empty;
  const Bitboard toward_h = ((pawns & ~FILE_H) >> 7) & enemy;
  const Bitboard toward_a = ((pawns & ~FILE_A) >> 9) & enemy;
  return std::popcount(single) + std::popcount(twice) + std::popcount(toward_a) +
         std::popcount(toward_h);
}

}  // namespace

int generate_moves(Board b, Side side, MoveList& list) {
  const Bitboard own = b.occupied[side];
  const Bitboard enemy = b.occupied[other_side(side)];
  int n = 0;
  for_each_piece(b, side,
                 [&](int slot, int from) { n = piece_moves(slot, from, own, enemy, list, n); });
  Move castling[2];
  const int castling_count = castlings(b, side, castling);
  for (int k = 0; k < castling_count && n < MOVE_LIMIT; ++k) list[n++] = castling[k];
  list[n++] = END_MOVE;
  node_count += static_cast<std::uint64_t>(n);
  return n;
}

MORVA_BIT_COUNTING int count_moves(const Board& b, Side side) {
  const Bitboard own = b.occupied[side];
  const Bitboard enemy = b.occupied[other_side(side)];
  int n = pawn_move_count(b, side);
  for (PieceType p = KING; p > PAWN; --p) {
    for (Bitboard set = b.pieces[side][p]; set != 0; set &= set - 1) {
      const RayMasks& rays = ray_masks(p, lowest_square(set));
      for (int r = 0; r < rays.count; ++r) n += ray_moves(rays.ray[r], own, enemy);
    }
  }
  Move castling[2];
  n += castlings(b, side, castling);
  return n < MOVE_LIMIT ? n : MOVE_LIMIT;
}

MORVA_BIT_COUNTING int count_captures(Board b) {
  return side_captures(b, BLACK) + side_captures(b, WHITE);
}

MORVA_BIT_COUNTING bool captures_at_least(const Board& b, int count) {
  // No piece takes more than the sixteen enemy pieces there can be.
  constexpr int MOST_PAIRS = 2 * 16 * 16;
  if (count > MOST_PAIRS) return false;
  const int black = side_captures(b, BLACK);
  return black >= count || black + side_captures(b, WHITE) >= count;
}

}  // namespace rules
