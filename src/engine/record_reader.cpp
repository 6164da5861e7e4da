#include "engine/record_reader.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/record.h"
#include "rules/input_echo.h"
#include "rules/make_move.h"
#include "rules/movegen.h"
#include "rules/notation.h"

namespace engine {

namespace {

constexpr std::string_view PAIR_SEPARATOR = " - ";  // between white's move and black's
constexpr std::string_view REPORT_STARTS[] = {"WARNING\t", "ERROR\t"};
constexpr char REPORT_MORE = '\t';  // the report's file and compilation lines start so
constexpr std::size_t PAIR_PLIES = 2;

struct Reading {
  RecordedGame game;
  rules::Board board = rules::board_from_cells(rules::starting_cells);
  rules::Side side = rules::WHITE;  // to move
  bool half = false;                // the current line holds white's move, not yet black's
  bool chosen = false;              // a scored list or book trace came since the last move
  int line = 0;
  std::string error;
};

// Notes the reason the record cannot be read, at the current line; returns false.
bool fail(Reading& r, const std::string& reason) {
  r.error = "line " + std::to_string(r.line) + ": " + reason;
  return false;
}

// Returns whether s is a line of the record given with its line end.
bool is_line(std::string_view s, std::string_view line) {
  return line.size() == s.size() + 1 && line.starts_with(s) && line.back() == '\n';
}

// Returns the length of a square name at the start of s as the record writes
// it (a file letter, a rank of one or two digits), or 0.
std::size_t square_length(std::string_view s) {
  if (s.size() < 2 || s[0] < 'a' || s[0] > 'h' || !std::isdigit(static_cast<unsigned char>(s[1]))) {
    return 0;
  }
  return s.size() > 2 && std::isdigit(static_cast<unsigned char>(s[2])) ? 3 : 2;
}

// Returns the length of a move text at the start of s ("e2e4", "f13f13"), or 0.
std::size_t move_length(std::string_view s) {
  const std::size_t from = square_length(s);
  const std::size_t to = from == 0 ? 0 : square_length(s.substr(from));
  return to == 0 ? 0 : from + to;
}

// Removes the book's traces from the front of s; returns whether there were any.
bool drop_traces(std::string_view& s) {
  bool dropped = false;
  while (s.starts_with(BOOK_TRACE_START)) {
    const std::size_t end = s.find(BOOK_TRACE_END);
    if (end == std::string_view::npos) break;
    s.remove_prefix(end + std::string_view(BOOK_TRACE_END).size());
    dropped = true;
  }
  return dropped;
}

// Returns whether side's king is gone from b.
bool king_gone(const rules::Board& b, rules::Side side) { return b.pieces[side][rules::KING] == 0; }

// Plays a move of the record for the side to move.
bool play(Reading& r, std::string_view text) {
  const char* side_name = r.side == rules::WHITE ? "white" : "black";
  if (r.game.end == GameEnd::KING_TAKEN) return fail(r, "a move after a king was taken");
  const rules::FoundMove found = rules::find_move(r.board, r.side, text);
  rules::Move m = found.move;
  if (found.fault != rules::MoveTextFault::NONE) {
    // A side with nothing to move passes with the end entry.
    rules::MoveList list;
    if (text != rules::move_text(rules::END_MOVE) ||
        rules::generate_moves(r.board, r.side, list) != 1) {
      std::string reason(1, '\'');
      reason.append(rules::echo_input(text))
          .append("' is no move of ")
          .append(side_name)
          .append(" here");
      return fail(r, reason);
    }
    m = rules::END_MOVE;
  }
  r.board = rules::make_move(r.board, m);
  r.game.moves.push_back(m);
  if (r.chosen) r.game.computer[r.side] = true;
  r.chosen = false;
  if (king_gone(r.board, rules::other_side(r.side))) r.game.end = GameEnd::KING_TAKEN;
  r.side = rules::other_side(r.side);
  return true;
}

// Keeps the first plies moves of the game and sets the position after them.
void keep_plies(Reading& r, std::size_t plies) {
  r.game.moves.resize(plies);
  r.board = rules::board_from_cells(rules::starting_cells);
  for (const rules::Move m : r.game.moves) r.board = rules::make_move(r.board, m);
  r.side = plies % 2 == 0 ? rules::WHITE : rules::BLACK;
  r.game.end = GameEnd::UNFINISHED;  // a king taken is not taken back: nothing follows it
  r.half = false;
  r.chosen = false;
}

// Reads a line of its own that is none of the moves: a takeback, a new game,
// a hint, a draw, a scored list's entry or a report. (The half line a key
// interrupts is ended first, so these stand at a line's start.)
bool read_other(Reading& r, std::string_view s, std::vector<RecordedGame>& games) {
  const std::size_t length = move_length(s);
  if (length > 0 && s.substr(length).starts_with(SCORE_ARROW)) {
    r.chosen = true;
  } else if (s.starts_with(REPORT_STARTS[0]) || s.starts_with(REPORT_STARTS[1]) ||
             s.front() == REPORT_MORE) {
    // A warning or an error: nothing of the game.
  } else if (is_line(s, TAKE_BACK_LINE)) {
    // The human's previous turn again: the pair before, and the computer's
    // move after it, which the record then writes once more.
    const std::size_t undone = PAIR_PLIES + (r.half ? 1 : 0);
    if (r.game.moves.size() < undone) return fail(r, "a takeback with no move pair before it");
    keep_plies(r, r.game.moves.size() - undone);
  } else if (is_line(s, NEW_GAME_LINE)) {
    games.push_back(std::move(r.game));
    const int line = r.line;
    r = Reading{};
    r.line = line;
  } else if (s.starts_with(HINT_LINE) &&
             move_length(s.substr(std::string_view(HINT_LINE).size())) > 0) {
    // A hint during black's turn: the computer's move on the line is written again after it.
    if (r.half) keep_plies(r, r.game.moves.size() - 1);
  } else if (is_line(s, DRAW_LINE)) {
    r.game.end = GameEnd::DRAWN;
  } else {
    return fail(r, "unexpected text '" + rules::echo_input(s) + "'");
  }
  return true;
}

// Reads one line of the record; finished is false for a last line without its line end.
bool read_line(Reading& r, std::string_view s, bool finished, std::vector<RecordedGame>& games) {
  r.chosen = drop_traces(s) || r.chosen;
  std::size_t length = move_length(s);
  if (length > 0 && s.substr(length).starts_with(PAIR_SEPARATOR)) {
    if (r.half || r.side != rules::WHITE) return fail(r, "white's move where black's is due");
    if (!play(r, s.substr(0, length))) return false;
    r.half = true;
    s.remove_prefix(length + PAIR_SEPARATOR.size());
    r.chosen = drop_traces(s) || r.chosen;
  }
  if (!finished || s.empty()) return true;
  length = move_length(s);
  if (length == s.size()) {
    if (!r.half) return fail(r, "black's move without white's before it on its line");
    r.half = false;
    return play(r, s);
  }
  return read_other(r, s, games);
}

// Reads a whole file into text; false, with errno set, when it cannot be read.
bool read_file(const std::string& path, std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char block[BUFSIZ];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
  const bool read = std::ferror(file) == 0;
  const int reason = errno;
  std::fclose(file);
  errno = reason;
  return read;
}

}  // namespace

RecordRead read_record(std::string_view text) {
  RecordRead result;
  Reading r;
  while (!text.empty()) {
    ++r.line;
    const std::size_t end = text.find('\n');
    const bool finished = end != std::string_view::npos;
    const std::string_view line = text.substr(0, finished ? end : text.size());
    text.remove_prefix(finished ? end + 1 : text.size());
    if (!read_line(r, line, finished, result.games)) return {{}, r.error};
  }
  result.games.push_back(std::move(r.game));
  return result;
}

RecordRead read_record_file(const std::string& path) {
  std::string text;
  if (!read_file(path, text)) {
    std::string error = "cannot read ";
    error.append(rules::echo_input(path)).append(": ").append(std::strerror(errno));
    return {{}, error};
  }
  RecordRead read = read_record(text);
  if (!read.error.empty()) read.error = rules::echo_input(path) + ": " + read.error;
  return read;
}

}  // namespace engine
