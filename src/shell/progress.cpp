// The progress dialog and bar, and the report that the computer player calls.
#include <algorithm>

#include "shell/progress_display.h"
#include "shell/startup.h"

namespace shell {

SDL_Rect dialog_position(const Game& g) {
  const int window = 10 * g.square_size;
  SDL_Rect at = {static_cast<Sint16>(window - g.dialog_picture->w - DIALOG_EDGE_GAP),
                 static_cast<Sint16>(window - g.dialog_picture->h - DIALOG_EDGE_GAP), 0, 0};
  return at;
}

void show_progress(Game& g, float fraction) {
  poll_quit(g);
  draw_progress(g, fraction);
}

void draw_progress(Game& g, float fraction) {
  const SDL_Rect at = dialog_position(g);
  if (fraction != 0.0f && !g.progress_shown) {
    g.progress_shown = true;
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
    SDL_Rect target = {static_cast<Sint16>(at.x + BAR_OFFSET_X),
                       static_cast<Sint16>(at.y + BAR_OFFSET_Y), 0, 0};
    SDL_BlitSurface(g.progress_picture, &source, g.screen, &target);
    SDL_Flip(g.screen);
  }
  if (fraction == 0.0f) g.progress_shown = false;
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
