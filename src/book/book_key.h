// The 128-bit position key of the opening book, computed from the bitboards alone.
#pragma once

#include <cstdint>

#include "rules/board.h"

namespace book {

struct BookKey {
  std::uint64_t K1;  // XOR of the twelve piece sets
  std::uint64_t K2;  // XOR of all fourteen sets, each shifted by its index
  friend bool operator==(const BookKey&, const BookKey&) = default;
};

// Returns the key of a Board; the side to move plays no part.
BookKey book_key(rules::Board b);

}  // namespace book
