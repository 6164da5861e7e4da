// Start-up and shutdown of the window program: SDL, the window, the pictures,
// the cursor, the game mode from conf.ini, and the orderly end.
#pragma once

#include <SDL.h>

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "config/ini_file.h"
#include "game/pgn.h"
#include "game/saved_game.h"
#include "shell/game.h"

namespace shell {

// The window's title, followed by the contact address, and its icon title.
inline constexpr const char* WINDOW_TITLE_START = "Morva - 0.102.5 - ";
inline constexpr const char* ICON_TITLE = "Morva";

// Paths of the pictures, relative to the working directory.
inline constexpr const char* PIECE_PATH = "./bitmaps/piece.bmp";
inline constexpr const char* DIALOG_PATH = "./bitmaps/dialog.bmp";
inline constexpr const char* PROGRESS_PATH = "./bitmaps/progress.bmp";
inline constexpr const char* WHITE_PATH = "./bitmaps/white.bmp";
inline constexpr const char* BLACK_PATH = "./bitmaps/black.bmp";
inline constexpr const char* DRAW_PATH = "./bitmaps/draw.bmp";  // with draws=on only

// Opacity (of 255) of the end-of-game pictures over the board.
inline constexpr int END_PICTURE_ALPHA = 130;

// The settings file and the exit status after a start-up failure.
inline constexpr const char* SETTINGS_PATH = "conf.ini";
inline constexpr int FAILURE_STATUS = -1;

// How the game is played, from the usercolor setting.
struct GameMode {
  rules::Side user_color;  // board orientation
  bool human_first;        // the human plays white
  bool demo;               // the computer plays both sides
};

// Returns the mode for a usercolor value: "white", "black", "demo"; anything
// else has the computer play white with white shown at the bottom.
GameMode choose_mode(const std::string& usercolor);

// Returns the mode a saved game was played in: its human's colour, or the demo.
GameMode saved_mode(const game::Players& players);

// Returns who plays each side in a mode.
game::Players mode_players(const GameMode& mode);

// What the command line asks of the game in the window beyond the designed
// start: where the game is saved, a saved game taken up to go on with, and
// whether the record's reports go to standard error too.
struct StartOptions {
  std::unique_ptr<game::SavedFile> saved;        // null: the game is not saved
  std::optional<game::SavedGameRead> continued;  // the saved game, taken up (locked) in saved
  bool reports_to_stderr = false;
  std::string status_log;  // a file each status shown is appended to; empty: none
};

// Returns the line that says the display cannot be opened, naming the value
// of DISPLAY (null or empty: not set).
std::string display_failure(const char* display);

// Starts SDL with its event thread, sets the event filter (keep_event), opens
// the window (460 x 460, or as window_width and window_height say with the
// additions) and sets the captions; on failure reports SDL's error
// and ends the process with status -1 (a display that cannot be opened is one
// line on standard error instead). A termination signal that has arrived by
// then ends the process before the window opens (quit_if_signalled).
// Only a window system's driver is accepted (x11, or whatever SDL_VIDEODRIVER
// names): without a display SDL 1.2 would fall back to a text-mode driver
// that draws into the terminal, and so into the record.
void open_window(Game& g);

// Loads the five pictures with their magenta key (alpha for the end pictures),
// scaled to the window's scale;
// on failure, or when the piece sheet cannot hold its 6 x 2 cells or the dialog
// the bar at its offset, reports the file and ends the process with status -1.
void load_pictures(Game& g);

// Reads the readable piece sheet (clearboard=on) in place of the piece sheet,
// with the same checks: the sheet drawn at twice the size for an even scale.
void load_clear_pieces(Game& g);

// Reads the window's additions from the settings (status, coordinates,
// movelist, keyhelp, scale) and sizes the board by the scale; a scale that is
// none is a slip, written to err after config::SLIP_PREFIX and kept among the
// Game's slips.
void read_window_settings(Game& g, const config::IniText& ini, std::ostream& err);

// Releases the cursor and every surface of g and shuts SDL down.
void release_game(Game& g);

// Prepares g (position, window, pictures, cursor, mode), draws the board once
// and enters the loop of the mode with the computer player engine. Never
// returns. A continued game is played on from its saved position, in the mode
// it was saved in, without a trace of its earlier moves in the record.
[[noreturn]] void start_game(Game& g, std::unique_ptr<engine::Engine> engine,
                             StartOptions options = {});

// Ends the computer player (joining its threads), releases everything and
// ends the process with status (0: the user ended the game; a record or a
// saved game that could not be written turns 0 into a failure). Never returns.
[[noreturn]] void quit_game(Game& g, int status = 0);

// Returns whether an event asks the game to end: the window's close, or the
// Escape key released.
bool is_quit_event(const SDL_Event& event);

// Makes SIGTERM, SIGINT and SIGHUP set a flag of the program's own. Installed
// first thing in main: SDL_Init gives SIGINT and SIGTERM handlers of its own
// only where they are left at the default action, and those post SDL_QUIT,
// which is lost when the event filter empties the queue (or the queue is full);
// before them, the default action would end the program with nothing written.
// Unblocks them too, where the parent left them blocked.
void watch_quit_signals();

// Returns whether one of those signals has arrived.
bool quit_signalled();

// Ends the process through quit_game (status 0) when one of them has arrived:
// looked at between the steps of the start, so that a signal before the
// window opens ends the program without it.
void quit_if_signalled(Game& g);

// Hands what the record holds so far to its writer (or flushes std::cout).
void hand_on_record(Game& g);

// Drops every waiting event while the computer thinks; the window's close or
// Escape released sets quit_requested, so that the search stops.
void poll_quit(Game& g);

// The search's question whether to stop, for the Game that host points to:
// true once a quit has been seen or waits in the queue (taking nothing from
// it). Asked between root entries and every few milliseconds of the search.
bool quit_requested(void* host);

}  // namespace shell
