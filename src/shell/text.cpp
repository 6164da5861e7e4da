// Lines of text with SDL_ttf: the font opened and closed, lines measured and
// blended onto a surface.
#include "shell/text.h"

#include <ostream>

#include "config/known_keys.h"
#include "shell/draw.h"

namespace shell {

namespace {

// The settings that show text; each is off unless set to "on".
constexpr const char* TEXT_KEYS[] = {"status", "coordinates", "movelist", "keyhelp"};

}  // namespace

const char* font_path() { return MORVA_FONT_PATH; }

bool text_wanted(const config::IniText& ini) {
  for (const char* key : TEXT_KEYS) {
    if (config::ini_find(ini, config::GAME_SECTION, key) == "on") return true;
  }
  return false;
}

bool open_text(Text& text, const char* path, int size, std::ostream& err) {
  close_text(text);
  if (TTF_Init() != 0) {
    err << "morva: cannot start the text library: " << TTF_GetError() << "\n";
    return false;
  }
  text.font = TTF_OpenFont(path, size);
  if (text.font == nullptr) {
    err << "morva: cannot open the font " << path << ": " << TTF_GetError() << "\n";
    TTF_Quit();
    return false;
  }
  return true;
}

void close_text(Text& text) {
  if (text.font == nullptr) return;
  TTF_CloseFont(text.font);
  text.font = nullptr;
  TTF_Quit();
}

TextSize measure_text(const Text& text, const std::string& line) {
  TextSize size;
  if (text.font == nullptr) return size;
  if (!line.empty() && TTF_SizeUTF8(text.font, line.c_str(), &size.w, &size.h) != 0) return {};
  size.h = TTF_FontHeight(text.font);
  return size;
}

SDL_Rect draw_text(SDL_Surface* target, const Text& text, const std::string& line, int x, int y,
                   Rgb colour) {
  SDL_Rect drawn = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
  if (text.font == nullptr || line.empty()) return drawn;
  const SDL_Color ink = {colour.r, colour.g, colour.b, 0};
  SDL_Surface* rendered = TTF_RenderUTF8_Blended(text.font, line.c_str(), ink);
  if (rendered == nullptr) return drawn;
  // The blit clips to the target and leaves the rectangle it drew into.
  SDL_BlitSurface(rendered, nullptr, target, &drawn);
  SDL_FreeSurface(rendered);
  return drawn;
}

}  // namespace shell
