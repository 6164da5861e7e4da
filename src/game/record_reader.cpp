#include "game/record_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "game/record.h"
#include "rules/input_echo.h"
#include "rules/notation.h"

namespace game {

namespace {

constexpr std::string_view REPORT_STARTS[] = {"WARNING\t", "ERROR\t"};
constexpr char REPORT_MORE = '\t';  // the report's file and compilation lines start so
constexpr std::size_t PAIR_PLIES = 2;

struct Reading {
  PlayedGame game = new_game({});
  bool half = false;    // the current line holds white's move, not yet black's
  bool chosen = false;  // a scored list or book trace came since the last move
  int line = 0;
  std::string error;
};

// Notes the reason the record cannot be read, at the current line; returns false.
bool fail(Reading& r, const std::string& reason) {
  r.error = "line " + std::to_string(r.line) + ": " + reason;
  return false;
}

// Returns false, with the reason, when the game has ended: nothing of it
// (what, such as "a move") may follow.
bool still_going(Reading& r, const char* what) {
  switch (r.game.end) {
    case GameEnd::KING_TAKEN:
      return fail(r, std::string(what) + " after a king was taken");
    case GameEnd::DRAWN:
      return fail(r, std::string(what) + " after the game was drawn");
    case GameEnd::UNFINISHED:
      break;
  }
  return true;
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

// Plays a move of the record for the side to move.
bool play_text(Reading& r, std::string_view text) {
  if (!still_going(r, "a move")) return false;
  const rules::Side side = side_to_move(r.game);
  const std::optional<rules::Move> m = move_of_text(r.game, text);
  if (!m) {
    return fail(r, "'" + rules::echo_input(text) + "' is no move of " +
                       (side == rules::WHITE ? "white" : "black") + " here");
  }
  play(r.game, *m);
  if (r.chosen) r.game.players.computer[side] = true;
  r.chosen = false;
  decide_end(r.game, false);
  return true;
}

// Keeps the first plies moves of the game.
void keep(Reading& r, std::size_t plies) {
  keep_plies(r.game, plies);
  r.half = false;
  r.chosen = false;
}

// Reads a line of its own that is none of the moves: a takeback, a new game,
// a hint, a draw, a scored list's entry or a report. (The half line a key
// interrupts is ended first, so these stand at a line's start.)
bool read_other(Reading& r, std::string_view s, std::vector<PlayedGame>& games) {
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
    if (!still_going(r, "a takeback")) return false;
    if (r.game.moves.size() < undone) return fail(r, "a takeback with no move pair before it");
    keep(r, r.game.moves.size() - undone);
  } else if (is_line(s, NEW_GAME_LINE)) {
    if (!still_going(r, "a new game")) return false;
    games.push_back(std::move(r.game));
    r.game = new_game({});
    r.half = r.chosen = false;
  } else if (s.starts_with(HINT_LINE) &&
             move_length(s.substr(std::string_view(HINT_LINE).size())) > 0) {
    if (!still_going(r, "a hint")) return false;
    // A hint during black's turn: the computer's move on the line is written again after it.
    if (r.half) keep(r, r.game.moves.size() - 1);
  } else if (is_line(s, DRAW_LINE)) {
    if (!still_going(r, "a draw")) return false;
    r.game.end = GameEnd::DRAWN;
  } else {
    return fail(r, "unexpected text '" + rules::echo_input(s) + "'");
  }
  return true;
}

// Reads one line of the record; finished is false for a last line without its line end.
bool read_line(Reading& r, std::string_view s, bool finished, std::vector<PlayedGame>& games) {
  r.chosen = drop_traces(s) || r.chosen;
  std::size_t length = move_length(s);
  if (length > 0 && s.substr(length).starts_with(PAIR_SEPARATOR)) {
    if (r.half || side_to_move(r.game) != rules::WHITE) {
      return fail(r, "white's move where black's is due");
    }
    if (!play_text(r, s.substr(0, length))) return false;
    r.half = true;
    s.remove_prefix(length + std::string_view(PAIR_SEPARATOR).size());
    r.chosen = drop_traces(s) || r.chosen;
  }
  if (!finished || s.empty()) return true;
  length = move_length(s);
  if (length == s.size()) {
    if (!r.half) return fail(r, "black's move without white's before it on its line");
    r.half = false;
    return play_text(r, s);
  }
  return read_other(r, s, games);
}

// Reads a regular file of at most RECORD_SIZE_LIMIT bytes into text; the
// reason when it cannot.
std::string read_file(const std::string& path, std::string& text) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::strerror(errno);
  std::string reason;
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    reason = std::strerror(errno);
  } else if (S_ISDIR(st.st_mode)) {
    reason = std::strerror(EISDIR);
  } else if (!S_ISREG(st.st_mode)) {
    reason = "not a regular file";
  } else if (static_cast<std::uint64_t>(st.st_size) > RECORD_SIZE_LIMIT) {
    reason = "larger than " + std::to_string(RECORD_SIZE_LIMIT >> 20) + " MiB";
  } else {
    char block[1 << 16];
    ssize_t got;
    while ((got = read(fd, block, sizeof block)) > 0 && text.size() <= RECORD_SIZE_LIMIT) {
      text.append(block, static_cast<std::size_t>(got));
    }
    if (got < 0) reason = std::strerror(errno);
  }
  close(fd);
  return reason;
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
  const std::string reason = read_file(path, text);
  if (!reason.empty()) return {{}, "cannot read " + rules::echo_input(path) + ": " + reason};
  RecordRead read = read_record(text);
  if (!read.error.empty()) read.error = rules::echo_input(path) + ": " + read.error;
  return read;
}

}  // namespace game
