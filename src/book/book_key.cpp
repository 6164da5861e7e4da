#include "book/book_key.h"

namespace book {

namespace {

// How each of the fourteen sets is shifted before it enters K2, by its index in
// Board order; positive shifts go left (towards h8), negative ones right.
// The pattern repeats every four sets: left 1, right 1, left 2, right 2.
constexpr int K2_SHIFTS[4] = {1, -1, 2, -2};

std::uint64_t shifted(std::uint64_t set, int index) {
  const int shift = K2_SHIFTS[index % 4];
  return shift > 0 ? set << shift : set >> -shift;
}

}  // namespace

BookKey book_key(rules::Board b) {
  BookKey key{0, 0};
  int index = 0;
  for (const auto& side_sets : b.pieces) {
    for (const rules::Bitboard set : side_sets) {
      key.K1 ^= set;
      key.K2 ^= shifted(set, index);
      ++index;
    }
  }
  for (const rules::Bitboard set : b.occupied) {
    key.K2 ^= shifted(set, index);
    ++index;
  }
  return key;
}

}  // namespace book
