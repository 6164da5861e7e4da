#include "engine/chess_eval.h"

#include <algorithm>

#include "rules/attacks.h"

namespace engine {
namespace {

using rules::Bitboard;
using rules::Side;

// A middle-game and an endgame weight of one term.
struct Weight {
  std::int32_t mg, eg;
};

constexpr Weight operator+(Weight a, Weight b) { return {a.mg + b.mg, a.eg + b.eg}; }
constexpr Weight operator*(std::int32_t k, Weight w) { return {k * w.mg, k * w.eg}; }

constexpr Weight MATERIAL[rules::KING] = {{CHESS_VALUE[rules::PAWN], 115},
                                          {CHESS_VALUE[rules::KNIGHT], 300},
                                          {CHESS_VALUE[rules::BISHOP], 320},
                                          {CHESS_VALUE[rules::ROOK], 530},
                                          {CHESS_VALUE[rules::QUEEN], 960}};

// The material left that counts as a whole middle game: the minor pieces
// count 1, a rook 2, a queen 4 (the start holds 24).
constexpr int PHASE_WEIGHT[rules::KING] = {0, 1, 1, 2, 4};
constexpr int FULL_PHASE = 24;

// Placement, from formulas over the square seen from the piece's own side
// (rank 0 its home rank). centrality: 6 on the four centre squares, falling
// by one a step outwards in either direction, 0 in the corners.
constexpr int centrality(int file, int rank) {
  const int df = file < 4 ? 3 - file : file - 4;
  const int dr = rank < 4 ? 3 - rank : rank - 4;
  return 6 - df - dr;
}

constexpr Weight placement(rules::PieceType type, int file, int rank) {
  const int c = centrality(file, rank);
  switch (type) {
    case rules::PAWN: {
      // Forward, and the centre pawns forward most of all in the middle game.
      constexpr int MG_STEP[8] = {0, 0, 2, 6, 12, 20, 35, 0};
      constexpr int EG_STEP[8] = {0, 0, 5, 12, 22, 38, 60, 0};
      const bool centre = file == 3 || file == 4;
      return {MG_STEP[rank] + (centre && rank >= 3 ? 12 : 0) - (centre && rank == 1 ? 8 : 0),
              EG_STEP[rank]};
    }
    case rules::KNIGHT:
      return {5 * c - 16, 4 * c - 12};
    case rules::BISHOP:
      return {3 * c - 8 - (rank == 0 ? 6 : 0), 3 * c - 9};
    case rules::ROOK:
      return {(rank == 6 ? 18 : 0) + (file == 3 || file == 4 ? 6 : 0), rank == 6 ? 14 : 0};
    case rules::QUEEN:
      return {c - 4, 3 * c - 9};
    default: {  // the king: sheltered at home in the middle game, central late
      constexpr int HOME_FILE[8] = {12, 18, 8, -6, -6, 4, 20, 14};
      const int mg = rank == 0 ? HOME_FILE[file] : rank == 1 ? -8 : -25 - 10 * (rank - 2);
      return {mg, 6 * c - 18};
    }
  }
}

struct PlacementTable {
  Weight w[rules::PIECE_TYPES][rules::SQUARE_COUNT];
};

constexpr PlacementTable make_placement() {
  PlacementTable t{};
  for (rules::PieceType p = rules::PAWN; p <= rules::KING; ++p) {
    for (int s = 0; s < rules::SQUARE_COUNT; ++s) t.w[p][s] = placement(p, s % 8, s / 8);
  }
  return t;
}

constexpr PlacementTable PLACEMENT = make_placement();

// A passed pawn, by its rank from its own side; mobility a square; the rest.
constexpr Weight PASSED[8] = {{0, 0},   {5, 10},  {8, 18},   {15, 32},
                              {28, 55}, {45, 90}, {70, 130}, {0, 0}};
constexpr Weight DOUBLED = {-12, -22};
constexpr Weight ISOLATED = {-12, -16};
constexpr Weight MOBILITY[rules::KING] = {{0, 0}, {4, 4}, {5, 5}, {2, 4}, {1, 2}};
constexpr int TYPICAL_REACH[rules::KING] = {0, 4, 6, 7, 13};
constexpr Weight BISHOP_PAIR = {28, 48};
constexpr Weight ROOK_OPEN_FILE = {22, 10};
constexpr Weight ROOK_HALF_OPEN_FILE = {10, 6};
constexpr int SHIELD_NEAR = 12, SHIELD_FAR = 6, SHIELD_MISSING = -14;
// How much an attacker on the squares around the king weighs, by PieceType.
constexpr int KING_ATTACK_WEIGHT[rules::KING] = {0, 2, 2, 3, 5};
constexpr int KING_ATTACK_MOST = 450;

constexpr Bitboard FILE_A = rules::FILE_A_SQUARES;

constexpr Bitboard file_set(int file) { return FILE_A << file; }

constexpr Bitboard neighbour_files(int file) {
  return (file > 0 ? file_set(file - 1) : 0) | (file < 7 ? file_set(file + 1) : 0);
}

// Returns the square as seen from side (rank 0 its home rank).
constexpr int relative(Side side, int s) { return side == rules::WHITE ? s : s ^ 56; }

// Returns the squares strictly ahead of s on its file and the two beside it,
// as seen from side: where an enemy pawn stops a passed pawn.
constexpr Bitboard front_span(Side side, int s) {
  const int file = s % 8, rank = s / 8;
  const Bitboard files = file_set(file) | neighbour_files(file);
  if (side == rules::WHITE) return rank >= 7 ? 0 : files & (~Bitboard{0} << (8 * (rank + 1)));
  return rank <= 0 ? 0 : files & ((Bitboard{1} << (8 * rank)) - 1);
}

// Returns the pawn shield's weight for side's king: own pawns one and two
// ranks ahead of it on its file and the two beside it, while it stays home.
std::int32_t shield(const rules::Board& b, Side side, int king) {
  const int rel = relative(side, king);
  if (rel / 8 > 1) return 0;
  const Bitboard pawns = b.pieces[side][rules::PAWN];
  const int file = king % 8;
  std::int32_t sum = 0;
  for (int f = std::max(0, file - 1); f <= std::min(7, file + 1); ++f) {
    const int near = relative(side, (rel / 8 + 1) * 8 + f);
    const int far = relative(side, (rel / 8 + 2) * 8 + f);
    if (rules::test_bit(pawns, static_cast<rules::Square>(near))) {
      sum += SHIELD_NEAR;
    } else if (rules::test_bit(pawns, static_cast<rules::Square>(far))) {
      sum += SHIELD_FAR;
    } else {
      sum += SHIELD_MISSING;
    }
  }
  return sum;
}

struct SideScore {
  Weight w{0, 0};
  int phase = 0;
};

// Returns what side's pieces count, with the danger they make for the
// other side's king.
SideScore side_score(const rules::Board& b, Side side) {
  const Side enemy = rules::other_side(side);
  const Bitboard own = b.occupied[side];
  const Bitboard occupancy = own | b.occupied[enemy];
  const Bitboard own_pawns = b.pieces[side][rules::PAWN];
  const Bitboard enemy_pawns = b.pieces[enemy][rules::PAWN];
  const Bitboard enemy_pawn_reach = rules::pawn_attacks(enemy, enemy_pawns);
  const rules::Square enemy_king = rules::king_square(b, enemy);
  const Bitboard king_zone = enemy_king == rules::NO_SQUARE
                                 ? 0
                                 : rules::king_attacks(enemy_king) | (Bitboard{1} << enemy_king);
  SideScore out;
  int attack_units = 0, attackers = 0;
  for (rules::PieceType p = rules::PAWN; p <= rules::KING; ++p) {
    for (Bitboard set = b.pieces[side][p]; set != 0; set &= set - 1) {
      const int s = rules::lowest_square(set);
      const int rel = relative(side, s);
      out.w = out.w + PLACEMENT.w[p][rel];
      if (p == rules::KING) continue;
      out.w = out.w + MATERIAL[p];
      out.phase += PHASE_WEIGHT[p];
      if (p == rules::PAWN) {
        const Bitboard file = file_set(s % 8);
        if ((front_span(side, s) & enemy_pawns) == 0 &&
            (own_pawns & file & front_span(side, s)) == 0)
          out.w = out.w + PASSED[rel / 8];
        if ((own_pawns & neighbour_files(s % 8)) == 0) out.w = out.w + ISOLATED;
        continue;
      }
      const Bitboard reach =
          p == rules::KNIGHT ? rules::knight_attacks(s) : rules::slider_attacks(p, s, occupancy);
      const int squares = rules::square_count(reach & ~own & ~enemy_pawn_reach);
      out.w = out.w + (squares - TYPICAL_REACH[p]) * MOBILITY[p];
      if (const int near = rules::square_count(reach & king_zone)) {
        attack_units += KING_ATTACK_WEIGHT[p] * near;
        ++attackers;
      }
      if (p == rules::ROOK) {
        const Bitboard file = file_set(s % 8);
        if ((file & own_pawns) == 0) {
          out.w = out.w + ((file & enemy_pawns) == 0 ? ROOK_OPEN_FILE : ROOK_HALF_OPEN_FILE);
        }
      }
    }
  }
  for (int f = 0; f < 8; ++f) {
    const int on_file = rules::square_count(own_pawns & file_set(f));
    if (on_file > 1) out.w = out.w + (on_file - 1) * DOUBLED;
  }
  if (rules::square_count(b.pieces[side][rules::BISHOP]) >= 2) out.w = out.w + BISHOP_PAIR;
  // Danger for the other king grows with the square of the attack, once two
  // pieces take part; in the middle game only.
  if (attackers >= 2) out.w.mg += std::min(attack_units * attack_units / 4, KING_ATTACK_MOST);
  const rules::Square king = rules::king_square(b, side);
  if (king != rules::NO_SQUARE) out.w.mg += shield(b, side, king);
  return out;
}

// Returns whether neither side has pawns, nor more than one minor piece:
// no side can mate.
bool bare_minors(const rules::Board& b) {
  for (Side s : {rules::WHITE, rules::BLACK}) {
    const Bitboard* p = b.pieces[s];
    if (p[rules::PAWN] | p[rules::ROOK] | p[rules::QUEEN]) return false;
    if (rules::square_count(p[rules::KNIGHT] | p[rules::BISHOP]) > 1) return false;
  }
  return true;
}

}  // namespace

MORVA_BIT_COUNTING std::int32_t evaluate_chess(const rules::Board& b) {
  if (bare_minors(b)) return 0;
  const SideScore white = side_score(b, rules::WHITE);
  const SideScore black = side_score(b, rules::BLACK);
  const int phase = std::min(white.phase + black.phase, FULL_PHASE);
  const std::int32_t mg = white.w.mg - black.w.mg;
  const std::int32_t eg = white.w.eg - black.w.eg;
  return (mg * phase + eg * (FULL_PHASE - phase)) / FULL_PHASE;
}

}  // namespace engine
