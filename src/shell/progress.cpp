// The progress dialog and bar, and the report that the computer player calls.
#include <algorithm>

#include "shell/panel.h"
#include "shell/progress_display.h"
#include "shell/startup.h"

namespace shell {

SDL_Rect dialog_position(const Game& g) {
  const int board = 10 * g.square_size;  // the board with its margin
  const int gap = DIALOG_EDGE_GAP * g.window.scale;
  SDL_Rect at = {static_cast<Sint16>(board - g.dialog_picture->w - gap),
                 static_cast<Sint16>(board - g.dialog_picture->h - gap), 0, 0};
  return at;
}

void show_progress(Game& g, float fraction) {
  poll_quit(g);
  draw_progress(g, fraction);
}

void draw_progress(Game& g, float fraction) {
  if (g.window.status) {
    // The status says it instead of the dialog; a fraction of 0 only ends a run.
    if (fraction != 0.0f) g.window.progress = fraction;
    draw_additions(g);
    SDL_Flip(g.screen);
    return;
  }
  const SDL_Rect at = dialog_position(g);
  if (fraction != 0.0f && !g.progress_shown) {
    g.progress_shown = true;
    frame_covered(g);  // a painted margin is painted again once the search is done
    SDL_Rect target = at;
    SDL_BlitSurface(g.dialog_picture, nullptr, g.screen, &target);
    SDL_Flip(g.screen);
  }
  if (g.progress_shown) {
    int width = static_cast<int>(static_cast<float>(g.progress_picture->w) * fraction);
    width =
        std::clamp(width, 0, g.progress_picture->w);  // a fraction outside 0..1 stays in the bar
    SDL_Rect source = {0, 0, static_cast<Uint16>(width),
                       static_cast<Uint16>(g.progress_picture->h)};
    SDL_Rect target = {static_cast<Sint16>(at.x + BAR_OFFSET_X * g.window.scale),
                       static_cast<Sint16>(at.y + BAR_OFFSET_Y * g.window.scale), 0, 0};
    SDL_BlitSurface(g.progress_picture, &source, g.screen, &target);
    SDL_Flip(g.screen);
  }
  if (fraction == 0.0f) g.progress_shown = false;
}

void set_activity(Game& g, Activity activity) {
  g.window.activity = activity;
  g.window.progress = 0.0f;
  if (g.window.status && activity != Activity::NONE) {
    draw_additions(g);
    SDL_Flip(g.screen);
  }
}

void report_to_window(void* host, float fraction) {
  show_progress(*static_cast<Game*>(host), fraction);
}

engine::SearchHost window_host(Game& g) { return {&g, report_to_window, quit_requested}; }

namespace {

void draw_hint_progress(void* host, float fraction) {
  draw_progress(*static_cast<Game*>(host), fraction);
}

// Whether a click, a released key or the close waits, taking nothing.
bool human_acted(void*) {
  if (quit_signalled()) return true;
  SDL_Event events[1];
  return SDL_PeepEvents(events, 1, SDL_PEEKEVENT,
                        SDL_QUITMASK | SDL_KEYUPMASK | SDL_MOUSEBUTTONDOWNMASK) > 0;
}

}  // namespace

engine::SearchHost hint_host(Game& g) { return {&g, draw_hint_progress, human_acted}; }

}  // namespace shell
