#include "game/pgn.h"

#include <ostream>
#include <sstream>
#include <vector>

#include "rules/castling.h"
#include "rules/input_echo.h"
#include "rules/notation.h"
#include "rules/san.h"
#include "rules/standard_chess.h"

namespace game {

namespace {

constexpr std::size_t LINE_LIMIT = 79;  // PGN's export format keeps lines below 80 characters

constexpr const char* ROSTER[] = {"Event", "Site", "Date", "Round", "White", "Black", "Result"};
constexpr const char* HUMAN_NAMES[] = {"white", "black"};
constexpr const char* NO_HUMAN = "none";

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
std::string morva_rules_comment(const rules::ChessPosition& p, const PlayedGame& game,
                                std::size_t ply, rules::ChessFault fault) {
  std::string text = "{";
  text.append(departure(p, game.moves[ply], fault))
      .append(". Under Morva's rules the game went on:");
  for (std::size_t k = ply; k < game.moves.size(); ++k) {
    if (k == ply || k % 2 == 0) text.append(" ").append(move_number(k));
    text.append(" ").append(coordinates(game.moves[k]));
  }
  switch (game.end) {
    case GameEnd::KING_TAKEN:
      text += ", and " + std::string(side_name(winner(game))) + " took the king.}";
      break;
    case GameEnd::DRAWN:
      text += ", and was drawn.}";
      break;
    case GameEnd::UNFINISHED:
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
std::vector<std::string> movetext(const PlayedGame& game) {
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

// Writes the roster, any further tags, and the movetext.
void write_game(std::ostream& out, const PlayedGame& game, const PgnTags& tags,
                const std::vector<std::pair<const char*, std::string>>& more) {
  const std::string values[] = {tags.event, tags.site,  tags.date,       tags.round,
                                tags.white, tags.black, pgn_result(game)};
  for (std::size_t i = 0; i < std::size(ROSTER); ++i) {
    out << '[' << ROSTER[i] << ' ' << quoted(values[i]) << "]\n";
  }
  for (const auto& [name, value] : more) out << '[' << name << ' ' << quoted(value) << "]\n";
  out << '\n';
  write_wrapped(out, movetext(game));
  out << '\n';
}

// One tag pair of a PGN header: [Name "value"], the value unescaped; false
// for any other line.
bool read_tag(std::string_view line, std::string& name, std::string& value) {
  if (line.size() < 5 || line.front() != '[' || line.back() != ']') return false;
  const std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos || blank + 2 >= line.size() || line[blank + 1] != '"') {
    return false;
  }
  name = line.substr(1, blank - 1);
  value.clear();
  std::size_t i = blank + 2;
  for (; i + 1 < line.size() && line[i] != '"'; ++i) {
    if (line[i] == '\\' && i + 2 < line.size()) ++i;
    value += line[i];
  }
  return i + 2 == line.size() && line[i] == '"';
}

// Plays the moves of a MorvaMoves tag; false, with the reason, where one is
// not a move there.
bool replay(PlayedGame& game, std::string_view moves, std::string& error) {
  std::istringstream words{std::string(moves)};
  for (std::string word; words >> word;) {
    if (game.end != GameEnd::UNFINISHED) {
      error = "a move after a king was taken: " + rules::echo_input(word);
      return false;
    }
    const std::optional<rules::Move> m = move_of_text(game, word);
    if (!m) {
      error = "ply " + std::to_string(game.moves.size() + 1) + ", '" + rules::echo_input(word) +
              "', is no move there";
      return false;
    }
    play(game, *m);
    decide_end(game, false);
  }
  return true;
}

// Sets the game's end from its result tag; false where the result and the
// moves disagree.
bool take_result(PlayedGame& game, const std::string& result, std::string& error) {
  const std::string played = pgn_result(game);
  if (result == "*" || result == played) return true;
  if (result == "1/2-1/2" && game.end == GameEnd::UNFINISHED) {
    game.end = GameEnd::DRAWN;
    game.draw = rules::draw_of(game.history);
    return true;
  }
  error =
      "its result " + rules::echo_input(result) + " is not where its moves lead (" + played + ")";
  return false;
}

}  // namespace

std::string pgn_result(const PlayedGame& game) {
  switch (game.end) {
    case GameEnd::KING_TAKEN:
      return winner(game) == rules::WHITE ? "1-0" : "0-1";
    case GameEnd::DRAWN:
      return "1/2-1/2";
    case GameEnd::UNFINISHED:
      break;
  }
  return "*";
}

void write_pgn(std::ostream& out, const PlayedGame& game, const PgnTags& tags) {
  write_game(out, game, tags, {});
}

void write_saved_game(std::ostream& out, const PlayedGame& game, const PgnTags& tags) {
  std::string moves;
  for (const rules::Move m : game.moves) {
    if (!moves.empty()) moves += ' ';
    moves += rules::move_text(m);
  }
  const std::optional<rules::Side> human = human_side(game.players);
  write_game(out, game, tags,
             {{MOVES_TAG, moves}, {HUMAN_TAG, human ? HUMAN_NAMES[*human] : NO_HUMAN}});
}

SavedGameRead read_saved_game(std::string_view text) {
  SavedGameRead read;
  std::string* roster[] = {&read.tags.event, &read.tags.site,  &read.tags.date, &read.tags.round,
                           &read.tags.white, &read.tags.black, nullptr};
  std::string result, human, name, value;
  std::optional<std::string> moves;
  while (!text.empty() && text.front() == '[') {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!read_tag(line, name, value)) return {{}, {}, "a tag line is not [Name \"value\"]"};
    for (std::size_t i = 0; i < std::size(ROSTER); ++i) {
      if (name == ROSTER[i]) *(roster[i] ? roster[i] : &result) = value;
    }
    if (name == MOVES_TAG) moves = value;
    if (name == HUMAN_TAG) human = value;
  }
  if (!moves) return {{}, {}, std::string("no ") + MOVES_TAG + " tag: not a saved game of Morva's"};
  std::optional<rules::Side> side;
  if (human == HUMAN_NAMES[rules::WHITE]) side = rules::WHITE;
  if (human == HUMAN_NAMES[rules::BLACK]) side = rules::BLACK;
  if (!side && human != NO_HUMAN) {
    return {
        {},
        {},
        std::string(HUMAN_TAG) + " '" + rules::echo_input(human) + "' is not white, black or none"};
  }
  read.game = new_game(players_for(side));
  if (!replay(read.game, *moves, read.error) || !take_result(read.game, result, read.error)) {
    return {{}, {}, read.error};
  }
  return read;
}

}  // namespace game
