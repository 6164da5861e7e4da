// The club search (search=club) and variety: the evaluation's symmetry, a
// choice that depends on nothing that came before it nor on the threads,
// castling only where standard chess allows it, and games that replay from
// their seed.
#include "engine/club_search.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/chess_eval.h"
#include "engine_test_support.h"
#include "rules/make_move.h"
#include "rules/notation.h"
#include "rules/standard_chess.h"

namespace {

using namespace engine_test;
using rules::move_text;

// Returns the settings of a club step with a small budget.
engine::StrengthSettings club(std::uint64_t nodes, int variety = 0, int threads = 1) {
  engine::StrengthSettings s = strength(20, 4, 8, 10, threads);
  s.sound_kings = s.club = s.legal_castling = true;
  s.nodes = nodes;
  s.variety = variety;
  return s;
}

bool both_kings(const rules::Board& b) {
  return b.pieces[rules::WHITE][rules::KING] != 0 && b.pieces[rules::BLACK][rules::KING] != 0;
}

// Returns b with the colours swapped and the board turned round rank by rank.
rules::Board mirrored(const rules::Board& b) {
  rules::Cells cells{}, twin{};
  rules::cells_from_board(b, cells);
  for (int s = 0; s < rules::SQUARE_COUNT; ++s) twin[s ^ 56] = -cells[s];
  return rules::board_from_cells(twin);
}

TEST(ChessEvaluation, AColourMirroredTwinScoresTheOpposite) {
  int compared = 0;
  for (const rules::Position& p : random_positions(400, 5, 0, 90)) {
    if (!both_kings(p.board)) continue;
    EXPECT_EQ(engine::evaluate_chess(mirrored(p.board)), -engine::evaluate_chess(p.board))
        << rules::fen_of(p.board, p.side);
    ++compared;
  }
  EXPECT_GT(compared, 300);
  EXPECT_EQ(engine::evaluate_chess(board("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w")), 0);
  EXPECT_GT(engine::evaluate_chess(board("rnbqkb1r/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w")), 250);
}

// The same move and list from a fresh engine with one thread and from one
// engine that chose in every position before, and in this one with another
// budget, with two: the table, killers and history of earlier choices change
// nothing.
TEST(ClubSearch, ChoosesTheSameWhateverCameBeforeAndWithAnyThreads) {
  engine::Engine used;
  int compared = 0;
  for (const rules::Position& p : random_positions(130, 17, 2, 70)) {
    if (!both_kings(p.board)) continue;
    engine::Engine fresh;
    const engine::MoveChoice one = choose(fresh, p, club(3000, 20, 1)).choice;
    choose(used, p, club(9000));  // what this finds for the same position must not count
    const engine::MoveChoice two = choose(used, p, club(3000, 20, 2)).choice;
    ASSERT_EQ(record_of(two) + move_text(two.move), record_of(one) + move_text(one.move))
        << rules::fen_of(p.board, p.side);
    ++compared;
  }
  EXPECT_GE(compared, 100);
}

// Without a budget and 64 plies deep the search would not end: the host's
// stop ends it, and nothing is chosen.
TEST(ClubSearch, HostStopsIt) {
  engine::StrengthSettings s = club(0);
  s.level = 64;
  engine::Engine engine;
  const Outcome stopped =
      choose(engine, position("r1bqk2r/p1pp1ppp/2p2n2/8/1b2P3/2N5/PPP2PPP/R1BQKB1R w"), s, 3);
  EXPECT_TRUE(stopped.choice.stopped);
  EXPECT_EQ(stopped.looks, 3);
  EXPECT_EQ(record_of(stopped.choice), "");
}

// Castling where the placement offers it under Morva's rules, against what
// standard chess allows: the lists of both searches with legalcastling=on
// hold exactly the castlings allowed.
TEST(LegalCastling, OnlyWhereStandardChessAllowsIt) {
  struct Case {
    const char* what;
    const char* fen;
    std::uint8_t rights;
    std::vector<const char*> allowed;
  };
  const Case cases[] = {
      {"both sides free, both rights", "4k3/8/8/8/8/8/8/R3K2R w", 0b11, {"f13f13", "e13e13"}},
      {"out of check", "4r1k1/8/8/8/8/8/8/R3K2R w", 0b11, {}},
      {"through check: f1 attacked", "5rk1/8/8/8/8/8/8/R3K2R w", 0b11, {"e13e13"}},
      {"into check: c1 attacked", "2r3k1/8/8/8/8/8/8/R3K2R w", 0b11, {"f13f13"}},
      {"the king moved and came back", "4k3/8/8/8/8/8/8/R3K2R w", 0, {}},
      {"no rook in the corner", "4k3/8/8/8/8/8/8/4K2R w", 0b11, {"f13f13"}},
      {"black's queen side only", "r3k2r/8/8/8/8/8/8/4K3 b", 0b1000, {"g13g13"}},
  };
  engine::StrengthSettings designed = strength(2, 1, 2, 100);
  designed.legal_castling = true;
  for (const Case& c : cases) {
    for (engine::StrengthSettings s : {designed, club(2000)}) {
      s.game.castling_rights = c.rights;
      const engine::MoveChoice choice = choose(position(c.fen), s).choice;
      std::vector<std::string> castlings;
      for (rules::Move m : entries(choice)) {
        if (rules::move_from(m) >= rules::CASTLE_WHITE_QUEEN && m != rules::END_MOVE) {
          castlings.push_back(move_text(m));
        }
      }
      EXPECT_EQ(castlings, std::vector<std::string>(c.allowed.begin(), c.allowed.end()))
          << c.what << (s.club ? ", club search" : ", the game's search");
    }
  }
}

// Plays plies moves from b with the settings' seed and castling rights, one
// engine for the game; returns them.
std::vector<rules::Move> game(engine::StrengthSettings s, rules::Board b, rules::Side side,
                              int plies) {
  engine::Engine engine;
  std::vector<rules::Move> moves;
  for (int i = 0; i < plies && both_kings(b); ++i) {
    const rules::Move m = choose(engine, {b, side}, s).choice.move;
    moves.push_back(m);
    b = rules::make_move(b, m);
    s.game.castling_rights = rules::castling_rights_after(s.game.castling_rights, m);
    side = rules::other_side(side);
  }
  return moves;
}

// With variety, another seed plays another game, the same seed the same one,
// and a game continued from its middle by a new engine goes on as it went;
// without it, every seed plays the one game.
TEST(Variety, GamesReplayFromTheirSeed) {
  engine::StrengthSettings designed = strength(3, 2, 4, 100);
  designed.sound_kings = true;
  designed.variety = 20;
  const rules::ChessPosition start = rules::chess_start();
  constexpr int PLIES = 14, HALF = 7;
  for (engine::StrengthSettings s : {designed, club(4000, 20)}) {
    s.game = {1, start.castling_rights};
    const std::vector<rules::Move> first = game(s, start.board, start.side, PLIES);
    EXPECT_EQ(game(s, start.board, start.side, PLIES), first) << "the same seed replays";
    // The continued game: the position and rights after the first half.
    rules::ChessPosition middle = start;
    for (int i = 0; i < HALF; ++i) middle = rules::play_chess(middle, first[i]);
    engine::StrengthSettings later = s;
    later.game.castling_rights = middle.castling_rights;
    const std::vector<rules::Move> rest = game(later, middle.board, middle.side, PLIES - HALF);
    EXPECT_EQ(rest, std::vector<rules::Move>(first.begin() + HALF, first.end()));
    s.game.seed = 2;
    EXPECT_NE(game(s, start.board, start.side, PLIES), first) << "another seed";
    s.variety = 0;
    const std::vector<rules::Move> plain = game(s, start.board, start.side, PLIES);
    s.game.seed = 3;
    EXPECT_EQ(game(s, start.board, start.side, PLIES), plain) << "no variety, no draw";
  }
}

}  // namespace
