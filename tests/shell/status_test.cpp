// What the window says, decided from the Game alone: a table of games and
// their status lines, the move list's rows, and the keys the help lists.
#include "shell/status.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "game/pgn.h"
#include "positions.h"
#include "shell/history.h"

namespace shell_test {
namespace {

using shell::Activity;
using test_support::move;

// 2... Qh4 attacks white's king at white's move; 2... a6 leaves black's to be taken.
const std::vector<rules::Move> YOUR_KING = {move("f2", "f3"), move("e7", "e5"), move("e1", "f2"),
                                            move("d8", "h4")};
const std::vector<rules::Move> MORVAS_KING = {move("e2", "e4"), move("f7", "f5"), move("d1", "h5"),
                                              move("a7", "a6")};
const std::vector<rules::Move> TAKEN = {move("e2", "e4"), move("f7", "f5"), move("d1", "h5"),
                                        move("a7", "a6"), move("h5", "e8")};
const std::string TURN = "Your move — you play white", CLOSE = "Click or press a key to close";

// What else the Game holds beside its moves.
enum Held { PLAIN, STALE, THINKING, HINTING, VIEW_2, VIEW_0, REPEATED, FIFTY, ASKED, NOTES };

void set_up(shell::Game& g, Held setup) {
  g.window.progress = setup == STALE ? 0.7f : setup == THINKING ? 0.4f : 0.999f;
  if (setup == THINKING) g.window.activity = Activity::THINKING;
  if (setup == HINTING) g.window.activity = Activity::HINTING;
  if (setup == VIEW_2 || setup == VIEW_0) g.window.viewed = setup == VIEW_2 ? 2 : 0;
  if (setup == REPEATED || setup == FIFTY) {
    g.played.end = game::GameEnd::DRAWN;
    g.played.draw = setup == REPEATED ? rules::Draw::REPETITION : rules::Draw::FIFTY_MOVES;
  }
  g.window.key_help = g.window.start_notes = setup == ASKED || setup == NOTES;
  g.window.new_game_asked = setup == ASKED;
  if (setup != NOTES) return;
  g.window.continued_date = "2026.12.09";
  g.window.continued_plies = 23;
  g.settings_slips = {"levle in [ALGO] is not a key the game knows"};
}

TEST(ShellStatus, LinesFollowTheGame) {
  const auto W = rules::WHITE, B = rules::BLACK;
  const auto DEMO = std::nullopt;
  const struct {
    std::optional<rules::Side> human;
    std::vector<rules::Move> moves;
    Held setup;
    std::vector<std::string> lines;
  } cases[] = {
      {W, {}, PLAIN, {TURN}},
      {B,
       {},
       STALE,
       {"Morva is thinking… 0 %"}},  // about to think, the last search's progress left
      {B, {}, THINKING, {"Morva is thinking… 40 %"}},
      {W, {}, HINTING, {"Looking for a hint… 99 %"}},
      {DEMO, {move("e2", "e4")}, PLAIN, {"Black is thinking… 0 %", "Morva plays both sides"}},
      {W, YOUR_KING, PLAIN, {TURN, "Your king can be taken!"}},
      {W, MORVAS_KING, PLAIN, {TURN, "Morva's king can be taken"}},
      {DEMO,
       YOUR_KING,
       PLAIN,
       {"White is thinking… 0 %", "Morva plays both sides", "White's king can be taken"}},
      {W, TAKEN, PLAIN, {"White wins — Black's king is taken", "You win!", CLOSE}},
      {B, TAKEN, PLAIN, {"White wins — Black's king is taken", "Morva wins", CLOSE}},
      {W, {}, REPEATED, {"Draw by repetition", CLOSE}},
      {W, {}, FIFTY, {"Draw by the fifty-move rule", CLOSE}},
      {W, MORVAS_KING, VIEW_2, {"Viewing move 2 of 4 — End returns", "1... f5"}},
      {W, MORVAS_KING, VIEW_0, {"Viewing the start — End returns"}},
      {W,
       YOUR_KING,
       ASKED,
       {TURN, "Your king can be taken!", "Press N again for a new game — this one stays saved"}},
      {W,
       {},
       NOTES,
       {TURN, "Game continued from 2026.12.09 — move 12", "F1 or ? shows the keys",
        "conf.ini: levle in [ALGO] is not a key the game knows"}},
  };
  for (const auto& c : cases) {
    shell::Game g;
    g.played = game::new_game(game::players_for(c.human));
    for (const rules::Move m : c.moves) game::play(g.played, m);
    game::decide_end(g.played, false);
    set_up(g, c.setup);
    std::vector<std::string> lines;
    for (const shell::StatusLine& line : shell::status_lines(g, game::move_texts(g.played))) {
      lines.push_back(line.text);
      const bool working = g.window.activity != Activity::NONE;
      if (line.bar >= 0) {
        EXPECT_EQ(line.bar, working ? static_cast<int>(g.window.progress * 100) : 0) << lines[0];
      }
    }
    EXPECT_EQ(lines, c.lines);
  }
}

TEST(ShellStatus, MoveRowsAndTheKeysOfTheHelp) {
  EXPECT_EQ(shell::move_rows({"e4", "e5", "Nf3"}),
            (std::vector<shell::MoveRow>{{"1.", "e4", "e5"}, {"2.", "Nf3", ""}}));
  // The list's end shows, unless the ply marked lies above it.
  EXPECT_EQ(shell::first_shown_row(30, 12, 59), 18u);
  EXPECT_EQ(shell::first_shown_row(30, 12, 7), 3u);
  EXPECT_EQ(shell::first_shown_row(5, 12, 9), 0u);
  shell::Game g;  // the help lists the keys that are on
  g.take_back = g.window.move_list = g.window.key_help = true;
  std::vector<std::string> keys;
  for (const shell::KeyRow& row : shell::help_rows(g)) keys.push_back(row.keys);
  EXPECT_EQ(keys, (std::vector<std::string>{"Two clicks", "Backspace", "N", "← →", "↑ ↓",
                                            "Home, End", "F1 or ?", "Escape"}));
}

}  // namespace
}  // namespace shell_test
