// The frame around the board, the panel beside it and the key help over it.
#include "shell/panel.h"

#include <algorithm>
#include <ostream>

#include "shell/history.h"
#include "shell/status.h"

namespace shell {

namespace {

// Distances at the window's own size, in pixels; each grows with the scale.
constexpr int LINE_GAP = 3;          // between two lines of text
constexpr int COORDINATE_GAP = 6;    // between the board's edge and a coordinate
constexpr int PANEL_INSET = 6;       // the panel's text from its left edge
constexpr int PANEL_RIGHT = 6;       // and from its right edge
constexpr int BAR_HEIGHT = 4;        // the progress bar under a status line
constexpr int BAR_GAP = 3;           // above and below it
constexpr int SECTION_GAP = 10;      // between the status and the move list
constexpr int NUMBER_RIGHT = 30;     // the move number's right edge, from the text's left
constexpr int WHITE_COLUMN = 40;     // white's move, from the text's left
constexpr int BLACK_COLUMN = 120;    // black's move
constexpr int MARK_WIDTH = 76;       // the box behind a marked move
constexpr int MARK_INSET = 4;        // the box's left edge before the move's text
constexpr int HELP_INSET = 14;       // the key help's box within the board
constexpr int HELP_PADDING = 14;     // its text within the box
constexpr int HELP_COLUMN_GAP = 14;  // between its keys and what they do
// Lines the status keeps for itself above the move list, and rows the list
// keeps however long the status is.
constexpr int STATUS_LINES = 3;
constexpr int LIST_ROWS = 3;
constexpr const char* LINE_HEIGHT_PROBE = "Ag";
constexpr const char* DASH = " — ";
constexpr const char* DASH_WORD = "—";
constexpr const char* LOG_SEPARATOR = " | ";
constexpr const char* HELP_TITLE = "Keys";

int scaled(const Game& g, int pixels) { return pixels * g.window.scale; }

Rgb ink(Tone tone) {
  switch (tone) {
    case Tone::QUIET:
      return QUIET_INK;
    case Tone::WARNING:
      return WARNING_INK;
    case Tone::GOOD:
      return GOOD_INK;
    case Tone::PLAIN:
      break;
  }
  return PLAIN_INK;
}

// The height of a line of text and the gap after it; the text's size when no
// font is open, so that the layout stands without one.
int line_height(const Game& g) {
  const int font = std::max(measure_text(g.text, LINE_HEIGHT_PROBE).h, scaled(g, TEXT_SIZE));
  return font + scaled(g, LINE_GAP);
}

// The margin of the board painted, its coordinates (turned with the board)
// and the key note of a window without a status.
void draw_frame(Game& g, const std::string& note) {
  const int s = g.square_size;
  fill_rect(g.screen, 0, 0, 10 * s, s, FRAME_GROUND);
  fill_rect(g.screen, 0, 9 * s, 10 * s, s, FRAME_GROUND);
  fill_rect(g.screen, 0, s, s, 8 * s, FRAME_GROUND);
  fill_rect(g.screen, 9 * s, s, s, 8 * s, FRAME_GROUND);
  if (g.window.coordinates) {
    const int last = BOARD_SQUARES - 1;
    for (int k = 0; k < BOARD_SQUARES; ++k) {
      // Files under the bottom row, ranks left of the first column.
      const std::string file(
          1, static_cast<char>('a' + rules::file_of(square_at_screen(g.user_color, last, k)) - 1));
      const std::string rank(
          1, static_cast<char>('0' + rules::rank_of(square_at_screen(g.user_color, k, 0))));
      const TextSize fw = measure_text(g.text, file), rh = measure_text(g.text, rank);
      draw_text(g.screen, g.text, file, s + k * s + (s - fw.w) / 2,
                9 * s + scaled(g, COORDINATE_GAP) / 2, COORDINATE_INK);
      draw_text(g.screen, g.text, rank, s - scaled(g, COORDINATE_GAP) - rh.w,
                s + k * s + (s - rh.h) / 2, COORDINATE_INK);
    }
  }
  if (!note.empty()) {
    const TextSize size = measure_text(g.text, note);
    draw_text(g.screen, g.text, note, (10 * s - size.w) / 2, (s - size.h) / 2,
              g.window.new_game_asked ? WARNING_INK : QUIET_INK);
  }
}

PanelContent panel_content(Game& g) {
  PanelContent content;
  const std::vector<std::string>& texts = game_move_texts(g);
  if (g.window.status) content.status = status_lines(g, texts);
  if (g.window.move_list) {
    content.rows = move_rows(texts);
    content.marked = static_cast<int>(shown_plies(g)) - 1;
    content.viewing = g.window.viewed.has_value();
  }
  return content;
}

// Draws the status lines from y down, no lower than limit; returns the y below them.
int draw_status(Game& g, const std::vector<StatusLine>& lines, int x, int width, int y, int limit) {
  const int height = line_height(g);
  for (const StatusLine& line : lines) {
    for (const std::string& piece : wrap_text(g.text, line.text, width)) {
      if (y + height > limit) return y;
      draw_text(g.screen, g.text, piece, x, y, ink(line.tone));
      y += height;
    }
    if (line.bar >= 0) {
      const int bar = scaled(g, BAR_HEIGHT);
      fill_rect(g.screen, x, y, width, bar, BAR_TRACK);
      fill_rect(g.screen, x, y, width * line.bar / FULL_BAR, bar, BAR_FILL);
      y += bar + 2 * scaled(g, BAR_GAP);
    }
  }
  return y;
}

// Draws the rows of the move list from y down to limit, scrolled so that the
// marked ply's row shows.
void draw_moves(Game& g, const PanelContent& c, int x, int y, int limit) {
  const int height = line_height(g);
  const int visible = std::max(0, (limit - y) / height);
  const std::size_t first = first_shown_row(c.rows.size(), visible, c.marked);
  for (std::size_t r = first; r < c.rows.size() && r < first + visible; ++r, y += height) {
    const MoveRow& row = c.rows[r];
    const TextSize number = measure_text(g.text, row.number);
    draw_text(g.screen, g.text, row.number, x + scaled(g, NUMBER_RIGHT) - number.w, y, QUIET_INK);
    for (int half = 0; half < 2; ++half) {
      const int column = x + scaled(g, half == 0 ? WHITE_COLUMN : BLACK_COLUMN);
      if (c.marked == static_cast<int>(r * MOVE_PLIES) + half) {
        fill_rect(g.screen, column - scaled(g, MARK_INSET), y, scaled(g, MARK_WIDTH), height,
                  c.viewing ? VIEWED_PLY_MARK : LAST_PLY_MARK);
      }
      draw_text(g.screen, g.text, half == 0 ? row.white : row.black, column, y, PLAIN_INK);
    }
  }
}

// The panel: the status at the top, the moves below it, within the board's height.
void draw_panel(Game& g, const PanelContent& c) {
  const int s = g.square_size;
  const int left = 10 * s;
  fill_rect(g.screen, left, 0, scaled(g, PANEL_WIDTH), 10 * s, FRAME_GROUND);
  const int x = left + scaled(g, PANEL_INSET);
  const int width = scaled(g, PANEL_WIDTH - PANEL_INSET - PANEL_RIGHT);
  const int height = line_height(g);
  int y = s;
  if (g.window.status) {
    const int limit = g.window.move_list ? 9 * s - LIST_ROWS * height : 9 * s;
    y = draw_status(g, c.status, x, width, y, limit);
    if (g.window.move_list) {
      y = std::max(y, s + STATUS_LINES * height) + scaled(g, SECTION_GAP);
      fill_rect(g.screen, x, y, width, std::max(1, g.window.scale), BAR_TRACK);
      y += scaled(g, SECTION_GAP);
    }
  }
  if (g.window.move_list) draw_moves(g, c, x, y, 9 * s);
}

// Appends the status shown to the status log, its lines on one line.
void log_status(Game& g, const std::vector<StatusLine>& lines) {
  if (!g.window.status_log) return;
  std::ostream& log = *g.window.status_log;
  for (std::size_t k = 0; k < lines.size(); ++k)
    log << (k > 0 ? LOG_SEPARATOR : "") << lines[k].text;
  log << '\n';
  log.flush();
}

// Draws the key help once onto a picture of its own, shown over the board
// while it is open.
SDL_Surface* make_help_picture(Game& g) {
  const std::vector<KeyRow> rows = help_rows(g);
  int keys_width = 0;
  for (const KeyRow& row : rows)
    keys_width = std::max(keys_width, measure_text(g.text, row.keys).w);
  const int s = g.square_size, height = line_height(g), pad = scaled(g, HELP_PADDING);
  const int w = 8 * s - 2 * scaled(g, HELP_INSET);
  const int h = 2 * pad + (static_cast<int>(rows.size()) + 3) * height;
  SDL_Surface* picture =
      SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
  if (picture == nullptr) return nullptr;
  const int edge = std::max(1, g.window.scale);
  fill_rect(picture, 0, 0, w, h, BAR_TRACK);
  fill_rect(picture, edge, edge, w - 2 * edge, h - 2 * edge, HELP_GROUND);
  int y = pad;
  draw_text(picture, g.text, HELP_TITLE, pad, y, PLAIN_INK);
  y += height + height / 2;
  for (const KeyRow& row : rows) {
    draw_text(picture, g.text, row.keys, pad, y, WARNING_INK);
    draw_text(picture, g.text, row.action, pad + keys_width + scaled(g, HELP_COLUMN_GAP), y,
              PLAIN_INK);
    y += height;
  }
  draw_text(picture, g.text, HELP_CLOSES, pad, y + height / 2, QUIET_INK);
  return picture;
}

void draw_help(Game& g) {
  if (g.window.help_picture == nullptr) g.window.help_picture = make_help_picture(g);
  if (g.window.help_picture == nullptr) return;
  const int s = g.square_size;
  SDL_Rect at = {static_cast<Sint16>(s + scaled(g, HELP_INSET)),
                 static_cast<Sint16>(5 * s - g.window.help_picture->h / 2), 0, 0};
  SDL_BlitSurface(g.window.help_picture, nullptr, g.screen, &at);
}

}  // namespace

bool has_panel(const Game& g) { return g.window.status || g.window.move_list; }

bool has_frame(const Game& g) { return has_panel(g) || g.window.coordinates || g.window.key_help; }

int window_width(const Game& g) {
  return 10 * g.square_size + (has_panel(g) ? scaled(g, PANEL_WIDTH) : 0);
}

int window_height(const Game& g) { return 10 * g.square_size; }

std::vector<std::string> wrap_text(const Text& text, const std::string& line, int width) {
  if (measure_text(text, line).w <= width) return {line};
  // A dash parts the line's two halves: each on a line of its own where each fits.
  const std::size_t dash = line.find(DASH);
  if (dash != std::string::npos) {
    const std::size_t rest = dash + std::string(DASH).size();
    const std::string first = line.substr(0, rest - 1), second = line.substr(rest);
    if (measure_text(text, first).w <= width && measure_text(text, second).w <= width) {
      return {first, second};
    }
  }
  std::vector<std::string> lines;
  // The words, a dash kept with the word before it.
  std::vector<std::string> words;
  for (std::size_t start = 0; start < line.size();) {
    std::size_t blank = line.find(' ', start);
    if (blank == std::string::npos) blank = line.size();
    const std::string word = line.substr(start, blank - start);
    if (word == DASH_WORD && !words.empty()) {
      words.back() += " " + word;
    } else {
      words.push_back(word);
    }
    start = blank + 1;
  }
  std::string current;
  for (const std::string& word : words) {
    const std::string longer = current.empty() ? word : current + " " + word;
    if (!current.empty() && measure_text(text, longer).w > width) {
      lines.push_back(current);
      current = word;
    } else {
      current = longer;
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

void draw_additions(Game& g) {
  if (!has_frame(g)) return;
  const std::string note = g.window.status ? std::string() : key_note(g);
  if (!g.window.frame_shown || note != g.window.note_shown) {
    draw_frame(g, note);
    g.window.frame_shown = true;
    g.window.note_shown = note;
  }
  if (has_panel(g)) {
    PanelContent content = panel_content(g);
    if (content != g.window.panel_shown) {
      draw_panel(g, content);
      if (!g.window.panel_shown || content.status != g.window.panel_shown->status) {
        log_status(g, content.status);
      }
      g.window.panel_shown = std::move(content);
    }
  }
  if (g.window.help_shown) draw_help(g);
}

void frame_covered(Game& g) { g.window.frame_shown = false; }

}  // namespace shell
