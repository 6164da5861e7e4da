// The position model shared by every subsystem: squares, bitboards, sides, piece
// types, the Board record, cell codes and the small bit and square helpers.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <initializer_list>

namespace rules {

// A square number 0..63: a1 = 0, b1 = 1, ..., h1 = 7, a2 = 8, ..., h8 = 63.
using Square = std::int8_t;

// The absence of a square (the character 'c'); also the bytes of the end entry.
inline constexpr Square NO_SQUARE = 99;

inline constexpr int SQUARE_COUNT = 64;

// A set of squares: bit n stands for square n.
using Bitboard = std::uint64_t;

// 0 white, 1 black. The side to move is never part of a Board.
using Side = std::uint8_t;
inline constexpr Side WHITE = 0;
inline constexpr Side BLACK = 1;

// Returns the other side.
constexpr Side other_side(Side s) { return static_cast<Side>(1 - s); }

// Piece kinds, in the order that indexes the piece Bitboards and the piece sheet.
using PieceType = int;
inline constexpr PieceType PAWN = 0;
inline constexpr PieceType KNIGHT = 1;
inline constexpr PieceType BISHOP = 2;
inline constexpr PieceType ROOK = 3;
inline constexpr PieceType QUEEN = 4;
inline constexpr PieceType KING = 5;
inline constexpr int PIECE_TYPES = 6;

// Fourteen Bitboards and nothing else: the twelve piece sets by side and type,
// then the two occupancy sets. The order is part of the opening-book key.
struct Board {
  Bitboard pieces[2][PIECE_TYPES];
  Bitboard occupied[2];

  friend bool operator==(const Board&, const Board&) = default;
};

// Returns whether side's king has been captured. A game ends when one is
// gone; the evaluation and the search score such a Board as won or lost.
constexpr bool king_gone(const Board& b, Side side) { return b.pieces[side][KING] == 0; }

// One signed code per square: 0 empty, +(type + 1) white, -(type + 1) black.
using Cells = std::array<int, SQUARE_COUNT>;

// The standard starting arrangement, indexed by square number.
extern const Cells starting_cells;

// Returns whether bit s of b is set.
constexpr bool test_bit(Bitboard b, Square s) { return (b >> s) & 1U; }

// Returns b with bit s set.
constexpr Bitboard set_bit(Bitboard b, Square s) { return b | (Bitboard{1} << s); }

// Returns b with bit s cleared.
constexpr Bitboard clear_bit(Bitboard b, Square s) { return b & ~(Bitboard{1} << s); }

// Returns whether v is odd (the lowest bit of a square scan).
constexpr bool is_odd(std::int32_t v) { return (v & 1) != 0; }

// Returns the file 1..8 (a = 1) of a square; the same arithmetic for any byte value.
constexpr int file_of(int s) { return s % 8 + 1; }

// Returns the rank 1..8 of a square; 13 for NO_SQUARE and the castling codes.
constexpr int rank_of(int s) { return s / 8 + 1; }

// Returns the lowest square of a non-empty set.
constexpr Square lowest_square(Bitboard b) { return static_cast<Square>(std::countr_zero(b)); }

// Returns the set of the listed squares.
constexpr Bitboard square_set(std::initializer_list<int> squares) {
  Bitboard b = 0;
  for (int s : squares) b |= Bitboard{1} << s;
  return b;
}

// Marks a function that counts bits in its hot loop: on x86-64 it is compiled
// twice, with and without the population-count instruction, and the program
// picks the one the processor runs when it starts. Elsewhere the compiler's
// own choice stands.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(MORVA_NO_CLONES)
#define MORVA_BIT_COUNTING [[gnu::target_clones("popcnt", "default")]]
#else
#define MORVA_BIT_COUNTING
#endif

// Returns the number of squares in a set.
constexpr int square_count(Bitboard b) { return std::popcount(b); }

// Builds a Board from 64 cell codes (-6..6).
Board board_from_cells(const Cells& cells);

// Writes the 64 cell codes of a Board; the occupancy sets decide the colour.
void cells_from_board(Board b, Cells& cells);

}  // namespace rules
