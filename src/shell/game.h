// The one Game record the window program works on: the position, the human's
// selection, the board orientation, the SDL surfaces and cursor it owns, the
// game as played (its plies, from which the last move, the take-backs and the
// draw rules read) and the file it is saved in as it is played.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/ponder.h"
#include "game/pgn.h"
#include "game/played_game.h"
#include "game/saved_game.h"
#include "rules/board.h"
#include "rules/move.h"
#include "shell/record_output.h"
#include "shell/text.h"

namespace shell {

// Side in pixels of one piece cell in the piece sheet.
inline constexpr int PIECE_SIZE = 40;
// Side in pixels of one board square; also the margin and a tenth of the window.
inline constexpr int SQUARE_SIZE = 46;
// Squares per board side.
inline constexpr int BOARD_SQUARES = 8;
// Pause in milliseconds after a look at an empty event queue, so waiting costs no CPU.
inline constexpr int IDLE_DELAY_MS = 10;

// Plies a game holds before its lists must grow (between moves, never while
// the computer searches).
inline constexpr int PLIES_RESERVED = 2048;

// What the human asked for with a key released during the turn (takeback=on,
// hint=on).
enum class Request : std::uint8_t { NONE, TAKE_BACK, NEW_GAME, HINT };

// What the engine works on, for the status (status=on).
enum class Activity : std::uint8_t { NONE, THINKING, HINTING };

// How a line of the window's text reads: its colour.
enum class Tone : std::uint8_t { PLAIN, QUIET, WARNING, GOOD };

// A bar under a status line full, in percent.
inline constexpr int FULL_BAR = 100;

// One line of the status, as the window shows it.
struct StatusLine {
  std::string text;
  Tone tone = Tone::PLAIN;
  int bar = -1;  // a bar under the line filled to this many FULL_BAR parts; -1: none

  friend bool operator==(const StatusLine&, const StatusLine&) = default;
};

// One row of the move list: a move number and the two plies of that move.
struct MoveRow {
  std::string number, white, black;

  friend bool operator==(const MoveRow&, const MoveRow&) = default;
};

// What the panel beside the board shows; drawn again only when it changes.
struct PanelContent {
  std::vector<StatusLine> status;
  std::vector<MoveRow> rows;
  int marked = -1;       // the ply marked in the list (the one viewed, or the last); -1: none
  bool viewing = false;  // the mark is a position viewed, not the current one

  friend bool operator==(const PanelContent&, const PanelContent&) = default;
};

// The window's additions that conf.ini turns on (status, coordinates,
// movelist, keyhelp, scale), and what they show. Without them the window,
// its size and every pixel are the designed ones.
struct WindowAdditions {
  bool status = false;       // status=on: the status lines in a panel beside the board
  bool coordinates = false;  // coordinates=on: a-h and 1-8 in the board's margin
  bool move_list = false;    // movelist=on: the moves in the panel; arrows step through them
  bool key_help = false;     // keyhelp=on: F1 or ? lists the keys; N asks before a new game
  int scale = 1;             // scale=N: every size N times the designed one
  Activity activity = Activity::NONE;
  float progress = 0.0f;  // how far the search has come while the engine works
  // The plies of the position shown while the human steps back through the
  // game; none: the current position.
  std::optional<std::size_t> viewed;
  bool help_shown = false;             // the list of the keys over the board
  bool new_game_asked = false;         // N released once during a game: a second N starts a new one
  SDLKey question_key = SDLK_UNKNOWN;  // the key that gave '?' when pressed (keyhelp=on)
  bool start_notes = true;             // the start's notes, until the human first acts
  std::string continued_date;          // a continued game's Date tag; empty for a new game
  std::size_t continued_plies = 0;
  // The moves' texts (game::move_texts), kept for the moves they were made of.
  std::vector<rules::Move> texts_of;
  std::vector<std::string> texts;
  // What was drawn last, so that an unchanged frame or panel is not drawn again
  // at every pass of the human's turn.
  bool frame_shown = false;  // the margin, its coordinates and note stand as drawn
  std::string note_shown;
  std::optional<PanelContent> panel_shown;
  SDL_Surface* help_picture = nullptr;       // the key help, drawn once when first shown
  std::unique_ptr<std::ostream> status_log;  // --status-log: each status shown, appended
};

struct Game {
  rules::Board board{};                     // the current position: the last of played's
  std::int8_t sel_from = rules::NO_SQUARE;  // first click, castling code, or NO_SQUARE
  std::int8_t sel_to = rules::NO_SQUARE;    // second click, or NO_SQUARE
  std::int32_t piece_size = PIECE_SIZE;
  std::int32_t square_size = SQUARE_SIZE;
  bool progress_shown = false;            // false: the next run draws the dialog first
  rules::Side user_color = rules::WHITE;  // 0 white at the bottom, 1 black at the bottom
  SDL_Surface* piece_sheet = nullptr;
  SDL_Surface* screen = nullptr;
  SDL_Surface* dialog_picture = nullptr;
  SDL_Surface* black_picture = nullptr;
  SDL_Surface* white_picture = nullptr;
  SDL_Surface* progress_picture = nullptr;
  SDL_Surface* draw_picture = nullptr;  // loaded only with draws=on
  SDL_Cursor* cursor = nullptr;
  // Additions that conf.ini turns on; without them window and record are unchanged.
  bool show_last_move = false;              // lastmove=on: its squares in highlight colours
  bool take_back = false;                   // takeback=on: Backspace and N during the turn
  bool hint = false;                        // hint=on: H during the turn shows a hint
  rules::Move hint_move = rules::END_MOVE;  // the hint shown until the human moves
  Request request = Request::NONE;          // a key the human released, not yet acted on
  bool draws = false;                       // draws=on: repetition and fifty moves end the game
  // The game as played; changed only by play, take_back and new_game (played.h).
  game::PlayedGame played = game::new_game({});
  // Where the game is saved after every ply (morva --save, --continue); null
  // without one. A new game in the window is saved beside it under a name of
  // its own.
  std::unique_ptr<game::SavedFile> saved;
  game::PgnTags tags;  // the saved game's roster, the players' names set at each write
  int save_error = 0;  // the first reason a saved game could not be written, or 0
  int new_games = 0;   // games started in the window since it opened
  // The computer player, made at start; quit_game destroys it (joining its
  // threads) before the process ends.
  std::unique_ptr<engine::Engine> engine;
  // Its thinking on the human's time (ponder=on), made with the engine;
  // destroyed (its thread joined) before the engine.
  std::unique_ptr<engine::Ponderer> ponderer;
  bool quit_requested = false;  // a close or Escape seen while the computer thinks
  // The record's writer, made at start; without one (the tests) the record
  // goes to std::cout as it is.
  std::unique_ptr<RecordOutput> record;
  std::vector<std::string> settings_slips;  // conf.ini's slips, told once at start
  Text text;                 // the window's font, open only with a setting that shows text
  bool clear_board = false;  // clearboard=on: the readable piece sheet, squares and marks
  WindowAdditions window;
};

// The program's one Game; report_progress draws on it.
extern Game game;

}  // namespace shell
