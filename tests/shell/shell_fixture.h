// A window on SDL's dummy driver, test pictures of known colours in a scratch
// folder, and helpers to read pixels and queue events.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "shell/draw.h"
#include "shell/game.h"

namespace shell_test {

// Sizes and colours of the test pictures.
inline constexpr int DIALOG_W = 120, DIALOG_H = 30;
inline constexpr int BAR_W = 100, BAR_H = 10;
inline constexpr int END_W = 80, END_H = 40;
inline constexpr int END_INSET = 10;    // the end pictures are magenta within this border
inline constexpr int PIECE_INSET = 12;  // piece cells are magenta within this border
inline constexpr shell::Rgb DIALOG_COLOR = {10, 200, 10};
inline constexpr shell::Rgb BAR_COLOR = {200, 10, 10};
inline constexpr shell::Rgb WHITE_WIN_COLOR = {250, 250, 0};
inline constexpr shell::Rgb BLACK_WIN_COLOR = {0, 0, 250};
inline constexpr shell::Rgb MAGENTA = {255, 0, 255};

// Returns the starting position.
inline rules::Board start_board() { return rules::board_from_cells(rules::starting_cells); }

// Returns the colour of the middle of the piece cell for a cell code.
shell::Rgb piece_color(int code);

// Writes the five test pictures as BMP files into folder/bitmaps.
void write_test_pictures(const std::filesystem::path& folder);

// Writes a magenta picture of w x h pixels as a BMP file.
void write_picture(const std::filesystem::path& path, int w, int h);

// Returns the colour of a pixel of a surface.
shell::Rgb pixel(SDL_Surface* s, int x, int y);

// Fills the whole surface with a colour.
void fill(SDL_Surface* s, shell::Rgb c);

// Queues a mouse button press at window pixel (x, y).
void push_click(int x, int y, Uint8 button = SDL_BUTTON_LEFT);

// Queues a key event (SDL_KEYDOWN or SDL_KEYUP) for a key, with modifiers held.
void push_key(Uint8 type, SDLKey key, SDLMod mod = KMOD_NONE);

// Queues an event of a type without data (SDL_QUIT) or a mouse motion.
void push_simple(Uint8 type);

// Returns the number of events waiting, taking them from the queue.
int drain_events();

// Opens g's window again with the settings of a conf.ini holding the [GAME]
// lines given (written into the working folder), its text with them;
// reports go to err.
void reopen(shell::Game& g, const std::string& game, std::ostream& err);

// Screen position of a square's centre for an orientation.
struct Point {
  int x, y;
};
Point point_of(rules::Square square, rules::Side user_color);

// A Game with an open window on the dummy driver and the test pictures loaded,
// run inside a scratch working folder.
class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  shell::Game g;
  std::filesystem::path folder;
  std::filesystem::path previous;
};

}  // namespace shell_test

namespace shell {

// Colours compare and print in the tests.
inline bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
void PrintTo(const Rgb& c, std::ostream* os);

}  // namespace shell
