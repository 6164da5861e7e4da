// The precomputed move table: for every slot (piece kind) and from-square, the
// squares the piece reaches on an empty board, chained as linked ray walks.
#pragma once

#include <cstdint>

#include "rules/board.h"

namespace rules {

// What a target square allows.
inline constexpr std::uint8_t KIND_ANY = 0;           // move there or capture there
inline constexpr std::uint8_t KIND_CAPTURE_ONLY = 1;  // pawn diagonal: capture only
inline constexpr std::uint8_t KIND_MOVE_ONLY = 2;     // pawn push: free square only

// Slots: 0 white pawn, 1 knight, 2 bishop, 3 rook, 4 queen, 5 king, 6 black pawn.
inline constexpr int BLACK_PAWN_SLOT = 6;
inline constexpr int SLOT_COUNT = 7;

struct MoveTableEntry {
  std::int16_t next;  // square to visit when this one was free; NO_SQUARE if none
  std::int16_t skip;  // first square of the next ray; NO_SQUARE if none
  std::uint8_t kind;  // KIND_ANY, KIND_CAPTURE_ONLY or KIND_MOVE_ONLY
};

// Indexed [slot][from][to]; the head entry of a walk is [slot][from][from].
struct MoveTable {
  MoveTableEntry entry[SLOT_COUNT][SQUARE_COUNT][SQUARE_COUNT];
};

// Written once by build_move_tables, read-only afterwards.
extern MoveTable move_table;

// Fills the whole table; calling it again rebuilds the same contents.
void build_move_tables();

// Returns the entry [slot][from][to].
inline const MoveTableEntry& table_entry(int slot, int from, int to) {
  return move_table.entry[slot][from][to];
}

// Returns the table slot of a piece of a side: its type, or 6 for a black pawn.
constexpr int slot_of(Side side, PieceType type) {
  return (side == BLACK && type == PAWN) ? BLACK_PAWN_SLOT : type;
}

}  // namespace rules
