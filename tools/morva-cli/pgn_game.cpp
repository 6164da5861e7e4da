#include "pgn_game.h"

#include <ostream>
#include <vector>

#include "rules/castling.h"
#include "rules/notation.h"
#include "rules/san.h"
#include "rules/standard_chess.h"

namespace cli {

namespace {

constexpr std::size_t LINE_LIMIT = 79;  // PGN's export format keeps lines below 80 characters

// Returns a tag's value between quotes, its quotes and backslashes escaped.
std::string quoted(const std::string& value) {
  std::string text = "\"";
  for (const char c : value) {
    if (c == '"' || c == '\\') text += '\\';
    text += c;
  }
  return text + "\"";
}

const char* side_name(rules::Side side) { return side == rules::WHITE ? "White" : "Black"; }

// Returns a move as other programs write coordinates: a castling as its king's step.
std::string coordinates(rules::Move m) {
  if (m == rules::END_MOVE) return "(a pass)";
  if (const rules::Castling* c = rules::castling_of(rules::move_from(m))) {
    return rules::square_name(c->king_from) + rules::square_name(c->king_to);
  }
  return rules::move_text(m);
}

// Returns the move number before the move of ply: "12." for white, "12..." for black.
std::string move_number(std::size_t ply) {
  return std::to_string(ply / 2 + 1) + (ply % 2 == 0 ? "." : "...");
}

// Returns what standard chess says of the position p, where the game's next
// move m is one it refuses.
std::string departure(const rules::ChessPosition& p, rules::Move m, rules::ChessFault fault) {
  const std::string side = side_name(p.side);
  rules::MoveList legal;
  if (rules::legal_moves(p, legal) == 0) {
    return side +
           (rules::in_check(p) ? " is checkmated" : " is stalemated, a draw in standard chess");
  }
  const std::string move = side + "'s next move, " + coordinates(m) + ", ";
  switch (fault) {
    case rules::ChessFault::LEAVES_KING_IN_CHECK:
      return move + (rules::in_check(p) ? "leaves its king in check" : "puts its king in check");
    case rules::ChessFault::TAKES_KING:
      return move + "takes the king";
    case rules::ChessFault::CASTLING_WITHOUT_RIGHT:
      return move + "castles although its king or that rook has moved";
    case rules::ChessFault::CASTLING_OUT_OF_CHECK:
      return move + "castles out of check";
    case rules::ChessFault::CASTLING_THROUGH_CHECK:
      return move + "castles through check";
    case rules::ChessFault::NOT_GENERATED:
    case rules::ChessFault::NONE:
      break;
  }
  return side + " cannot move and passes";
}

// Returns the comment after the last position standard chess accepts: why
// the game leaves standard chess there and how it went on under Morva's rules.
std::string morva_rules_comment(const rules::ChessPosition& p, const engine::RecordedGame& game,
                                std::size_t ply, rules::ChessFault fault) {
  std::string text = "{";
  text.append(departure(p, game.moves[ply], fault))
      .append(". Under Morva's rules the game went on:");
  for (std::size_t k = ply; k < game.moves.size(); ++k) {
    if (k == ply || k % 2 == 0) text.append(" ").append(move_number(k));
    text.append(" ").append(coordinates(game.moves[k]));
  }
  switch (game.end) {
    case engine::GameEnd::KING_TAKEN:
      text += ", and " +
              std::string(side_name(game.moves.size() % 2 == 1 ? rules::WHITE : rules::BLACK)) +
              " took the king.}";
      break;
    case engine::GameEnd::DRAWN:
      text += ", and was drawn.}";
      break;
    case engine::GameEnd::UNFINISHED:
      text += ", and was left unfinished.}";
      break;
  }
  return text;
}

// Writes words separated by blanks, starting a new line before a word that
// would go beyond the limit.
void write_wrapped(std::ostream& out, const std::vector<std::string>& words) {
  std::size_t column = 0;
  for (const std::string& word : words) {
    if (column > 0 && column + 1 + word.size() > LINE_LIMIT) {
      out << '\n';
      column = 0;
    }
    if (column > 0) {
      out << ' ';
      ++column;
    }
    out << word;
    column += word.size();
  }
  out << '\n';
}

// Returns the words of the movetext: numbers, SAN moves, the comment's words
// and the result.
std::vector<std::string> movetext(const engine::RecordedGame& game) {
  std::vector<std::string> words;
  rules::ChessPosition p = rules::chess_start();
  for (std::size_t ply = 0; ply < game.moves.size(); ++ply) {
    const rules::Move m = game.moves[ply];
    const rules::ChessFault fault = rules::chess_fault(p, m);
    if (fault != rules::ChessFault::NONE) {
      const std::string comment = morva_rules_comment(p, game, ply, fault);
      for (std::size_t start = 0, blank; start < comment.size(); start = blank + 1) {
        blank = comment.find(' ', start);
        if (blank == std::string::npos) blank = comment.size();
        words.push_back(comment.substr(start, blank - start));
      }
      break;
    }
    if (ply % 2 == 0) words.push_back(move_number(ply));
    words.push_back(rules::san_text(p, m));
    p = rules::play_chess(p, m);
  }
  words.push_back(pgn_result(game));
  return words;
}

}  // namespace

std::string pgn_result(const engine::RecordedGame& game) {
  switch (game.end) {
    case engine::GameEnd::KING_TAKEN:
      return game.moves.size() % 2 == 1 ? "1-0" : "0-1";
    case engine::GameEnd::DRAWN:
      return "1/2-1/2";
    case engine::GameEnd::UNFINISHED:
      break;
  }
  return "*";
}

void write_pgn(std::ostream& out, const engine::RecordedGame& game, const PgnTags& tags) {
  const std::pair<const char*, std::string> roster[] = {
      {"Event", tags.event},        {"Site", tags.site},   {"Date", tags.date},
      {"Round", tags.round},        {"White", tags.white}, {"Black", tags.black},
      {"Result", pgn_result(game)},
  };
  for (const auto& [name, value] : roster) out << '[' << name << ' ' << quoted(value) << "]\n";
  out << '\n';
  write_wrapped(out, movetext(game));
  out << '\n';
}

}  // namespace cli
