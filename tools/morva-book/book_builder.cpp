#include "book_builder.h"

#include <string>

#include "rules/board.h"
#include "rules/make_move.h"
#include "rules/move.h"
#include "rules/notation.h"

namespace book_maker {

namespace {

// Finds the generated Move that a word stands for; returns why there is none.
LineEnd find_move(const rules::Board& b, rules::Side side, const std::string& word,
                  rules::Move& found) {
  const rules::FoundMove m = rules::find_move(b, side, word);
  found = m.move;
  switch (m.fault) {
    case rules::MoveTextFault::NONE:
      return LineEnd::NONE;
    case rules::MoveTextFault::UNDER_PROMOTION:
      return LineEnd::UNDER_PROMOTION;
    default:
      return LineEnd::NOT_GENERATED;  // also the null move "0000"
  }
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

bool add_games(std::istream& in, BookBuilder& builder, std::string& error,
               void (*progress)(int number)) {
  UciGame game;
  int line = 0;
  for (int number = 1;; ++number) {
    const ReadStatus status = read_game(in, number, line, game, error);
    if (status == ReadStatus::END) return true;
    if (status == ReadStatus::MALFORMED) return false;
    add_game(builder, game);
    if (progress != nullptr) progress(number);
  }
}

}  // namespace book_maker
