#include "shell_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <ostream>

#include "rules/move_table.h"
#include "shell/startup.h"

namespace shell {

void PrintTo(const Rgb& c, std::ostream* os) {
  *os << "(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}

}  // namespace shell

namespace shell_test {

namespace {

SDL_Surface* new_surface(int w, int h, shell::Rgb c) {
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
  fill(s, c);
  return s;
}

void save(SDL_Surface* s, const std::filesystem::path& path) {
  ASSERT_EQ(SDL_SaveBMP(s, path.c_str()), 0) << SDL_GetError();
  SDL_FreeSurface(s);
}

// This process's scratch folder: made on first use and removed at exit (also
// when a death test's child process ends through exit()). A plain array, so it
// outlives every static object the exit handler could otherwise outlive.
char scratch[] = "/tmp/morva-shell-test-XXXXXX";

void remove_scratch() {
  std::error_code ignored;
  std::filesystem::remove_all(scratch, ignored);
}

std::filesystem::path scratch_folder() {
  static const bool made = [] {
    if (mkdtemp(scratch) == nullptr) return false;
    std::atexit(remove_scratch);
    return true;
  }();
  return made ? std::filesystem::path(scratch) : std::filesystem::path();
}

}  // namespace

shell::Rgb piece_color(int code) {
  const int column = std::abs(code) - 1;
  return {static_cast<Uint8>(20 + 30 * column), static_cast<Uint8>(code > 0 ? 160 : 60), 7};
}

void write_test_pictures(const std::filesystem::path& folder) {
  const std::filesystem::path bitmaps = folder / "bitmaps";
  std::filesystem::create_directories(bitmaps);
  const int p = shell::PIECE_SIZE;
  SDL_Surface* sheet = new_surface(6 * p, 2 * p, MAGENTA);
  for (int code : {1, 2, 3, 4, 5, 6, -1, -2, -3, -4, -5, -6}) {
    const int x = (std::abs(code) - 1) * p + PIECE_INSET;
    const int y = (code > 0 ? 0 : p) + PIECE_INSET;
    fill_rect(sheet, x, y, p - 2 * PIECE_INSET, p - 2 * PIECE_INSET, piece_color(code));
  }
  save(sheet, bitmaps / "piece.bmp");
  save(new_surface(DIALOG_W, DIALOG_H, DIALOG_COLOR), bitmaps / "dialog.bmp");
  save(new_surface(BAR_W, BAR_H, BAR_COLOR), bitmaps / "progress.bmp");
  for (auto [name, color] :
       {std::pair{"white.bmp", WHITE_WIN_COLOR}, std::pair{"black.bmp", BLACK_WIN_COLOR}}) {
    SDL_Surface* end = new_surface(END_W, END_H, MAGENTA);
    fill_rect(end, END_INSET, END_INSET, END_W - 2 * END_INSET, END_H - 2 * END_INSET, color);
    save(end, bitmaps / name);
  }
}

void write_picture(const std::filesystem::path& path, int w, int h) {
  save(new_surface(w, h, MAGENTA), path);
}

shell::Rgb pixel(SDL_Surface* s, int x, int y) {
  SDL_LockSurface(s);
  const Uint8* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
  Uint32 value = 0;
  switch (s->format->BytesPerPixel) {
    case 4:
      value = reinterpret_cast<const Uint32*>(row)[x];
      break;
    case 3:
      value = row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
      break;
    default:
      ADD_FAILURE() << "unexpected pixel size";
  }
  SDL_UnlockSurface(s);
  shell::Rgb c{};
  SDL_GetRGB(value, s->format, &c.r, &c.g, &c.b);
  return c;
}

void fill(SDL_Surface* s, shell::Rgb c) {
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, c.r, c.g, c.b));
}

void push_click(int x, int y, Uint8 button) {
  SDL_Event e{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.button = button;
  e.button.state = SDL_PRESSED;
  e.button.x = static_cast<Uint16>(x);
  e.button.y = static_cast<Uint16>(y);
  ASSERT_EQ(SDL_PushEvent(&e), 0);
}

void push_key(Uint8 type, SDLKey key, SDLMod mod) {
  SDL_Event e{};
  e.type = type;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.sym = key;
  e.key.keysym.mod = mod;
  ASSERT_EQ(SDL_PushEvent(&e), 0);
}

void push_simple(Uint8 type) {
  SDL_Event e{};
  e.type = type;
  if (type == SDL_MOUSEMOTION) {
    e.motion.x = 100;
    e.motion.y = 100;
  }
  ASSERT_EQ(SDL_PushEvent(&e), 0);
}

int drain_events() {
  int count = 0;
  SDL_Event e;
  while (SDL_PollEvent(&e) != 0) ++count;
  return count;
}

void reopen(shell::Game& g, const std::string& game, std::ostream& err) {
  shell::release_game(g);
  std::ofstream("conf.ini") << "[GAME]\n" << game;
  config::IniText ini;
  config::load_ini(ini, "conf.ini");
  g.window = shell::WindowAdditions{};
  shell::read_window_settings(g, ini, err);
  shell::open_window(g);
  shell::load_pictures(g);
  if (shell::text_wanted(ini)) {
    shell::open_text(g.text, shell::font_path(), shell::TEXT_SIZE * g.window.scale, err);
  }
  drain_events();
}

Point point_of(rules::Square square, rules::Side user_color) {
  const int rank = square / 8;
  const int file = square % 8;
  const int i = user_color == rules::WHITE ? 7 - rank : rank;
  const int j = user_color == rules::WHITE ? file : 7 - file;
  const int s = shell::SQUARE_SIZE;
  return {s + j * s + s / 2, s + i * s + s / 2};
}

void ShellTest::SetUp() {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // SDL runs an event thread
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  static const bool tables_built = (rules::build_move_tables(), true);
  ASSERT_TRUE(tables_built);
  previous = std::filesystem::current_path();
  folder = scratch_folder();
  ASSERT_FALSE(folder.empty());
  std::filesystem::current_path(folder);
  write_test_pictures(folder);
  shell::open_window(g);
  shell::load_pictures(g);
  drain_events();  // start with an empty queue (the dummy driver may post a few)
}

void ShellTest::TearDown() {
  shell::release_game(g);
  std::filesystem::current_path(previous);
}

}  // namespace shell_test
