#include "rules/standard_chess.h"

#include "rules/attacks.h"
#include "rules/castling.h"
#include "rules/make_move.h"
#include "rules/movegen.h"

namespace rules {

namespace {

constexpr std::uint8_t ALL_CASTLINGS = 0b1111;
constexpr int RANK_STEP = 8;  // square numbers from one rank to the next

// Returns whether m is in Morva's generated list for the side to move.
bool generated(const ChessPosition& p, Move m) {
  MoveList list;
  const int count = generate_moves(p.board, p.side, list);
  for (int i = 0; i + 1 < count; ++i) {
    if (list[i] == m) return true;
  }
  return false;
}

// Returns the castling rights left after a move from or to square s: a right
// goes when its king or its rook leaves home, or the rook is taken there.
std::uint8_t rights_after(std::uint8_t rights, int s) {
  for (int k = 0; k < 4; ++k) {
    if (CASTLINGS[k].king_from == s || CASTLINGS[k].rook_from == s) rights &= ~(1U << k);
  }
  return rights;
}

// Returns the index of a castling in CASTLINGS.
int castling_index(const Castling& c) { return static_cast<int>(&c - CASTLINGS); }

// Returns why standard chess refuses a move of the side to move that Morva
// generates (or a capture en passant).
ChessFault fault_of_candidate(const ChessPosition& p, Move m) {
  if (const Castling* c = castling_of(move_from(m))) {
    if ((p.castling_rights & (1U << castling_index(*c))) == 0) {
      return ChessFault::CASTLING_WITHOUT_RIGHT;
    }
    if (in_check(p)) return ChessFault::CASTLING_OUT_OF_CHECK;
    // The king crosses the square its rook lands on.
    if (attacked(p.board, c->rook_to, other_side(p.side))) {
      return ChessFault::CASTLING_THROUGH_CHECK;
    }
  } else if (test_bit(p.board.pieces[other_side(p.side)][KING], static_cast<Square>(move_to(m)))) {
    return ChessFault::TAKES_KING;
  }
  const ChessPosition next = play_chess(p, m);
  const Square king = king_square(next.board, p.side);
  if (king != NO_SQUARE && attacked(next.board, king, next.side)) {
    return ChessFault::LEAVES_KING_IN_CHECK;
  }
  return ChessFault::NONE;
}

}  // namespace

ChessPosition chess_start() {
  return {board_from_cells(starting_cells), WHITE, ALL_CASTLINGS, NO_SQUARE};
}

bool attacked(const Board& b, Square s, Side by) { return attacks_square(b, s, by); }

bool in_check(const ChessPosition& p) { return king_attacked(p.board, p.side); }

bool is_en_passant(const ChessPosition& p, Move m) {
  const int from = move_from(m), to = move_to(m);
  return p.en_passant != NO_SQUARE && to == p.en_passant && from < SQUARE_COUNT &&
         test_bit(p.board.pieces[p.side][PAWN], static_cast<Square>(from)) &&
         file_of(from) != file_of(to);
}

ChessPosition play_chess(const ChessPosition& p, Move m) {
  ChessPosition next = p;
  next.board = make_move(p.board, m);
  const int from = move_from(m), to = move_to(m);
  next.en_passant = NO_SQUARE;
  next.castling_rights = castling_rights_after(p.castling_rights, m);
  if (castling_of(from) == nullptr) {
    const Side enemy = other_side(p.side);
    if (is_en_passant(p, m)) {
      // The pawn taken stands beside the mover's, behind the square passed over.
      const Square taken = static_cast<Square>(p.side == WHITE ? to - RANK_STEP : to + RANK_STEP);
      next.board.pieces[enemy][PAWN] = clear_bit(next.board.pieces[enemy][PAWN], taken);
      next.board.occupied[enemy] = clear_bit(next.board.occupied[enemy], taken);
    } else if (test_bit(p.board.pieces[p.side][PAWN], static_cast<Square>(from)) &&
               (to - from == 2 * RANK_STEP || from - to == 2 * RANK_STEP)) {
      next.en_passant = static_cast<Square>((from + to) / 2);
    }
  }
  next.side = other_side(p.side);
  return next;
}

std::uint8_t castling_rights_after(std::uint8_t rights, Move m) {
  if (const Castling* c = castling_of(move_from(m))) {
    return rights_after(rights_after(rights, c->king_from), c->rook_from);
  }
  return rights_after(rights_after(rights, move_from(m)), move_to(m));
}

std::uint8_t castling_rights_of_placement(const Board& b) {
  std::uint8_t rights = 0;
  for (int k = 0; k < 4; ++k) {
    const Castling& c = CASTLINGS[k];
    if (test_bit(b.pieces[c.side][KING], c.king_from) &&
        test_bit(b.pieces[c.side][ROOK], c.rook_from)) {
      rights |= static_cast<std::uint8_t>(1U << k);
    }
  }
  return rights;
}

bool castling_allowed(const Board& b, std::uint8_t rights, const Castling& c) {
  const Side enemy = other_side(c.side);
  const Bitboard occupancy = b.occupied[WHITE] | b.occupied[BLACK];
  return (rights & (1U << castling_index(c))) != 0 &&
         test_bit(b.pieces[c.side][KING], c.king_from) &&
         test_bit(b.pieces[c.side][ROOK], c.rook_from) && (occupancy & c.between) == 0 &&
         !attacks_square(b, c.king_from, enemy) && !attacks_square(b, c.rook_to, enemy) &&
         !attacks_square(b, c.king_to, enemy);
}

ChessFault chess_fault(const ChessPosition& p, Move m) {
  if (!generated(p, m)) return ChessFault::NOT_GENERATED;
  return fault_of_candidate(p, m);
}

int legal_moves(const ChessPosition& p, MoveList& list) {
  MoveList candidates;
  int count = generate_moves(p.board, p.side, candidates) - 1;  // the end entry left out
  // Morva has no capture en passant: the pawns beside the square passed over add theirs.
  if (p.en_passant != NO_SQUARE) {
    const int behind = p.side == WHITE ? -RANK_STEP : RANK_STEP;
    for (const int beside : {-1, 1}) {
      const int from = p.en_passant + behind + beside;
      if (file_of(from) - file_of(p.en_passant) != beside) continue;  // off the board's edge
      if (test_bit(p.board.pieces[p.side][PAWN], static_cast<Square>(from)) &&
          count < MOVE_LIST_CAPACITY) {
        candidates[count++] = move_of(from, p.en_passant);
      }
    }
  }
  int n = 0;
  for (int i = 0; i < count; ++i) {
    if (fault_of_candidate(p, candidates[i]) == ChessFault::NONE) list[n++] = candidates[i];
  }
  return n;
}

}  // namespace rules
