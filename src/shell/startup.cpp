// Start-up and shutdown: SDL, window, pictures, cursor, game mode, orderly end.
#include "shell/startup.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "config/ini_file.h"
#include "config/known_keys.h"
#include "config/log_report.h"
#include "config/settings_slips.h"
#include "config/version.h"
#include "engine/strength.h"
#include "shell/clear_board.h"
#include "shell/cursor.h"
#include "shell/draw.h"
#include "shell/loops.h"
#include "shell/panel.h"
#include "shell/played.h"
#include "shell/progress_display.h"
#include "shell/scale.h"

namespace shell {

namespace {

// Events of SDL 1.2's whole queue: the most one look can find.
constexpr int EVENT_QUEUE_CAPACITY = 128;

// The video driver of a window on this system, unless SDL_VIDEODRIVER names one.
constexpr const char* WINDOW_DRIVER = "x11";

// The exit status when the record or the saved game could not be written.
constexpr int RECORD_FAILURE_STATUS = 1;

// The colour of every picture that is not drawn: the pictures' transparent key.
constexpr Rgb PICTURE_KEY = {255, 0, 255};

// Set by the termination signals, on whichever thread takes them; read by the
// start, the game's loops and the search's stop question.
std::atomic<bool> quit_signal{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void note_quit_signal(int) { quit_signal.store(true, std::memory_order_relaxed); }

// Writes out the game record and ends the process; a record that could not
// be written is reported, and turns a status of 0 into a failure.
[[noreturn]] void end_process(Game& g, int status) {
  int error = 0;
  if (g.record) {
    error = g.record->finish();
    g.record.reset();
  }
  std::cout.flush();
  std::fflush(stdout);
  if (error != 0) {
    std::cerr << "morva: cannot write the game record: " << std::strerror(error) << "\n";
    if (status == 0) status = RECORD_FAILURE_STATUS;
  }
  if (g.save_error != 0) {
    std::cerr << "morva: the game was not saved whole in " << g.saved->path() << "\n";
    if (status == 0) status = RECORD_FAILURE_STATUS;
  }
  g.saved.reset();  // gives up its lock
  std::exit(status);
}

// Reports a start-up failure, gives back what was made and ends with status -1.
[[noreturn]] void fail_start(Game& g, const std::string& message) {
  LOG_REPORT(config::ERROR_KIND, message.c_str());
  release_game(g);
  end_process(g, FAILURE_STATUS);
}

// Loads one BMP with the magenta key, factor times its size; alpha > 0 also
// blends it at that opacity.
SDL_Surface* load_picture(Game& g, const char* path, int alpha, int factor) {
  SDL_RWops* file = SDL_RWFromFile(path, "rb");
  SDL_Surface* picture = file != nullptr ? SDL_LoadBMP_RW(file, 1) : nullptr;
  if (picture == nullptr) {
    fail_start(g, std::string("cannot load picture ") + path + ": " + SDL_GetError());
  }
  if (factor > 1) {
    SDL_Surface* scaled = scale_picture(picture, factor, PICTURE_KEY);
    SDL_FreeSurface(picture);
    if (scaled == nullptr) {
      fail_start(g, std::string("cannot scale picture ") + path + ": " + SDL_GetError());
    }
    picture = scaled;
  }
  SDL_SetColorKey(picture, SDL_SRCCOLORKEY,
                  SDL_MapRGB(picture->format, PICTURE_KEY.r, PICTURE_KEY.g, PICTURE_KEY.b));
  if (alpha > 0) SDL_SetAlpha(picture, SDL_SRCALPHA, static_cast<Uint8>(alpha));
  return picture;
}

// Ends the start like a picture that cannot be loaded when a picture is smaller
// than what is drawn from it.
void require_size(Game& g, const char* path, const SDL_Surface* picture, int w, int h,
                  const std::string& needed_for) {
  if (picture->w >= w && picture->h >= h) return;
  fail_start(g, std::string("picture ") + path + " is " + std::to_string(picture->w) + " x " +
                    std::to_string(picture->h) + ", smaller than " + std::to_string(w) + " x " +
                    std::to_string(h) + " (" + needed_for + ")");
}

// Frees a surface and forgets it.
void free_surface(SDL_Surface*& surface) {
  if (surface != nullptr) SDL_FreeSurface(surface);
  surface = nullptr;
}

// Loads a piece sheet in place of the one loaded before, factor times its size.
void load_piece_sheet(Game& g, const char* path, int factor) {
  free_surface(g.piece_sheet);
  g.piece_sheet = load_picture(g, path, 0, factor);
  // A smaller sheet would leave pieces undrawn, a smaller dialog bars drawn outside it.
  require_size(g, path, g.piece_sheet, PIECE_SHEET_COLUMNS * g.piece_size,
               PIECE_SHEET_ROWS * g.piece_size,
               std::to_string(PIECE_SHEET_COLUMNS) + " x " + std::to_string(PIECE_SHEET_ROWS) +
                   " piece cells");
}

}  // namespace

GameMode choose_mode(const std::string& usercolor) {
  GameMode mode = {rules::WHITE, false, false};
  if (usercolor == "white") mode = {rules::WHITE, true, false};
  if (usercolor == "black") mode = {rules::BLACK, false, false};
  if (usercolor == "demo") mode.demo = true;
  return mode;
}

GameMode saved_mode(const game::Players& players) {
  const std::optional<rules::Side> human = game::human_side(players);
  if (!human) return choose_mode("demo");
  return choose_mode(*human == rules::WHITE ? "white" : "black");
}

game::Players mode_players(const GameMode& mode) {
  if (mode.demo) return game::players_for(std::nullopt);
  return game::players_for(mode.human_first ? rules::WHITE : rules::BLACK);
}

std::string display_failure(const char* display) {
  if (display == nullptr || *display == '\0') {
    return "morva: no display to open the window on: DISPLAY is not set (is X running? over "
           "ssh, use ssh -X)";
  }
  return std::string("morva: cannot open the display '") + display +
         "' (is X running? over ssh, use ssh -X)";
}

void open_window(Game& g) {
#if defined(__unix__) && !defined(__APPLE__)
  // Without a display SDL 1.2 would fall back to a text-mode driver that draws
  // into the terminal, and so into the record: the window system's driver
  // unless another is named.
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  const bool window_system = asked == nullptr || *asked == '\0';
  if (window_system) setenv("SDL_VIDEODRIVER", WINDOW_DRIVER, 1);
#else
  const bool window_system = false;
#endif
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTTHREAD) != 0) {
    // The window system's driver starts only with a display: a player's slip
    // (a stale DISPLAY over ssh), told in one line.
    if (window_system) {
      std::cerr << display_failure(std::getenv("DISPLAY")) << "\n";
      release_game(g);
      end_process(g, FAILURE_STATUS);
    }
    fail_start(g, std::string("cannot start SDL: ") + SDL_GetError());
  }
  // Set once, while the queue holds nothing of the window's: setting a filter
  // empties it.
  SDL_SetEventFilter(keep_event);
  quit_if_signalled(g);  // before the window opens
  g.screen = SDL_SetVideoMode(window_width(g), window_height(g), 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
  if (g.screen == nullptr) {
    fail_start(g, std::string("cannot open the window: ") + SDL_GetError());
  }
  SDL_WM_SetCaption((std::string(WINDOW_TITLE_START) + config::CONTACT_ADDRESS).c_str(),
                    ICON_TITLE);
}

void load_pictures(Game& g) {
  const int factor = g.window.scale;
  load_piece_sheet(g, PIECE_PATH, factor);
  g.dialog_picture = load_picture(g, DIALOG_PATH, 0, factor);
  g.progress_picture = load_picture(g, PROGRESS_PATH, 0, factor);
  const int bar_x = BAR_OFFSET_X * factor, bar_y = BAR_OFFSET_Y * factor;
  require_size(g, DIALOG_PATH, g.dialog_picture, g.progress_picture->w + bar_x,
               g.progress_picture->h + bar_y,
               "the bar at (" + std::to_string(bar_x) + ", " + std::to_string(bar_y) + ")");
  g.white_picture = load_picture(g, WHITE_PATH, END_PICTURE_ALPHA, factor);
  g.black_picture = load_picture(g, BLACK_PATH, END_PICTURE_ALPHA, factor);
}

void load_clear_pieces(Game& g) {
  // The sheet drawn at twice the size serves every even scale.
  const int factor = g.window.scale;
  if (factor % 2 == 0) {
    load_piece_sheet(g, CLEAR_PIECE_2X_PATH, factor / 2);
  } else {
    load_piece_sheet(g, CLEAR_PIECE_PATH, factor);
  }
}

void read_window_settings(Game& g, const config::IniText& ini, std::ostream& err) {
  const auto on = [&](const char* key) {
    return config::ini_find(ini, config::GAME_SECTION, key) == "on";
  };
  g.window.status = on("status");
  g.window.coordinates = on("coordinates");
  g.window.move_list = on("movelist");
  g.window.key_help = on("keyhelp");
  const ScaleSetting scale = read_scale(ini);
  if (scale.slip) {
    err << config::SLIP_PREFIX << *scale.slip << "\n";
    g.settings_slips.push_back(*scale.slip);
  }
  g.window.scale = scale.scale;
  g.square_size = SQUARE_SIZE * scale.scale;
  g.piece_size = PIECE_SIZE * scale.scale;
}

void release_game(Game& g) {
  if (g.cursor != nullptr) SDL_FreeCursor(g.cursor);
  g.cursor = nullptr;
  free_surface(g.piece_sheet);
  free_surface(g.white_picture);
  free_surface(g.black_picture);
  free_surface(g.dialog_picture);
  free_surface(g.progress_picture);
  free_surface(g.draw_picture);
  free_surface(g.window.help_picture);
  close_text(g.text);
  // The display surface belongs to SDL: SDL_Quit gives it back.
  g.screen = nullptr;
  SDL_Quit();
}

void start_game(Game& g, std::unique_ptr<engine::Engine> engine, StartOptions options) {
  g.engine = std::move(engine);
  g.ponderer = std::make_unique<engine::Ponderer>(*g.engine);
  g.saved = std::move(options.saved);
  g.board = rules::board_from_cells(rules::starting_cells);
  if (!options.status_log.empty()) {
    g.window.status_log = std::make_unique<std::ofstream>(options.status_log, std::ios::app);
  }
  quit_if_signalled(g);
  config::IniText ini;
  config::load_ini(ini, SETTINGS_PATH);
  read_window_settings(g, ini, std::cerr);  // the window's size comes from them
  open_window(g);
  load_pictures(g);
  g.cursor = make_cursor(cursor_picture);
  if (g.cursor != nullptr) SDL_SetCursor(g.cursor);  // else the system's arrow stays

  // The table gets its memory while the player looks at the board, not in the first reply.
  g.engine->prepare_table(engine::read_strength_quietly(ini).hash_mib);
  if (text_wanted(ini)) open_text(g.text, font_path(), TEXT_SIZE * g.window.scale, std::cerr);
  // '?' is a character of the keyboard's layout: SDL tells it at the key's press.
  if (g.window.key_help) SDL_EnableUNICODE(1);
  g.clear_board = config::ini_find(ini, "GAME", "clearboard") == "on";
  if (g.clear_board) load_clear_pieces(g);
  GameMode mode = choose_mode(config::ini_value(ini, "GAME", "usercolor"));
  // A continued game goes on as it was played, whatever conf.ini says now.
  if (options.continued) mode = saved_mode(options.continued->game.players);
  g.user_color = mode.user_color;
  // Additions, off unless set to "on"; left out, nothing is reported.
  g.show_last_move = config::ini_find(ini, "GAME", "lastmove") == "on";
  g.take_back = config::ini_find(ini, "GAME", "takeback") == "on";
  g.hint = config::ini_find(ini, "GAME", "hint") == "on";
  // The draw's picture is read only when it can be shown, so that a folder
  // holding the five other pictures alone still serves a game without draws.
  g.draws = config::ini_find(ini, "GAME", "draws") == "on";
  if (g.draws) g.draw_picture = load_picture(g, DRAW_PATH, END_PICTURE_ALPHA, g.window.scale);
  start_played(g, mode_players(mode));
  if (options.continued) {
    continue_played(g, *options.continued);
    g.window.continued_date = options.continued->tags.date;
    g.window.continued_plies = g.played.moves.size();
  }

  quit_if_signalled(g);  // from here on the loops look at it
  draw_board(g, g.board);
  // A continued game may stand where the draw rules end it.
  if (options.continued) end_of_ply(g);
  if (mode.demo) play_demo(g);
  play_game(g, mode.human_first);
}

void quit_game(Game& g, int status) {
  // Their threads are joined before anything else ends; the ponderer's
  // first, as it uses the engine.
  g.ponderer.reset();
  g.engine.reset();
  release_game(g);
  end_process(g, status);
}

bool is_quit_event(const SDL_Event& event) {
  return event.type == SDL_QUIT || (event.type == SDL_KEYUP && event.key.keysym.sym == SDLK_ESCAPE);
}

void poll_quit(Game& g) {
  if (quit_signalled()) g.quit_requested = true;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    if (is_quit_event(event)) g.quit_requested = true;
  }
}

void watch_quit_signals() {
  struct sigaction action {};
  action.sa_handler = note_quit_signal;
  action.sa_flags = SA_RESTART;  // a library's system call goes on, never fails with EINTR
  sigemptyset(&action.sa_mask);
  sigset_t watched;
  sigemptyset(&watched);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    sigaction(signal, &action, nullptr);
    sigaddset(&watched, signal);
  }
  // Left blocked by the parent, they would never end the game; one that has
  // waited since the start is taken now.
  pthread_sigmask(SIG_UNBLOCK, &watched, nullptr);
}

bool quit_signalled() { return quit_signal.load(std::memory_order_relaxed); }

void quit_if_signalled(Game& g) {
  if (quit_signalled()) quit_game(g);
}

void hand_on_record(Game& g) {
  if (g.record) {
    g.record->hand_on();
    return;
  }
  std::cout.flush();
  std::fflush(stdout);
}

bool quit_requested(void* host) {
  Game& g = *static_cast<Game*>(host);
  if (quit_signalled()) g.quit_requested = true;
  if (g.quit_requested) return true;
  SDL_Event events[EVENT_QUEUE_CAPACITY];
  const int count =
      SDL_PeepEvents(events, EVENT_QUEUE_CAPACITY, SDL_PEEKEVENT, SDL_QUITMASK | SDL_KEYUPMASK);
  for (int n = 0; n < count; ++n) {
    if (is_quit_event(events[n])) g.quit_requested = true;
  }
  return g.quit_requested;
}

}  // namespace shell
