// Start-up and shutdown: the mode from usercolor, the window, the pictures and
// their keys, the failure exits, quitting, and the cursor picture.
#include "shell/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/version.h"
#include "shell/cursor.h"
#include "shell/panel.h"
#include "shell/scale.h"
#include "shell_fixture.h"

namespace shell_test {
namespace {

TEST(ShellChooseMode, OnlyTheExactWordsChangeTheDefault) {
  const struct {
    const char* value;
    rules::Side user_color;
    bool human_first;
    bool demo;
  } cases[] = {
      {"white", rules::WHITE, true, false},
      {"black", rules::BLACK, false, false},
      {"demo", rules::WHITE, false, true},
      {"White", rules::WHITE, false, false},
      {"blacks", rules::WHITE, false, false},
      {"", rules::WHITE, false, false},
      {"value not found", rules::WHITE, false, false},
      {"section not found", rules::WHITE, false, false},
  };
  for (const auto& c : cases) {
    const shell::GameMode mode = shell::choose_mode(c.value);
    EXPECT_EQ(mode.user_color, c.user_color) << c.value;
    EXPECT_EQ(mode.human_first, c.human_first) << c.value;
    EXPECT_EQ(mode.demo, c.demo) << c.value;
  }
}

TEST_F(ShellTest, WindowIs460Square32BitsWithItsTitles) {
  EXPECT_EQ(g.screen->w, 460);
  EXPECT_EQ(g.screen->h, 460);
  EXPECT_EQ(g.screen->format->BitsPerPixel, 32);
  char* title = nullptr;
  char* icon = nullptr;
  SDL_WM_GetCaption(&title, &icon);
  ASSERT_NE(title, nullptr);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(std::string(title), std::string("Morva - 0.102.5 - ") + config::CONTACT_ADDRESS);
  EXPECT_STREQ(icon, "Morva");
}

TEST_F(ShellTest, PicturesCarryTheMagentaKeyAndTheEndPicturesAlpha) {
  SDL_Surface* all[] = {g.piece_sheet, g.dialog_picture, g.progress_picture, g.white_picture,
                        g.black_picture};
  for (SDL_Surface* p : all) {
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(p->format->colorkey, SDL_MapRGB(p->format, 255, 0, 255));
  }
  EXPECT_EQ(g.piece_sheet->w, 6 * shell::PIECE_SIZE);
  EXPECT_EQ(g.dialog_picture->w, DIALOG_W);
  EXPECT_EQ(g.progress_picture->w, BAR_W);
  for (SDL_Surface* p : {g.white_picture, g.black_picture}) {
    EXPECT_TRUE(p->flags & SDL_SRCALPHA);
    EXPECT_EQ(p->format->alpha, 130);
  }
  for (SDL_Surface* p : {g.piece_sheet, g.dialog_picture, g.progress_picture}) {
    EXPECT_FALSE(p->flags & SDL_SRCALPHA);
  }
  // The readable sheet (clearboard=on) takes the piece sheet's place, keyed alike.
  std::filesystem::copy_file(folder / "bitmaps/piece.bmp", folder / "bitmaps/clear-pieces.bmp",
                             std::filesystem::copy_options::overwrite_existing);
  shell::load_clear_pieces(g);
  ASSERT_NE(g.piece_sheet, nullptr);
  EXPECT_TRUE(g.piece_sheet->flags & SDL_SRCCOLORKEY);
  EXPECT_FALSE(g.piece_sheet->flags & SDL_SRCALPHA);
}

TEST_F(ShellTest, ReleaseGivesBackEverything) {
  g.cursor = shell::make_cursor(shell::cursor_picture);
  ASSERT_NE(g.cursor, nullptr);
  shell::release_game(g);
  EXPECT_EQ(g.cursor, nullptr);
  EXPECT_EQ(g.piece_sheet, nullptr);
  EXPECT_EQ(g.white_picture, nullptr);
  EXPECT_EQ(g.black_picture, nullptr);
  EXPECT_EQ(g.dialog_picture, nullptr);
  EXPECT_EQ(g.progress_picture, nullptr);
  EXPECT_EQ(g.screen, nullptr);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  shell::release_game(g);  // a second release is harmless (TearDown does one too)
}

// Each picture that is missing, unreadable or too small to draw from is named
// in an ERROR report; the process ends with -1.
TEST_F(ShellTest, BadPictureIsAnErrorWithStatusMinusOne) {
  const struct {
    const char* name;
    int w, h;            // a picture of this size replaces the file; w 0 removes it, -1 spoils it
    const char* reason;  // the report after the path
  } cases[] = {
      {"piece", 0, 0, ": .*"},
      {"dialog", 0, 0, ": .*"},
      {"progress", 0, 0, ": .*"},
      {"white", 0, 0, ": .*"},
      {"black", 0, 0, ": .*"},
      {"progress", -1, 0, ": .*"},
      {"piece", 239, 80, " is 239 x 80, smaller than 240 x 80 \\(6 x 2 piece cells\\)"},
      {"piece", 240, 79, " is 240 x 79, smaller than 240 x 80 "},
      {"dialog", BAR_W + 7, DIALOG_H, " is 107 x 30, smaller than 108 x 16 \\(the bar at "},
      {"dialog", DIALOG_W, BAR_H + 5, " is 120 x 15, smaller than 108 x 16 "},
  };
  for (const auto& c : cases) {
    const std::string path = std::string("./bitmaps/") + c.name + ".bmp";
    const bool loads = c.w > 0;
    EXPECT_EXIT(
        {
          if (loads) write_picture(path, c.w, c.h);
          if (c.w == 0) std::filesystem::remove(path);
          if (c.w < 0) std::ofstream(path) << "not a picture";
          dup2(STDERR_FILENO, STDOUT_FILENO);  // the report goes to standard output
          shell::Game fresh;
          shell::open_window(fresh);
          shell::load_pictures(fresh);
        },
        ::testing::ExitedWithCode(255),
        std::string(loads ? "ERROR\tpicture " : "ERROR\tcannot load picture ") + path + c.reason +
            ".*\n\tfile startup.cpp line [0-9]+\n\tcompilation ");
  }
}

TEST(ShellStartFailure, SdlThatCannotStartIsAnErrorWithStatusMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
        dup2(STDERR_FILENO, STDOUT_FILENO);
        shell::Game fresh;
        shell::open_window(fresh);
      },
      ::testing::ExitedWithCode(255),
      "ERROR\tcannot start SDL: No available video device\n\tfile startup.cpp line ");
}

TEST(ShellStartFailure, ADisplayThatCannotBeOpenedIsOneLineWithStatusMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const char* display : {":59", ""}) {
    EXPECT_EXIT(
        {
          unsetenv("SDL_VIDEODRIVER");
          setenv("DISPLAY", display, 1);
          shell::Game fresh;
          shell::open_window(fresh);
        },
        ::testing::ExitedWithCode(255), testing::Eq(shell::display_failure(display) + "\n"));
  }
  EXPECT_EQ(shell::display_failure(":59"),
            "morva: cannot open the display ':59' (is X running? over ssh, use ssh -X)");
}

TEST_F(ShellTest, QuitEndsWithStatusZero) {
  EXPECT_EXIT(shell::quit_game(g), ::testing::ExitedWithCode(0), "");
}

// The search's question whether to stop leaves every event in the queue, and
// says yes for a close or Escape released waiting behind others.
TEST_F(ShellTest, StopQuestionTakesNothingAndSeesAWaitingQuit) {
  push_click(100, 100);
  push_key(SDL_KEYDOWN, SDLK_ESCAPE);
  push_key(SDL_KEYUP, SDLK_RETURN);
  push_simple(SDL_MOUSEMOTION);
  EXPECT_FALSE(shell::quit_requested(&g));
  EXPECT_EQ(drain_events(), 4);
  for (void (*quit)() :
       {+[] { push_simple(SDL_QUIT); }, +[] { push_key(SDL_KEYUP, SDLK_ESCAPE); }}) {
    g.quit_requested = false;
    push_click(100, 100);
    quit();
    EXPECT_TRUE(shell::quit_requested(&g));
    EXPECT_EQ(drain_events(), 2);
  }
}

// The hand as drawn in rows of (first, last) column ranges: black, then white.
struct Span {
  int first, last;
};
struct HandRow {
  int row;
  std::vector<Span> black, white;
};
const HandRow HAND[] = {
    {2, {{6, 17}}, {}},
    {3, {{5, 5}, {18, 19}}, {{6, 17}}},
    {4, {{3, 13}, {20, 20}}, {{14, 19}}},
    {5, {{2, 2}, {14, 14}, {21, 21}}, {{3, 13}, {15, 20}}},
    {6, {{2, 10}, {21, 21}}, {{11, 20}}},
    {7, {{1, 1}, {11, 11}, {21, 21}}, {{2, 10}, {12, 20}}},
    {8, {{2, 8}, {21, 21}}, {{9, 20}}},
    {9, {{1, 1}, {21, 21}}, {{2, 20}}},
    {10, {{2, 8}, {21, 21}}, {{9, 20}}},
    {11, {{9, 9}, {21, 21}}, {{10, 20}}},
    {12, {{10, 10}, {21, 21}}, {{11, 20}}},
    {13, {{11, 11}, {22, 22}}, {{12, 21}}},
    {14, {{12, 12}, {23, 23}}, {{13, 22}}},
    {15, {{13, 13}, {24, 24}}, {{14, 23}}},
    {16, {{14, 14}, {25, 25}}, {{15, 24}}},
    {17, {{15, 15}, {22, 26}}, {{16, 21}}},
    {18, {{16, 16}, {18, 23}}, {{17, 17}}},
    {19, {{17, 18}}, {}},
};

bool bit(const std::uint8_t* bits, int row, int col) {
  return (bits[row * 4 + col / 8] >> (7 - col % 8)) & 1;
}

TEST(ShellCursor, PictureIsTheHandWithItsHotSpotTopLeft) {
  EXPECT_STREQ(shell::cursor_picture[36], "0,0");
  const shell::CursorBits bits = shell::cursor_bits(shell::cursor_picture);
  EXPECT_EQ(bits.hot_x, 0);
  EXPECT_EQ(bits.hot_y, 0);
  char expected[32][33];
  for (auto& row : expected) std::memset(row, ' ', 32), row[32] = '\0';
  for (const HandRow& r : HAND) {
    for (Span s : r.black)
      for (int c = s.first; c <= s.last; ++c) expected[r.row][c] = 'X';
    for (Span s : r.white)
      for (int c = s.first; c <= s.last; ++c) expected[r.row][c] = '.';
  }
  for (int row = 0; row < 32; ++row) {
    EXPECT_EQ(std::strlen(shell::cursor_picture[4 + row]), 32u) << "row " << row;
    char seen[33] = {};
    for (int col = 0; col < 32; ++col) {
      const bool black = bit(bits.data, row, col);
      const bool drawn = bit(bits.mask, row, col);
      seen[col] = black && drawn ? 'X' : drawn ? '.' : black ? '?' : ' ';
    }
    EXPECT_STREQ(seen, expected[row]) << "picture row " << row;
  }
}

TEST(ShellCursor, BitsPutTheLeftmostPixelHighestAndReadTheHotSpot) {
  const char* picture[shell::CURSOR_PICTURE_ROWS];
  for (int n = 0; n < 4; ++n) picture[n] = "header";
  for (int n = 4; n < 36; ++n) picture[n] = "";     // short rows are transparent
  picture[4] = "X.      #      .X              X";  // '#' is no colour: transparent
  picture[36] = "5,7";
  const shell::CursorBits bits = shell::cursor_bits(picture);
  const std::uint8_t data[4] = {0x80, 0x00, 0x80, 0x01};
  const std::uint8_t mask[4] = {0xC0, 0x01, 0x80, 0x01};
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(bits.data[n], data[n]) << "byte " << n;
    EXPECT_EQ(bits.mask[n], mask[n]) << "byte " << n;
  }
  for (int n = 4; n < shell::CURSOR_BYTES; ++n) {
    ASSERT_EQ(bits.data[n] | bits.mask[n], 0) << "byte " << n;
  }
  EXPECT_EQ(bits.hot_x, 5);
  EXPECT_EQ(bits.hot_y, 7);
}

// scale=2 doubles the window; a scale that is none is a slip.
TEST_F(ShellTest, ScaleTwoDoublesTheWindow) {
  std::ostringstream err;
  reopen(g, "scale=7;\n", err);
  EXPECT_EQ(err.str(),
            "morva: conf.ini: scale=7 is not a scale of 1 to 4: the window is drawn "
            "at its own size\n");
  EXPECT_EQ(g.screen->w, 460);
  reopen(g, "scale=2;\nmovelist=on;\n", err);
  EXPECT_EQ(g.screen->w, 2 * (460 + shell::PANEL_WIDTH));
  EXPECT_EQ(g.screen->h, 920);
}

// The scaler keeps a picture's edges and never blends its key into a colour.
TEST(ShellScale, PicturesScaleWithoutBlendingTheKey) {
  SDL_Surface* strip = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0);
  const shell::Rgb red = {200, 0, 0}, blue = {0, 0, 200}, row[] = {red, MAGENTA, blue};
  for (int x = 0; x < 3; ++x) shell::fill_rect(strip, x, 0, 1, 1, row[x]);
  SDL_Surface* twice = shell::scale_picture(strip, 2, MAGENTA);
  const shell::Rgb expected[] = {red, red, MAGENTA, MAGENTA, blue, blue};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(pixel(twice, x, 1), expected[x]) << x;
  SDL_FreeSurface(twice);
  SDL_FreeSurface(strip);
}

}  // namespace
}  // namespace shell_test
