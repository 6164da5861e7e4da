// What the window says, decided from the Game alone: a table of games and
// their status lines, the move list's rows, and the keys the help lists.
#include "shell/status.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/pgn.h"
#include "positions.h"
#include "shell/history.h"

namespace shell_test {
namespace {

using test_support::move;

// 2... Qh4 attacks white's king at white's move; 2... a6 leaves black's to be taken.
const std::vector<rules::Move> YOUR_KING = {move("f2", "f3"), move("e7", "e5"), move("e1", "f2"),
                                            move("d8", "h4")};
const std::vector<rules::Move> MORVAS_KING = {move("e2", "e4"), move("f7", "f5"), move("d1", "h5"),
                                              move("a7", "a6")};

struct StatusCase {
  const char* what;
  std::optional<rules::Side> human;  // none: the demo
  std::vector<rules::Move> moves;
  std::function<void(shell::Game&)> set;
  std::vector<std::string> lines;
};

TEST(ShellStatus, LinesFollowTheGame) {
  using shell::Activity;
  const auto nothing = [](shell::Game&) {};
  std::vector<rules::Move> taken = MORVAS_KING;
  taken.push_back(move("h5", "e8"));
  const StatusCase cases[] = {
      {"white to move", rules::WHITE, {}, nothing, {"Your move — you play white"}},
      {"the computer about to open", rules::BLACK, {}, nothing, {"Morva is thinking… 0 %"}},
      {"thinking",
       rules::BLACK,
       {},
       [](shell::Game& g) {
         g.window.activity = Activity::THINKING;
         g.window.progress = 0.4f;
       },
       {"Morva is thinking… 40 %"}},
      {"a hint",
       rules::WHITE,
       {},
       [](shell::Game& g) {
         g.window.activity = Activity::HINTING;
         g.window.progress = 0.999f;
       },
       {"Looking for a hint… 99 %"}},
      {"the demo",
       std::nullopt,
       {move("e2", "e4")},
       nothing,
       {"Black is thinking… 0 %", "Morva plays both sides"}},
      {"your king",
       rules::WHITE,
       YOUR_KING,
       nothing,
       {"Your move — you play white", "Your king can be taken!"}},
      {"Morva's king",
       rules::WHITE,
       MORVAS_KING,
       nothing,
       {"Your move — you play white", "Morva's king can be taken"}},
      {"a king in the demo",
       std::nullopt,
       YOUR_KING,
       nothing,
       {"White is thinking… 0 %", "Morva plays both sides", "White's king can be taken"}},
      {"won",
       rules::WHITE,
       taken,
       [](shell::Game& g) { game::decide_end(g.played, false); },
       {"White wins — Black's king is taken", "You win!", "Click or press a key to close"}},
      {"lost",
       rules::BLACK,
       taken,
       [](shell::Game& g) { game::decide_end(g.played, false); },
       {"White wins — Black's king is taken", "Morva wins", "Click or press a key to close"}},
      {"repeated",
       rules::WHITE,
       {},
       [](shell::Game& g) {
         g.played.end = game::GameEnd::DRAWN;
         g.played.draw = rules::Draw::REPETITION;
       },
       {"Draw by repetition", "Click or press a key to close"}},
      {"fifty moves",
       rules::WHITE,
       {},
       [](shell::Game& g) {
         g.played.end = game::GameEnd::DRAWN;
         g.played.draw = rules::Draw::FIFTY_MOVES;
       },
       {"Draw by the fifty-move rule", "Click or press a key to close"}},
      {"viewing",
       rules::WHITE,
       MORVAS_KING,
       [](shell::Game& g) { g.window.viewed = 2; },
       {"Viewing move 2 of 4 — End returns", "1... f5"}},
      {"the start viewed",
       rules::WHITE,
       MORVAS_KING,
       [](shell::Game& g) { g.window.viewed = 0; },
       {"Viewing the start — End returns"}},
      {"N asked",
       rules::WHITE,
       {move("e2", "e4"), move("e7", "e5")},
       [](shell::Game& g) { g.window.key_help = g.window.new_game_asked = true; },
       {"Your move — you play white", "Press N again for a new game — this one stays saved"}},
      {"the start's notes",
       rules::WHITE,
       {},
       [](shell::Game& g) {
         g.window.key_help = g.window.start_notes = true;
         g.window.continued_date = "2026.12.09";
         g.window.continued_plies = 23;
         g.settings_slips = {"levle in [ALGO] is not a key the game knows"};
       },
       {"Your move — you play white", "Game continued from 2026.12.09 — move 12",
        "F1 or ? shows the keys", "conf.ini: levle in [ALGO] is not a key the game knows"}},
      {"the notes without keyhelp, undated",
       rules::BLACK,
       {},
       [](shell::Game& g) {
         g.window.start_notes = true;
         g.window.continued_date = "????.??.??";
         g.window.continued_plies = 2;
       },
       {"Morva is thinking… 0 %", "Game continued — move 2"}},
  };
  for (const StatusCase& c : cases) {
    shell::Game g;
    g.played = game::new_game(game::players_for(c.human));
    for (const rules::Move m : c.moves) game::play(g.played, m);
    g.window.start_notes = false;
    c.set(g);
    std::vector<std::string> lines;
    for (const shell::StatusLine& line : shell::status_lines(g, game::move_texts(g.played))) {
      lines.push_back(line.text);
      if (line.bar >= 0) {
        EXPECT_EQ(line.bar, static_cast<int>(g.window.progress * 100)) << c.what;
      }
    }
    EXPECT_EQ(lines, c.lines) << c.what;
  }
}

TEST(ShellStatus, MoveRowsPairTheTextsAndTheHelpListsTheKeysOn) {
  EXPECT_EQ(shell::move_rows({"e4", "e5", "Nf3"}),
            (std::vector<shell::MoveRow>{{"1.", "e4", "e5"}, {"2.", "Nf3", ""}}));
  // The list's end shows, unless the ply marked lies above it.
  EXPECT_EQ(shell::first_shown_row(30, 12, 59), 18u);
  EXPECT_EQ(shell::first_shown_row(30, 12, 7), 3u);
  EXPECT_EQ(shell::first_shown_row(5, 12, 9), 0u);
  shell::Game g;
  const auto keys = [&] {
    std::vector<std::string> k;
    for (const shell::KeyRow& row : shell::help_rows(g)) k.push_back(row.keys);
    return k;
  };
  EXPECT_EQ(keys(), (std::vector<std::string>{"Two clicks", "Escape"}));
  g.take_back = g.hint = g.window.move_list = g.window.key_help = true;
  EXPECT_EQ(keys(), (std::vector<std::string>{"Two clicks", "Backspace", "N", "H", "← →", "↑ ↓",
                                              "Home, End", "F1 or ?", "Escape"}));
}

}  // namespace
}  // namespace shell_test
