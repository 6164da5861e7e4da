// Depth-limited minimax over pseudo-legal moves with single-bound cut-offs:
// the plain search, the reference every faster search must agree with.
#pragma once

#include <cstdint>

#include "engine/evaluate.h"
#include "rules/board.h"

namespace engine {

// The deepest ply a line reaches, whatever the settings: it bounds the stack
// the searches use and the killer moves a searching thread keeps.
inline constexpr int MAX_DEPTH = 64;

// A capture threshold no count_captures result reaches: a pass searched with
// it never extends a busy position (the ordering pass).
inline constexpr int NO_EXTENSION = 100000;

// How deep the searches of one pass go: the nominal depth (limit), the hard
// cap (maxlevel: a position this deep is always a leaf) and the capture
// threshold (complexity: at or past the limit a position is a leaf unless its
// count_captures value reaches this); and how a captured king counts.
struct PassSettings {
  int limit = 0;
  int maxlevel = 0;
  int complexity = 0;
  // Off: the game's own search, in which a line goes on after a king is
  // captured and a win scores WIN_SCORE whatever its distance. On: a line ends
  // where a king is captured, a win for the side that captured, worth less the
  // later it comes, so that the winner takes the quickest win and the loser
  // resists longest.
  bool sound_kings = false;
  // Additions beyond the game's own search; a conf.ini without their keys
  // leaves them at these defaults, and the game's own search is unchanged.
  // club (search=club): the club search (club_search.h) makes the choice,
  // limit being its deepest iteration and node_budget (nodes=N) the most
  // positions it searches; the other fields above are not used.
  bool club = false;
  std::uint64_t node_budget = 0;
  // variety=N: the move is drawn, by seed and position, among those whose
  // value lies within N of the best (0: the best, as ever).
  int variety = 0;
  std::uint64_t seed = 0;
  // legalcastling=on: the computer castles only where standard chess allows
  // it, by castling_rights (bit k: CASTLINGS[k]) of the position it moves in.
  bool legal_castling = false;
  std::uint8_t castling_rights = 0;

  friend bool operator==(const PassSettings&, const PassSettings&) = default;
};

// Under sound kings, the value of a position at ply depth whose king has been
// captured: WIN_SCORE - depth for white when black's king is gone, the
// negation when white's is; 0 while both kings stand.
std::int32_t captured_king_value(const rules::Board& b, int depth);

// Returns the best value the side to move can reach at a position of ply
// depth, from its own point of view: a king captured by its move.
constexpr std::int32_t best_possible(const PassSettings& pass, int depth) {
  return pass.sound_kings ? WIN_SCORE - (depth + 1) : WIN_SCORE;
}

// Returns whether a position at ply depth ends its line: at or past the limit
// unless it is busy with captures, and always at the depth cap.
bool is_leaf(const rules::Board& b, int depth, const PassSettings& pass);

// Returns the value of a position with side to move, at ply depth below the
// root, under the pass's settings, against the caller's running best.
std::int32_t search(rules::Board b, rules::Side side, int depth, const PassSettings& pass,
                    float bound);

}  // namespace engine
