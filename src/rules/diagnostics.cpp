#include "rules/diagnostics.h"

#include <cstdio>
#include <iostream>

#include "rules/movegen.h"

namespace rules {

void print_bitboard(Bitboard b) {
  for (int i = 1; i <= 8; ++i) {
    Bitboard line = b >> (64 - 8 * i);
    for (int file = 0; file < 8; ++file) {
      std::printf("%s", (line & 1) ? "1" : "0");
      line >>= 1;
    }
    std::printf("\n");
  }
}

void print_table_row(const MoveTableEntry (&row)[SQUARE_COUNT]) {
  for (int rank = 7; rank >= 0; --rank) {
    for (int file = 0; file < 8; ++file) {
      const MoveTableEntry& e = row[rank * 8 + file];
      if (e.next == NO_SQUARE && e.skip == NO_SQUARE) {
        std::cout << "|      \t";
      } else {
        std::cout << '|' << e.next << ' ' << e.skip << static_cast<char>(e.kind) << '\t';
      }
    }
    std::cout << '\n';
  }
}

void reset_node_count() { node_count = 0; }

std::uint64_t read_node_count() { return node_count; }

}  // namespace rules
