#include "game/pgn.h"

#include <algorithm>
#include <charconv>
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

// The words of the comment that tells how a game went on under Morva's rules.
constexpr std::string_view WENT_ON = ". Under Morva's rules the game went on:";
constexpr const char* PASS_TEXT = "(a pass)";
constexpr std::string_view RESULTS[] = {"1-0", "0-1", "1/2-1/2", "*"};

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
  if (m == rules::END_MOVE) return PASS_TEXT;
  if (const rules::Castling* c = rules::castling_of(rules::move_from(m))) {
    return rules::square_name(c->king_from) + rules::square_name(c->king_to);
  }
  return rules::move_text(m);
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
  text.append(departure(p, game.moves[ply], fault)).append(WENT_ON);
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

// The plies of a game that standard chess accepts, from the start: their SAN,
// the position after them, and why standard chess refuses the next ply
// (NONE when it accepts them all).
struct StandardPart {
  std::vector<std::string> san;
  rules::ChessPosition position;
  rules::ChessFault fault = rules::ChessFault::NONE;
};

StandardPart standard_part(const PlayedGame& game) {
  StandardPart part{{}, rules::chess_start()};
  for (const rules::Move m : game.moves) {
    part.fault = rules::chess_fault(part.position, m);
    if (part.fault != rules::ChessFault::NONE) break;
    part.san.push_back(rules::san_text(part.position, m));
    part.position = rules::play_chess(part.position, m);
  }
  return part;
}

// Returns the words of the movetext: numbers, SAN moves, the comment's words
// and the result.
std::vector<std::string> movetext(const PlayedGame& game) {
  std::vector<std::string> words;
  const StandardPart part = standard_part(game);
  for (std::size_t ply = 0; ply < part.san.size(); ++ply) {
    if (ply % 2 == 0) words.push_back(move_number(ply));
    words.push_back(part.san[ply]);
  }
  if (part.fault != rules::ChessFault::NONE) {
    const std::string comment =
        morva_rules_comment(part.position, game, part.san.size(), part.fault);
    for (std::size_t start = 0, blank; start < comment.size(); start = blank + 1) {
      blank = comment.find(' ', start);
      if (blank == std::string::npos) blank = comment.size();
      words.push_back(comment.substr(start, blank - start));
    }
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

// Returns whether a word of the movetext is a move number: "12." or "12...".
bool is_move_number(std::string_view word) {
  const std::size_t digits = word.find_first_not_of("0123456789");
  return digits > 0 && digits != std::string_view::npos &&
         (word.substr(digits) == "." || word.substr(digits) == "...");
}

// Plays one move of the game read back, which Morva's rules must allow there;
// false, with the reason, where they do not.
bool play_read(PlayedGame& game, std::optional<rules::Move> m, std::string_view word,
               std::string& error) {
  if (game.end != GameEnd::UNFINISHED) {
    error = "a move after a king was taken: " + rules::echo_input(word);
    return false;
  }
  if (m && *m != rules::END_MOVE) m = move_of_text(game, rules::move_text(*m));
  if (!m) {
    error = "ply " + std::to_string(game.moves.size() + 1) + ", '" + rules::echo_input(word) +
            "', is no move there";
    return false;
  }
  play(game, *m);
  decide_end(game, false);
  return true;
}

// Plays the moves of the comment that tells how the game went on under
// Morva's rules, in coordinates as write_pgn writes them (a castling as its
// king's step, a pass as PASS_TEXT), up to the word ending in ','.
bool read_comment(PlayedGame& game, std::string_view comment, std::string& error) {
  // The comment is wrapped over lines like the rest of the movetext.
  std::string text;
  std::istringstream all{std::string(comment)};
  for (std::string word; all >> word;) text += (text.empty() ? "" : " ") + word;
  const std::size_t at = text.find(WENT_ON);
  if (at == std::string::npos) return true;  // a comment of someone else's
  std::istringstream words{text.substr(at + WENT_ON.size())};
  const std::string pass_start = std::string(PASS_TEXT).substr(0, std::string(PASS_TEXT).find(' '));
  for (std::string word; words >> word;) {
    if (is_move_number(word)) continue;
    std::string rest;
    if (word == pass_start) words >> rest;  // "(a" "pass)" or "pass),"
    const bool last = (rest.empty() ? word : rest).ends_with(",");
    if (last) (rest.empty() ? word : rest).pop_back();
    const bool pass = !rest.empty() && word + " " + rest == PASS_TEXT;
    const std::optional<rules::Move> m =
        pass ? std::optional<rules::Move>(rules::END_MOVE) : move_of_text(game, word);
    if (!play_read(game, m, pass ? PASS_TEXT : word, error)) return false;
    if (last) break;
  }
  return true;
}

// Plays the moves of a saved game's movetext: SAN while standard chess
// accepts the game, then the comment's moves.
bool read_movetext(PlayedGame& game, std::string_view text, std::string& error) {
  rules::ChessPosition p = rules::chess_start();
  bool standard = true;  // still in standard chess: the words are SAN
  while (!text.empty()) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) break;
    text.remove_prefix(start);
    if (text.front() == '{') {
      const std::size_t close = text.find('}');
      if (close == std::string_view::npos) {
        error = "a comment without its end";
        return false;
      }
      if (!read_comment(game, text.substr(1, close - 1), error)) return false;
      standard = false;
      text.remove_prefix(close + 1);
      continue;
    }
    const std::size_t end = std::min(text.find_first_of(" \t\r\n{"), text.size());
    const std::string_view word = text.substr(0, end);
    text.remove_prefix(end);
    if (is_move_number(word) ||
        std::find(std::begin(RESULTS), std::end(RESULTS), word) != std::end(RESULTS)) {
      continue;
    }
    std::optional<rules::Move> m;
    rules::MoveList legal;
    const int count = standard ? rules::legal_moves(p, legal) : 0;
    for (int i = 0; i < count && !m; ++i) {
      if (rules::san_text(p, legal[i]) == word) m = legal[i];
    }
    if (!play_read(game, m, word, error)) return false;
    p = rules::play_chess(p, *m);
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

std::string move_number(std::size_t ply) {
  return std::to_string(ply / 2 + 1) + (ply % 2 == 0 ? "." : "...");
}

std::vector<std::string> move_texts(const PlayedGame& game) {
  std::vector<std::string> texts = standard_part(game).san;
  for (std::size_t ply = texts.size(); ply < game.moves.size(); ++ply) {
    texts.push_back(coordinates(game.moves[ply]));
  }
  return texts;
}

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
  const std::optional<rules::Side> human = human_side(game.players);
  write_game(
      out, game, tags,
      {{HUMAN_TAG, human ? HUMAN_NAMES[*human] : NO_HUMAN}, {SEED_TAG, std::to_string(game.seed)}});
}

SavedHeader read_saved_header(std::string_view& text, PgnTags* tags) {
  SavedHeader header;
  std::string* roster[] = {tags ? &tags->event : nullptr,
                           tags ? &tags->site : nullptr,
                           tags ? &tags->date : nullptr,
                           tags ? &tags->round : nullptr,
                           tags ? &tags->white : nullptr,
                           tags ? &tags->black : nullptr,
                           &header.result};
  std::string name, value, seed = "0";
  std::optional<std::string> human;
  while (!text.empty() && text.front() == '[') {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!read_tag(line, name, value)) {
      header.error = "a tag line is not [Name \"value\"]";
      return header;
    }
    for (std::size_t i = 0; i < std::size(ROSTER); ++i) {
      if (name == ROSTER[i] && roster[i] != nullptr) *roster[i] = value;
    }
    if (name == HUMAN_TAG) human = value;
    if (name == SEED_TAG) seed = value;
  }
  const auto [end, fault] = std::from_chars(seed.data(), seed.data() + seed.size(), header.seed);
  if (fault != std::errc{} || end != seed.data() + seed.size()) {
    header.error = std::string(SEED_TAG) + " '" + rules::echo_input(seed) + "' is not a seed";
  } else if (!human) {
    header.error = std::string("no ") + HUMAN_TAG + " tag: not a saved game of Morva's";
  } else if (*human == HUMAN_NAMES[rules::WHITE] || *human == HUMAN_NAMES[rules::BLACK]) {
    header.human = *human == HUMAN_NAMES[rules::WHITE] ? rules::WHITE : rules::BLACK;
  } else if (*human != NO_HUMAN) {
    header.error =
        std::string(HUMAN_TAG) + " '" + rules::echo_input(*human) + "' is not white, black or none";
  }
  return header;
}

SavedGameRead read_saved_game(std::string_view text) {
  SavedGameRead read;
  const SavedHeader header = read_saved_header(text, &read.tags);
  if (!header.error.empty()) return {{}, {}, header.error};
  read.game = new_game(players_for(header.human));
  read.game.seed = header.seed;
  if (!read_movetext(read.game, text, read.error) ||
      !take_result(read.game, header.result, read.error)) {
    return {{}, {}, read.error};
  }
  return read;
}

}  // namespace game
