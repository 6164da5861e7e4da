// The status lines and the key help, decided from the Game.
#include "shell/status.h"

#include <algorithm>
#include <optional>

#include "game/pgn.h"
#include "game/played_game.h"
#include "rules/attacks.h"
#include "rules/standard_chess.h"

namespace shell {

namespace {

constexpr const char* SIDE_NAMES[] = {"White", "Black"};
constexpr const char* COLOUR_WORDS[] = {"white", "black"};
constexpr const char* N_QUESTION = "Press N again for a new game — this one stays saved";
constexpr const char* HELP_KEY = "F1 or ? shows the keys";
constexpr const char* GAME_CLOSES = "Click or press a key to close";
constexpr const char* PERCENT = " %";

// Returns the share of the engine's work done, in percent, within 0..100.
int percent_done(float fraction) {
  return std::clamp(static_cast<int>(fraction * static_cast<float>(FULL_BAR)), 0, FULL_BAR);
}

std::string thinking_text(const std::string& who, int percent) {
  return who + " is thinking… " + std::to_string(percent) + PERCENT;
}

// Whose turn it is, with the engine's progress while it works on it.
void turn_lines(const Game& g, std::vector<StatusLine>& lines) {
  const std::optional<rules::Side> human = game::human_side(g.played.players);
  const rules::Side to_move = game::side_to_move(g.played);
  const int done = percent_done(g.window.progress);
  if (g.window.activity == Activity::HINTING) {
    lines.push_back({"Looking for a hint… " + std::to_string(done) + PERCENT, Tone::PLAIN, done});
  } else if (human && *human == to_move) {
    lines.push_back({std::string("Your move — you play ") + COLOUR_WORDS[*human]});
    if (g.hint_move != rules::END_MOVE)
      lines.push_back({"The hint is shown in green", Tone::QUIET});
  } else {
    // Between a move and the search's first report the computer is about to think.
    const int shown = g.window.activity == Activity::THINKING ? done : 0;
    lines.push_back(
        {thinking_text(human ? "Morva" : SIDE_NAMES[to_move], shown), Tone::PLAIN, shown});
    if (!human) lines.push_back({"Morva plays both sides", Tone::QUIET});
  }
}

// A king that a move of the other side could take now, the human's first.
void king_lines(const Game& g, std::vector<StatusLine>& lines) {
  const std::optional<rules::Side> human = game::human_side(g.played.players);
  const rules::Board& b = game::board(g.played);
  for (rules::Side side : {human.value_or(rules::WHITE), rules::other_side(human.value_or(0))}) {
    if (!rules::king_attacked(b, side)) continue;
    if (!human) {
      lines.push_back({std::string(SIDE_NAMES[side]) + "'s king can be taken", Tone::WARNING});
    } else if (side == *human) {
      lines.push_back({"Your king can be taken!", Tone::WARNING});
    } else {
      lines.push_back({"Morva's king can be taken", Tone::GOOD});
    }
  }
}

// Who won and how, or why the game is drawn.
void end_lines(const Game& g, std::vector<StatusLine>& lines) {
  const std::optional<rules::Side> human = game::human_side(g.played.players);
  if (g.played.end == game::GameEnd::KING_TAKEN) {
    const rules::Side won = game::winner(g.played);
    lines.push_back({std::string(SIDE_NAMES[won]) + " wins — " +
                     SIDE_NAMES[rules::other_side(won)] + "'s king is taken"});
    if (human) {
      lines.push_back(*human == won ? StatusLine{"You win!", Tone::GOOD}
                                    : StatusLine{"Morva wins", Tone::PLAIN});
    }
  } else {
    const char* why = "Draw";
    if (g.played.draw == rules::Draw::REPETITION) why = "Draw by repetition";
    if (g.played.draw == rules::Draw::FIFTY_MOVES) why = "Draw by the fifty-move rule";
    lines.push_back({why});
  }
  lines.push_back({GAME_CLOSES, Tone::QUIET});
}

// Which earlier position is shown, and the move that led to it.
void viewing_lines(const Game& g, const std::vector<std::string>& texts,
                   std::vector<StatusLine>& lines) {
  const std::size_t shown = *g.window.viewed;
  if (shown == 0) {
    lines.push_back({"Viewing the start — End returns"});
    return;
  }
  lines.push_back({"Viewing move " + std::to_string(shown) + " of " +
                   std::to_string(g.played.moves.size()) + " — End returns"});
  if (shown <= texts.size()) {
    lines.push_back({game::move_number(shown - 1) + " " + texts[shown - 1], Tone::QUIET});
  }
}

// The notes of the start: a continued game, the help's key, the slips.
void start_lines(const Game& g, std::vector<StatusLine>& lines) {
  if (!g.window.continued_date.empty() || g.window.continued_plies > 0) {
    const std::string& date = g.window.continued_date;
    const bool dated = !date.empty() && date.find('?') == std::string::npos;
    lines.push_back({"Game continued" + (dated ? " from " + date : std::string()) + " — move " +
                         std::to_string(g.window.continued_plies / 2 + 1),
                     Tone::QUIET});
  }
  const std::string note = key_note(g);
  if (!note.empty() && !g.window.new_game_asked) lines.push_back({note, Tone::QUIET});
  for (const std::string& slip : g.settings_slips) {
    lines.push_back({SLIP_LEAD + slip, Tone::WARNING});
  }
}

}  // namespace

std::vector<StatusLine> status_lines(const Game& g, const std::vector<std::string>& texts) {
  std::vector<StatusLine> lines;
  if (g.window.viewed) {
    viewing_lines(g, texts, lines);
    return lines;
  }
  if (g.played.end != game::GameEnd::UNFINISHED) {
    end_lines(g, lines);
    return lines;
  }
  turn_lines(g, lines);
  king_lines(g, lines);
  if (g.window.new_game_asked) lines.push_back({N_QUESTION, Tone::WARNING});
  if (g.window.start_notes) start_lines(g, lines);
  return lines;
}

std::string key_note(const Game& g) {
  if (!g.window.key_help) return "";
  if (g.window.new_game_asked) return N_QUESTION;
  const bool playing = game::human_side(g.played.players).has_value();
  if (g.window.start_notes && playing && g.played.end == game::GameEnd::UNFINISHED) {
    return HELP_KEY;
  }
  return "";
}

std::vector<KeyRow> help_rows(const Game& g) {
  std::vector<KeyRow> rows = {{"Two clicks", "a piece, then its square"}};
  if (g.take_back) {
    rows.push_back({"Backspace", "take back your last move"});
    rows.push_back({"N", g.window.key_help ? "a new game (asks first)" : "a new game"});
  }
  if (g.hint) rows.push_back({"H", "a hint: Morva's move for you"});
  if (g.window.move_list) {
    rows.push_back({"← →", "one move back, forward"});
    rows.push_back({"↑ ↓", "a move pair back, forward"});
    rows.push_back({"Home, End", "the start, the game now"});
  }
  if (g.window.key_help) rows.push_back({"F1 or ?", "this list"});
  rows.push_back({"Escape", "quit"});
  return rows;
}

}  // namespace shell
