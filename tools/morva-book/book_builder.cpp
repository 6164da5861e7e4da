#include "book_builder.h"

#include <string>

#include "rules/board.h"
#include "rules/make_move.h"
#include "rules/move.h"
#include "rules/movegen.h"

namespace book_maker {

namespace {

// A king move written as two squares that stands for a castling Move.
struct CastlingText {
  const char* text;
  int code;
};
constexpr CastlingText CASTLING_TEXTS[] = {
    {"e1g1", rules::CASTLE_WHITE_KING},
    {"e1c1", rules::CASTLE_WHITE_QUEEN},
    {"e8g8", rules::CASTLE_BLACK_KING},
    {"e8c8", rules::CASTLE_BLACK_QUEEN},
};

int square_of(const std::string& word, int at) {
  return (word[at + 1] - '1') * 8 + (word[at] - 'a');
}

bool generated(const rules::MoveList& list, int n, rules::Move m) {
  for (int i = 0; i < n - 1; ++i) {
    if (list[i] == m) return true;
  }
  return false;
}

bool is_promotion(const rules::Board& b, rules::Side side, int from, int to) {
  const int far_rank = side == rules::WHITE ? 8 : 1;
  return rules::test_bit(b.pieces[side][rules::PAWN], static_cast<rules::Square>(from)) &&
         rules::rank_of(to) == far_rank;
}

// Finds the generated Move that a word stands for; returns why there is none.
LineEnd find_move(const rules::Board& b, rules::Side side, const std::string& word,
                  rules::Move& found) {
  rules::MoveList list;
  const int n = rules::generate_moves(b, side, list);
  for (const CastlingText& c : CASTLING_TEXTS) {
    if (word == c.text && generated(list, n, rules::castling_move(c.code))) {
      found = rules::castling_move(c.code);
      return LineEnd::NONE;
    }
  }
  if (word == "0000") return LineEnd::NOT_GENERATED;
  const int from = square_of(word, 0);
  const int to = square_of(word, 2);
  const bool promotes = is_promotion(b, side, from, to);
  if (word.size() == 5) {
    if (!promotes) return LineEnd::NOT_GENERATED;  // a promotion letter on another move
    if (word[4] != 'q' && word[4] != 'Q') return LineEnd::UNDER_PROMOTION;
  }
  found = rules::move_of(from, to);
  return generated(list, n, found) ? LineEnd::NONE : LineEnd::NOT_GENERATED;
}

void add_record(BookBuilder& builder, const rules::Board& b, rules::Move m, int mark) {
  const book::BookKey key = book::book_key(b);
  auto [it, is_new] = builder.block_of.try_emplace(key, builder.blocks.size());
  if (is_new) builder.blocks.push_back({key, {}});
  builder.blocks[it->second].records.push_back({static_cast<std::uint8_t>(rules::move_from(m)),
                                                static_cast<std::uint8_t>(rules::move_to(m)),
                                                static_cast<std::int8_t>(mark)});
  ++builder.stats.records;
}

}  // namespace

LineEnd add_game(BookBuilder& builder, const UciGame& game) {
  ++builder.stats.games_read;
  if (game.result == Result::UNKNOWN) {
    ++builder.stats.without_result;
    return LineEnd::NONE;
  }
  const int mark = mark_of(game.result);
  rules::Board b = rules::board_from_cells(rules::starting_cells);
  rules::Side side = rules::WHITE;
  LineEnd end = LineEnd::NONE;
  std::size_t ply = 0;
  for (; ply < game.moves.size() && ply < static_cast<std::size_t>(builder.plies); ++ply) {
    rules::Move m = rules::END_MOVE;
    end = find_move(b, side, game.moves[ply], m);
    if (end != LineEnd::NONE) break;
    add_record(builder, b, m, mark);
    b = rules::make_move(b, m);
    side = rules::other_side(side);
  }
  if (ply > 0) ++builder.stats.games_used;
  if (end == LineEnd::NOT_GENERATED) ++builder.stats.ended_not_generated;
  if (end == LineEnd::UNDER_PROMOTION) ++builder.stats.ended_under_promotion;
  return end;
}

}  // namespace book_maker
