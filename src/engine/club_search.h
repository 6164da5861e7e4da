// The club search: the computer as a club player, for search=club. An
// iterative-deepening alpha-beta search (principal variation search, null
// moves, late moves searched less deep, check extensions) over the moves of
// Morva's rules, with a quiescence search of captures and promotions at its
// leaves and the chess evaluation (chess_eval.h), deepening one ply at a
// time up to `limit` plies within a budget of positions searched.
//
// A move that leaves the mover's king to be taken is never searched (a king
// taken ends the game at once), a side with no other move is mated when in
// check and stalemated (a draw) when not, and the pass is never searched.
// Castling follows standard chess with legal_castling, Morva's rule without.
//
// The choice depends only on the board, the side and the pass's settings:
// one thread searches, killers and history start empty at every choice, and
// the table's entries of other choices count as empty (club_table.h); the
// budget counts positions, not time. Nothing is allocated while it runs.
#pragma once

#include <cstdint>

#include "engine/club_table.h"
#include "engine/search.h"
#include "engine/search_host.h"
#include "rules/board.h"
#include "rules/move.h"

namespace engine {
struct MoveChoice;
}

namespace engine::club {

// The deepest ply a line of the club search reaches.
inline constexpr int MAX_PLY = MAX_DEPTH;

// What the club search keeps between its choices: the table's memory, and
// the move it expects the opponent to answer its last choice with.
struct Searcher {
  Table table;
  rules::Move killers[MAX_PLY + 1][2] = {};
  int history[2][rules::SQUARE_COUNT][rules::SQUARE_COUNT] = {};
  std::uint64_t path[MAX_PLY + 2] = {};  // the keys of the positions of the line searched
  rules::Board expected_board{};
  rules::Side expected_side = rules::WHITE;
  rules::Move expected = rules::END_MOVE;
};

// Chooses side's move in b under pass (club, limit, node_budget, variety,
// seed, legal_castling, castling_rights), with a table of table_mib MiB, and
// fills choice: the move, and, unless a king was taken at once or no move
// keeps the king, the root moves best first with their values from white's
// point of view in centipawns (the first exact, the others bounds that say
// they are no better). The stop is asked every STOP_CHECK_MS.
void choose(Searcher& s, const rules::Board& b, rules::Side side, const PassSettings& pass,
            int table_mib, StopLook& stop, MoveChoice& choice);

// Orders side's moves in b by a search of pass.limit plies (1 to 3) each,
// best first, the end entry last: rank_moves in club mode.
void rank(Searcher& s, const rules::Board& b, rules::Side side, const PassSettings& pass,
          int table_mib, StopLook& stop, MoveChoice& choice);

// Returns the reply the last choice expected in b with side to move (the
// position its move led to), or END_MOVE.
rules::Move expected_move(const Searcher& s, const rules::Board& b, rules::Side side);

}  // namespace engine::club
