// The window's additions drawn around the board: the frame (the board's margin
// painted, with the coordinates of coordinates=on and the key note of
// keyhelp=on), the panel to the right of the board (the status of status=on,
// the moves of movelist=on) and the key help over the board. Each is drawn
// again only when what it shows has changed, so the human's turn, which draws
// the board at every pass, does not render text at every pass.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "shell/draw.h"
#include "shell/game.h"
#include "shell/text.h"

namespace shell {

// Width of the panel at the window's own size, in pixels.
inline constexpr int PANEL_WIDTH = 250;

// The frame's and the panel's colours.
inline constexpr Rgb FRAME_GROUND = {30, 28, 32};
inline constexpr Rgb COORDINATE_INK = {175, 172, 178};
inline constexpr Rgb PLAIN_INK = {236, 234, 238};
inline constexpr Rgb QUIET_INK = {165, 162, 170};
inline constexpr Rgb WARNING_INK = {255, 170, 90};
inline constexpr Rgb GOOD_INK = {130, 220, 140};
inline constexpr Rgb BAR_TRACK = {72, 70, 78};
inline constexpr Rgb BAR_FILL = {110, 170, 240};
inline constexpr Rgb LAST_PLY_MARK = {66, 63, 72};     // behind the last move in the list
inline constexpr Rgb VIEWED_PLY_MARK = {58, 96, 160};  // behind the move of the position viewed
inline constexpr Rgb HELP_GROUND = {22, 21, 26};  // the key help over the board, edged in BAR_TRACK

// Returns whether the window has the panel: status or movelist is on.
bool has_panel(const Game& g);

// Returns whether the board's margin is painted: any addition that shows text is on.
bool has_frame(const Game& g);

// Returns the window's size: the board with its margin, ten squares a side,
// and the panel beside it.
int window_width(const Game& g);
int window_height(const Game& g);

// Returns a line of text cut into lines no wider than width: at its dash
// where each half fits a line, otherwise between words (a dash kept with the
// word before it); a word wider than width stands alone.
std::vector<std::string> wrap_text(const Text& text, const std::string& line, int width);

// Draws onto the screen what has changed of the frame and the panel since
// they were last drawn, and the key help while it is shown; nothing without
// the additions. The screen is not presented.
void draw_additions(Game& g);

// Notes that something else drew over the margin (the progress dialog), so
// that draw_additions paints the frame afresh.
void frame_covered(Game& g);

}  // namespace shell
