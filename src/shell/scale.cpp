// The scale setting, and pictures scaled up smoothly around their key colour.
#include "shell/scale.h"

#include <algorithm>
#include <cmath>

#include "config/known_keys.h"

namespace shell {

namespace {

constexpr const char* SCALE_KEY = "scale";

// Returns the pixel at (x, y) of a surface of 3 or 4 bytes a pixel, locked.
Rgb pixel_at(const SDL_Surface* s, int x, int y) {
  const Uint8* p =
      static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
  Uint32 value = 0;
  if (s->format->BytesPerPixel == 4) {
    value = *reinterpret_cast<const Uint32*>(p);
  } else {
    value = p[0] | (p[1] << 8) | (p[2] << 16);  // 24-bit BMPs, little-endian
  }
  Rgb c{};
  SDL_GetRGB(value, s->format, &c.r, &c.g, &c.b);
  return c;
}

// Where destination pixel d falls between the source's pixels, for a factor:
// the lower source pixel and the weight of the upper one.
struct Sample {
  int low, high;
  float upper;
};

Sample sample(int d, int factor, int size) {
  const float at = (static_cast<float>(d) + 0.5f) / static_cast<float>(factor) - 0.5f;
  const float low = std::floor(at);
  // Beyond the edges both neighbours are the edge's pixel.
  const int l = static_cast<int>(low);
  return {std::clamp(l, 0, size - 1), std::clamp(l + 1, 0, size - 1), at - low};
}

}  // namespace

ScaleSetting read_scale(const config::IniText& ini) {
  const std::optional<std::string> value = config::ini_find(ini, config::GAME_SECTION, SCALE_KEY);
  if (!value) return {};
  const bool digit = value->size() == 1 && (*value)[0] >= '1' && (*value)[0] <= '0' + MAX_SCALE;
  if (digit) return {(*value)[0] - '0', std::nullopt};
  return {1, std::string(SCALE_KEY) + "=" + *value + " is not a scale of 1 to " +
                 std::to_string(MAX_SCALE) + ": the window is drawn at its own size"};
}

SDL_Surface* scale_picture(SDL_Surface* picture, int factor, Rgb key) {
  const int w = picture->w, h = picture->h;
  SDL_Surface* scaled = SDL_CreateRGBSurface(SDL_SWSURFACE, w * factor, h * factor, 32, 0xFF0000,
                                             0x00FF00, 0x0000FF, 0);
  if (scaled == nullptr) return nullptr;
  SDL_LockSurface(picture);
  SDL_LockSurface(scaled);
  const Uint32 key_value = SDL_MapRGB(scaled->format, key.r, key.g, key.b);
  for (int y = 0; y < h * factor; ++y) {
    const Sample sy = sample(y, factor, h);
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(scaled->pixels) + y * scaled->pitch);
    for (int x = 0; x < w * factor; ++x) {
      const Sample sx = sample(x, factor, w);
      const struct {
        int x, y;
        float weight;
      } near[] = {{sx.low, sy.low, (1 - sx.upper) * (1 - sy.upper)},
                  {sx.high, sy.low, sx.upper * (1 - sy.upper)},
                  {sx.low, sy.high, (1 - sx.upper) * sy.upper},
                  {sx.high, sy.high, sx.upper * sy.upper}};
      float weight = 0, r = 0, g = 0, b = 0;
      for (const auto& n : near) {
        const Rgb c = pixel_at(picture, n.x, n.y);
        if (c.r == key.r && c.g == key.g && c.b == key.b) continue;
        weight += n.weight;
        r += n.weight * c.r;
        g += n.weight * c.g;
        b += n.weight * c.b;
      }
      const auto channel = [&](float v) { return static_cast<Uint8>(std::lround(v / weight)); };
      row[x] = weight <= 0.5f ? key_value
                              : SDL_MapRGB(scaled->format, channel(r), channel(g), channel(b));
    }
  }
  SDL_UnlockSurface(scaled);
  SDL_UnlockSurface(picture);
  return scaled;
}

}  // namespace shell
