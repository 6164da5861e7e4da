#include "engine/evaluate.h"

namespace engine {
namespace {

// Material value of each non-king piece type, indexed by PieceType.
constexpr std::int32_t PIECE_VALUE[rules::KING] = {100, 500, 400, 600, 1200};

constexpr std::int32_t RING_BONUS = 10;
constexpr std::int32_t CENTRE_BONUS = 20;

// Returns white's material minus black's, kings excluded.
std::int32_t material(const rules::Board& b) {
  std::int32_t sum = 0;
  for (rules::PieceType t = rules::PAWN; t < rules::KING; ++t) {
    const int balance = rules::square_count(b.pieces[rules::WHITE][t]) -
                        rules::square_count(b.pieces[rules::BLACK][t]);
    sum += PIECE_VALUE[t] * balance;
  }
  return sum;
}

// Returns the bonus for pieces of either colour (kings and pawns too) on a set of squares.
std::int32_t occupation(const rules::Board& b, rules::Bitboard squares, std::int32_t bonus) {
  return bonus * (rules::square_count(b.occupied[rules::WHITE] & squares) -
                  rules::square_count(b.occupied[rules::BLACK] & squares));
}

}  // namespace

MORVA_BIT_COUNTING std::int32_t evaluate(rules::Board b) {
  // A missing king decides alone; the white king is tested first, so a Board
  // without both kings counts as lost for white.
  if (rules::king_gone(b, rules::WHITE)) return -WIN_SCORE;
  if (rules::king_gone(b, rules::BLACK)) return WIN_SCORE;
  return material(b) + occupation(b, CENTRE_RING, RING_BONUS) +
         occupation(b, CENTRE_SQUARES, CENTRE_BONUS);
}

}  // namespace engine
