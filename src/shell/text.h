// Text in the window: one TrueType font at one size, opened with SDL_ttf,
// lines of it drawn onto a surface and measured. The Game owns its Text; the
// font is opened only when a setting that shows text is on, so the game
// without those settings needs no font at all.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <iosfwd>
#include <string>

#include "config/ini_file.h"

namespace shell {

struct Rgb;  // draw.h

// Pixel height of the window's text at the window's own size.
inline constexpr int TEXT_SIZE = 14;

// An open font; font is null when none is open (drawing then draws nothing).
struct Text {
  TTF_Font* font = nullptr;
};

// Returns the font file the game was built to use (the CMake cache variable
// MORVA_FONT_PATH; Debian's DejaVu Sans by default).
const char* font_path();

// Returns whether the settings turn on something that shows text: status,
// coordinates, movelist or keyhelp set to "on" in [GAME].
bool text_wanted(const config::IniText& ini);

// Starts SDL_ttf and opens the font at path at size pixels. On failure writes
// "morva: cannot open the font PATH: REASON" to err and returns false, the
// Text staying closed.
bool open_text(Text& text, const char* path, int size, std::ostream& err);

// Closes the font and ends SDL_ttf's use by this Text; nothing when closed.
void close_text(Text& text);

// Returns the size of a line of UTF-8 text as drawn: its width and the
// font's line height (0 x 0 when no font is open).
struct TextSize {
  int w = 0, h = 0;
};
TextSize measure_text(const Text& text, const std::string& line);

// Draws a line of UTF-8 text with its top left corner at (x, y) in colour,
// blended over what the surface shows; returns the rectangle drawn into
// (its measured size, clipped to the surface), empty when nothing is drawn.
SDL_Rect draw_text(SDL_Surface* target, const Text& text, const std::string& line, int x, int y,
                   Rgb colour);

}  // namespace shell
