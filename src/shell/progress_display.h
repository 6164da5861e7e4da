// The progress dialog that the computer player fills while it thinks.
#pragma once

#include <SDL.h>

#include "engine/search_host.h"
#include "shell/game.h"

namespace shell {

// Offsets of the bar inside the dialog, and of the dialog from the window's edges.
inline constexpr int BAR_OFFSET_X = 8;
inline constexpr int BAR_OFFSET_Y = 6;
inline constexpr int DIALOG_EDGE_GAP = 5;

// Returns the dialog's top left corner: 5 pixels from the window's right and bottom.
SDL_Rect dialog_position(const Game& g);

// Drops waiting events (noting a close or Escape), then draws the dialog
// (once per run) and the bar filled to fraction; a fraction of 0 ends a run.
void show_progress(Game& g, float fraction);

// Draws the dialog and the bar as show_progress does, leaving the events.
void draw_progress(Game& g, float fraction);

// Notes what the engine starts to work on, its progress at 0, and with
// status=on shows that at once, before the search's first report; NONE when
// the work is done.
void set_activity(Game& g, Activity activity);

// The computer player's progress report for a window: show_progress on the
// Game that host points to.
void report_to_window(void* host, float fraction);

// What the computer player is given while it thinks in the window: progress
// drawn on g, and a stop when the player quits.
engine::SearchHost window_host(Game& g);

// What a hint's search is given: progress drawn on g, and a stop at the
// human's next click, key or the close, all left queued for the turn.
engine::SearchHost hint_host(Game& g);

}  // namespace shell
