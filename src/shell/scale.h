// The window drawn larger (scale=N): the setting read, and the pictures made
// N times their size.
#pragma once

#include <SDL.h>

#include <optional>
#include <string>

#include "config/ini_file.h"
#include "shell/draw.h"

namespace shell {

// The largest scale the window is drawn at.
inline constexpr int MAX_SCALE = 4;

// The scale of the settings and, for a value that is none, the slip that says so.
struct ScaleSetting {
  int scale = 1;
  std::optional<std::string> slip;  // as config::find_slips words them, without its prefix
};

// Reads scale in [GAME]: a whole number from 1 to MAX_SCALE; left out it is 1,
// and any other value is a slip, 1 being used.
ScaleSetting read_scale(const config::IniText& ini);

// Returns a new 32-bit surface factor times the picture's size, drawn smoothly:
// each pixel blends the picture's four nearest pixels (bilinear), pixels of the
// key colour left out of the blend, and is the key colour itself where the key
// has more than half the weight, so that no key colour is blended into an edge.
// Null when SDL cannot make the surface.
SDL_Surface* scale_picture(SDL_Surface* picture, int factor, Rgb key);

}  // namespace shell
