// The window's additions on the dummy driver: the keys of the human's turn
// (stepping through the game, the key help, N asked twice), the frame and the
// panel as drawn, the progress in the status, and the window at scale 2.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "positions.h"
#include "shell/history.h"
#include "shell/input.h"
#include "shell/panel.h"
#include "shell/played.h"
#include "shell/progress_display.h"
#include "shell/scale.h"
#include "shell/startup.h"
#include "shell_fixture.h"

namespace shell_test {
namespace {

using test_support::move;
using test_support::sq;

// Opens the window again with the settings of a conf.ini holding game's lines.
void reopen(shell::Game& g, const std::string& game, std::ostream& err) {
  shell::release_game(g);
  std::ofstream("conf.ini") << "[GAME]\n" << game;
  config::IniText ini;
  config::load_ini(ini, "conf.ini");
  g.window = shell::WindowAdditions{};
  shell::read_window_settings(g, ini, err);
  shell::open_window(g);
  shell::load_pictures(g);
  if (shell::text_wanted(ini)) {
    shell::open_text(g.text, shell::font_path(), shell::TEXT_SIZE * g.window.scale, err);
  }
  drain_events();
}

struct KeyCase {
  const char* what;
  std::vector<std::pair<SDLKey, SDLMod>> keys;  // released in turn; SDLK_UNKNOWN: a click on e2
  std::optional<std::size_t> viewed;
  bool help, asked;
  shell::Request request;
};

TEST_F(ShellTest, KeysOfTheAdditionsViewTheGameWithoutChangingIt) {
  using shell::Request;
  const SDLMod none = KMOD_NONE;
  const KeyCase cases[] = {
      {"one back", {{SDLK_LEFT, none}}, 3, false, false, Request::NONE},
      {"to the start", {{SDLK_LEFT, none}, {SDLK_HOME, none}}, 0, false, false, Request::NONE},
      {"back at the start", {{SDLK_HOME, none}, {SDLK_LEFT, none}}, 0, false, false, Request::NONE},
      {"forward",
       {{SDLK_HOME, none}, {SDLK_RIGHT, none}, {SDLK_DOWN, none}},
       3,
       false,
       false,
       Request::NONE},
      {"a move pair back", {{SDLK_UP, none}}, 2, false, false, Request::NONE},
      {"End returns", {{SDLK_LEFT, none}, {SDLK_END, none}}, {}, false, false, Request::NONE},
      {"forward to the end",
       {{SDLK_LEFT, none}, {SDLK_RIGHT, none}},
       {},
       false,
       false,
       Request::NONE},
      {"a click returns, and is no move",
       {{SDLK_LEFT, none}, {SDLK_UNKNOWN, none}},
       {},
       false,
       false,
       Request::NONE},
      {"a key only returns",
       {{SDLK_UP, none}, {SDLK_BACKSPACE, none}},
       {},
       false,
       false,
       Request::NONE},
      {"F1", {{SDLK_F1, none}}, {}, true, false, Request::NONE},
      {"? on a US layout", {{SDLK_SLASH, KMOD_LSHIFT}}, {}, true, false, Request::NONE},
      {"a slash alone", {{SDLK_SLASH, none}}, {}, false, false, Request::NONE},
      {"the help closed, the key taken",
       {{SDLK_F1, none}, {SDLK_BACKSPACE, none}},
       {},
       false,
       false,
       Request::NONE},
      {"N asks", {{SDLK_n, none}}, {}, false, true, Request::NONE},
      {"N twice", {{SDLK_n, none}, {SDLK_n, none}}, {}, false, false, Request::NEW_GAME},
      {"N, then a click",
       {{SDLK_n, none}, {SDLK_UNKNOWN, none}, {SDLK_n, none}},
       {},
       false,
       true,
       Request::NONE},
      {"N, then Backspace",
       {{SDLK_n, none}, {SDLK_BACKSPACE, none}},
       {},
       false,
       false,
       Request::TAKE_BACK},
  };
  g.take_back = true;
  g.window.move_list = g.window.key_help = true;
  for (const KeyCase& c : cases) {
    shell::start_played(g, game::players_for(rules::WHITE));
    for (const char* m : {"e2e4", "e7e5", "g1f3", "b8c6"}) {
      shell::play(g, move(std::string(m, 2).c_str(), m + 2));
    }
    const std::vector<rules::Move> played = g.played.moves;
    SDL_FreeSurface(g.window.help_picture);
    g.window = shell::WindowAdditions{};
    g.window.move_list = g.window.key_help = true;
    g.request = Request::NONE;
    for (const auto& [key, mod] : c.keys) {
      if (key == SDLK_UNKNOWN) {
        const Point e2 = point_of(sq("e2"), rules::WHITE);
        push_click(e2.x, e2.y);
      } else {
        push_key(SDL_KEYUP, key, mod);
      }
    }
    const rules::Move m = shell::read_human_move(g, g.board, rules::WHITE);
    EXPECT_EQ(rules::move_to(m), rules::NO_SQUARE) << c.what;
    EXPECT_EQ(g.window.viewed, c.viewed) << c.what;
    EXPECT_EQ(g.window.help_shown, c.help) << c.what;
    EXPECT_EQ(g.window.new_game_asked, c.asked) << c.what;
    EXPECT_EQ(g.request, c.request) << c.what;
    EXPECT_FALSE(g.window.start_notes) << c.what;
    EXPECT_EQ(g.played.moves, played) << c.what;
    // The board shows the position viewed: e4 empty before white's first move.
    shell::draw_board(g, g.board);
    const Point e4 = point_of(sq("e4"), rules::WHITE);
    EXPECT_EQ(pixel(g.screen, e4.x, e4.y) == shell::LIGHT_SQUARE, c.viewed == 0u) << c.what;
  }
}

// The frame and the panel: the margin painted with the coordinates turned with
// the board, the status's progress instead of the dialog, and without a status
// the dialog painted over once the search is done.
TEST_F(ShellTest, FrameAndPanelAsDrawn) {
  std::ostringstream err;
  reopen(g, "coordinates=on;\nstatus=on;\nmovelist=on;\n", err);
  ASSERT_EQ(err.str(), "");
  EXPECT_EQ(g.screen->w, 460 + shell::PANEL_WIDTH);
  shell::start_played(g, game::players_for(rules::BLACK));
  const auto label = [&](int column) {  // the file's label under a screen column
    std::vector<int> ink;
    for (int y = 414; y < 440; ++y) {
      for (int x = 46 + 46 * column; x < 92 + 46 * column; ++x) {
        ink.push_back(pixel(g.screen, x, y) == shell::FRAME_GROUND ? 0 : 1);
      }
    }
    return ink;
  };
  fill(g.screen, {1, 2, 3});
  shell::draw_board(g, start_board());
  const std::vector<int> a = label(0);
  EXPECT_GT(std::count(a.begin(), a.end(), 1), 10);
  EXPECT_EQ(pixel(g.screen, 2, 2), shell::FRAME_GROUND);
  g.user_color = rules::BLACK;
  shell::frame_covered(g);
  shell::draw_board(g, start_board());
  EXPECT_EQ(label(7), a);  // 'a' bottom right, black at the bottom
  EXPECT_NE(label(0), a);
  // The status's bar fills with the progress; no dialog is drawn.
  shell::set_activity(g, shell::Activity::THINKING);
  const SDL_Rect dialog = shell::dialog_position(g);
  shell::show_progress(g, 0.5f);
  EXPECT_EQ(pixel(g.screen, dialog.x + 2, dialog.y + 2), shell::FRAME_GROUND);
  int filled = 0;
  for (int x = 460; x < g.screen->w; ++x) {
    for (int y = 46; y < 120; ++y) filled += pixel(g.screen, x, y) == shell::BAR_FILL;
  }
  EXPECT_GT(filled, 100);
  // Without a status the dialog shows while the computer thinks, and is gone after.
  g.window.status = false;
  shell::show_progress(g, 0.5f);
  EXPECT_EQ(pixel(g.screen, dialog.x + 2, dialog.y + 2), DIALOG_COLOR);
  shell::draw_board(g, start_board());
  EXPECT_EQ(pixel(g.screen, dialog.x + 2, dialog.y + 2), shell::FRAME_GROUND);
}

TEST_F(ShellTest, ScaleTwoDoublesEverySizeAndClicksFollow) {
  std::ostringstream err;
  reopen(g, "scale=7;\n", err);
  EXPECT_EQ(err.str(),
            "morva: conf.ini: scale=7 is not a scale of 1 to 4: the window is drawn at its own "
            "size\n");
  EXPECT_EQ(g.screen->w, 460);
  reopen(g, "scale=2;\nmovelist=on;\n", err);
  EXPECT_EQ(g.screen->w, 2 * (460 + shell::PANEL_WIDTH));
  EXPECT_EQ(g.screen->h, 920);
  EXPECT_EQ(g.piece_sheet->w, 12 * shell::PIECE_SIZE);
  EXPECT_EQ(g.dialog_picture->h, 2 * DIALOG_H);
  EXPECT_EQ(shell::dialog_position(g).x, 920 - 2 * DIALOG_W - 10);
  const struct {
    int x, y;
    rules::Square square;
  } cases[] = {{91, 400, rules::NO_SQUARE}, {92, 827, sq("a1")},
               {92, 828, rules::NO_SQUARE}, {827, 92, sq("h8")},
               {828, 92, rules::NO_SQUARE}, {1000, 300, rules::NO_SQUARE}};
  for (const auto& c : cases) {
    EXPECT_EQ(shell::square_at_point(g, c.x, c.y), c.square) << c.x << ", " << c.y;
  }
  // A piece's cell drawn twice as large: the rook's block at twice its inset.
  shell::draw_board(g, start_board());
  const int inset = 2 * ((shell::SQUARE_SIZE - shell::PIECE_SIZE) / 2 + PIECE_INSET);
  EXPECT_EQ(pixel(g.screen, 92 + inset + 1, 7 * 92 + 92 + inset + 1), piece_color(4));
  EXPECT_EQ(pixel(g.screen, 92 + inset - 2, 7 * 92 + 92 + inset + 1), shell::DARK_SQUARE);
}

// The smooth scaler blends colours, never the key, and keeps the key where it
// has most of the weight.
TEST(ShellScale, PicturesScaleWithoutBlendingTheKey) {
  const shell::Rgb red = {200, 0, 0}, blue = {0, 0, 200};
  SDL_Surface* strip = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0);
  ASSERT_NE(strip, nullptr);
  for (const auto& [x, c] : {std::pair{0, red}, std::pair{1, MAGENTA}, std::pair{2, blue}}) {
    shell::fill_rect(strip, x, 0, 1, 1, c);
  }
  SDL_Surface* twice = shell::scale_picture(strip, 2, MAGENTA);
  ASSERT_NE(twice, nullptr);
  const shell::Rgb expected[] = {red, red, MAGENTA, MAGENTA, blue, blue};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(pixel(twice, x, 1), expected[x]) << x;
  SDL_FreeSurface(twice);
  shell::fill_rect(strip, 1, 0, 1, 1, blue);
  twice = shell::scale_picture(strip, 2, MAGENTA);
  EXPECT_EQ(pixel(twice, 1, 0), (shell::Rgb{150, 0, 50}));  // three quarters red
  SDL_FreeSurface(twice);
  SDL_FreeSurface(strip);
}

}  // namespace
}  // namespace shell_test
