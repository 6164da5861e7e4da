// Board drawing: orientation, square colours, selection, pieces, end of game.
#include "shell/draw.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <sstream>
#include <thread>

#include "game/played_game.h"
#include "positions.h"
#include "rules/board.h"
#include "rules/move.h"
#include "shell/clear_board.h"
#include "shell/loops.h"
#include "shell/panel.h"
#include "shell/played.h"
#include "shell/progress_display.h"
#include "shell/startup.h"
#include "shell_fixture.h"

namespace shell_test {
namespace {

using shell::Rgb;

constexpr int S = shell::SQUARE_SIZE;

// Top left pixel of the screen square (i, j): outside the piece's cell.
Rgb corner(shell::Game& g, int i, int j) { return pixel(g.screen, S + j * S, S + i * S); }

// Centre pixel of the screen square (i, j): inside a piece's coloured block.
Rgb centre(shell::Game& g, int i, int j) {
  return pixel(g.screen, S + j * S + S / 2, S + i * S + S / 2);
}

TEST_F(ShellTest, WhiteAtTheBottomShowsA1DarkWithItsRook) {
  shell::draw_board(g, start_board());
  EXPECT_EQ(corner(g, 7, 0), shell::DARK_SQUARE);   // a1
  EXPECT_EQ(corner(g, 0, 0), shell::LIGHT_SQUARE);  // a8
  EXPECT_EQ(centre(g, 7, 0), piece_color(4));       // white rook on a1
  EXPECT_EQ(centre(g, 7, 4), piece_color(6));       // white king on e1
  EXPECT_EQ(centre(g, 0, 3), piece_color(-5));      // black queen on d8
  EXPECT_EQ(centre(g, 1, 5), piece_color(-1));      // black pawn on f7
  EXPECT_EQ(centre(g, 4, 4), shell::LIGHT_SQUARE);  // e4 is empty
}

TEST_F(ShellTest, BlackAtTheBottomShowsH8DarkWithItsRook) {
  g.user_color = rules::BLACK;
  shell::draw_board(g, start_board());
  EXPECT_EQ(corner(g, 7, 0), shell::DARK_SQUARE);   // h8
  EXPECT_EQ(corner(g, 0, 0), shell::LIGHT_SQUARE);  // h1
  EXPECT_EQ(centre(g, 7, 0), piece_color(-4));      // black rook on h8
  EXPECT_EQ(centre(g, 7, 3), piece_color(-6));      // black king on e8
  EXPECT_EQ(centre(g, 0, 4), piece_color(5));       // white queen on d1
  EXPECT_EQ(centre(g, 0, 0), piece_color(4));       // white rook on h1
}

TEST_F(ShellTest, SquareColoursFollowTheScreenPositionAndLeaveTheMargin) {
  fill(g.screen, {1, 2, 3});
  shell::draw_board(g, start_board());
  for (int i = 0; i < 8; ++i) {
    for (int j = 0; j < 8; ++j) {
      const Rgb expected = (i + j) % 2 == 0 ? shell::LIGHT_SQUARE : shell::DARK_SQUARE;
      EXPECT_EQ(corner(g, i, j), expected) << "row " << i << " column " << j;
      EXPECT_EQ(pixel(g.screen, S + j * S + S - 1, S + i * S + S - 1), expected);
    }
  }
  for (int k : {0, 45, 414, 459}) {
    EXPECT_EQ(pixel(g.screen, k, 200), (Rgb{1, 2, 3})) << "margin x " << k;
    EXPECT_EQ(pixel(g.screen, 200, k), (Rgb{1, 2, 3})) << "margin y " << k;
  }
}

TEST_F(ShellTest, SelectedSquaresTakeTheSelectionColours) {
  g.sel_from = 0;  // a1: dark, bottom left
  shell::draw_board(g, start_board());
  EXPECT_EQ(corner(g, 7, 0), shell::DARK_SELECTED);
  EXPECT_EQ(corner(g, 7, 1), shell::LIGHT_SQUARE);

  g.sel_from = 28;  // e4: light and empty
  shell::draw_board(g, start_board());
  EXPECT_EQ(corner(g, 4, 4), shell::LIGHT_SELECTED);
  EXPECT_EQ(centre(g, 4, 4), shell::LIGHT_SELECTED);
  EXPECT_EQ(corner(g, 7, 0), shell::DARK_SQUARE);

  g.user_color = rules::BLACK;
  g.sel_from = 7;  // h1: light, top left when black is at the bottom
  shell::draw_board(g, start_board());
  EXPECT_EQ(corner(g, 0, 0), shell::LIGHT_SELECTED);
}

// lastmove=on highlights the last move's two squares (a castling's king step)
// by the screen position in either orientation; the selection colour wins;
// off, or at the start, every square keeps its designed colour.
// Makes m the last move of the Game's game (END_MOVE: none), as the highlight reads it.
void set_last_move(shell::Game& g, rules::Move m) {
  g.played = game::new_game({});
  if (m != rules::END_MOVE) g.played.moves.push_back(m);
}

TEST_F(ShellTest, LastMoveHighlightFollowsTheSetting) {
  using test_support::move;
  using test_support::sq;
  const struct {
    rules::Side user_color;
    bool shown;
    rules::Move last;
    int selected, first, second;  // squares; -1 for none
  } cases[] = {
      {rules::WHITE, true, move("g1", "f3"), rules::NO_SQUARE, sq("g1"), sq("f3")},
      {rules::BLACK, true, move("g1", "f3"), rules::NO_SQUARE, sq("g1"), sq("f3")},
      {rules::WHITE, false, move("g1", "f3"), rules::NO_SQUARE, -1, -1},
      {rules::WHITE, true, rules::END_MOVE, rules::NO_SQUARE, -1, -1},
      {rules::WHITE, true, move("g1", "f3"), sq("g1"), sq("g1"), sq("f3")},
      {rules::WHITE, true, rules::castling_move(rules::CASTLE_WHITE_KING), -1, sq("e1"), sq("g1")},
      {rules::BLACK, true, rules::castling_move(rules::CASTLE_BLACK_QUEEN), -1, sq("e8"), sq("c8")},
  };
  for (const auto& c : cases) {
    g.user_color = c.user_color;
    g.show_last_move = c.shown;
    set_last_move(g, c.last);
    g.sel_from = static_cast<std::int8_t>(c.selected);
    shell::draw_board(g, start_board());
    for (int i = 0; i < 8; ++i) {
      for (int j = 0; j < 8; ++j) {
        const int square = shell::square_at_screen(c.user_color, i, j);
        const bool light = (i + j) % 2 == 0;
        Rgb expected = light ? shell::LIGHT_SQUARE : shell::DARK_SQUARE;
        if (square == c.first || square == c.second) {
          expected = light ? Rgb{220, 205, 120} : Rgb{130, 105, 45};
        }
        if (square == c.selected) expected = light ? shell::LIGHT_SELECTED : shell::DARK_SELECTED;
        ASSERT_EQ(corner(g, i, j), expected) << "case " << &c - cases << " square " << square;
      }
    }
  }
}

// clearboard=on: the squares keep the readable board's colours and each mark
// is a ring in the square's margin in its tone for a light or a dark square
// (check_bitmaps holds those to 3:1 from their squares); unmarked squares
// have no ring.
TEST_F(ShellTest, ClearBoardMarksAreRingsInTheirSquaresTone) {
  using test_support::move;
  using test_support::sq;
  const shell::MarkColours *SELECTED = &shell::CLEAR_SELECTED, *HINT = &shell::CLEAR_HINT,
                           *LAST = &shell::CLEAR_LAST_MOVE;
  const struct {
    int selected;
    rules::Move hint, last;
    std::map<int, const shell::MarkColours*> marked;
  } cases[] = {
      {sq("b1"), rules::END_MOVE, rules::END_MOVE, {{sq("b1"), SELECTED}}},
      // The selection wins over the last move.
      {sq("g1"), rules::END_MOVE, move("g1", "f3"), {{sq("g1"), SELECTED}, {sq("f3"), LAST}}},
      // The hint on a light and a dark square, the last move on two dark ones.
      {rules::NO_SQUARE,
       move("e2", "e3"),
       move("d2", "d4"),
       {{sq("e2"), HINT}, {sq("e3"), HINT}, {sq("d2"), LAST}, {sq("d4"), LAST}}},
  };
  g.clear_board = true;
  g.show_last_move = true;
  for (const auto& c : cases) {
    g.sel_from = static_cast<std::int8_t>(c.selected);
    g.hint_move = c.hint;
    set_last_move(g, c.last);
    shell::draw_squares(g, start_board());
    for (int i = 0; i < 8; ++i) {
      for (int j = 0; j < 8; ++j) {
        const int square = shell::square_at_screen(g.user_color, i, j);
        const bool light = (i + j) % 2 == 0;
        const Rgb fill = light ? shell::CLEAR_LIGHT_SQUARE : shell::CLEAR_DARK_SQUARE;
        const int x = S + j * S, y = S + i * S, w = shell::CLEAR_MARK_WIDTH;
        ASSERT_EQ(pixel(g.screen, x + w, y + w), fill) << "square " << square;
        const auto mark = c.marked.find(square);
        const Rgb ring = mark == c.marked.end() ? fill
                         : light                ? mark->second->on_light
                                                : mark->second->on_dark;
        EXPECT_EQ(pixel(g.screen, x, y), ring) << "square " << square;
        EXPECT_EQ(pixel(g.screen, x + w - 1, y + S - 1), ring) << "square " << square;
      }
    }
  }
}

TEST_F(ShellTest, NoSquareAndCastlingCodesSelectNothing) {
  for (int code : {int{rules::NO_SQUARE}, rules::CASTLE_WHITE_QUEEN, rules::CASTLE_BLACK_KING}) {
    g.sel_from = static_cast<std::int8_t>(code);
    shell::draw_board(g, start_board());
    for (int i = 0; i < 8; ++i) {
      for (int j = 0; j < 8; ++j) {
        const Rgb seen = corner(g, i, j);
        EXPECT_TRUE(seen == shell::LIGHT_SQUARE || seen == shell::DARK_SQUARE)
            << "sel_from " << code << " row " << i << " column " << j;
      }
    }
  }
}

TEST_F(ShellTest, PiecesAreCopiedWithoutTheirMagentaGround) {
  shell::draw_board(g, start_board());
  const int inset = (S - shell::PIECE_SIZE) / 2;
  // The cell's ground around the block is magenta in the sheet; the square shows through.
  EXPECT_EQ(pixel(g.screen, S + inset, 7 * S + S + inset), shell::DARK_SQUARE);
  EXPECT_EQ(pixel(g.screen, S + inset + PIECE_INSET - 1, 8 * S + S / 2), shell::DARK_SQUARE);
  // The block itself starts exactly at the cell's offset plus its inset.
  EXPECT_EQ(pixel(g.screen, S + inset + PIECE_INSET, 8 * S + inset + PIECE_INSET), piece_color(4));
  for (int y = S; y < 9 * S; ++y) {
    for (int x = S; x < 9 * S; ++x) {
      ASSERT_FALSE(pixel(g.screen, x, y) == MAGENTA) << "magenta at " << x << ", " << y;
    }
  }
}

// A board with the pieces of the start but without one king.
rules::Board without_king(rules::Side side) {
  rules::Cells cells = rules::starting_cells;
  cells[side == rules::WHITE ? 4 : 60] = 0;
  return rules::board_from_cells(cells);
}

// Sets the Game's game to one whose last ply took loser's king: the board
// after it has no such king, and the side that moved last is the winner.
void king_taken(shell::Game& g, rules::Side loser) {
  g.played = game::new_game(game::players_for(rules::WHITE));
  game::play(g.played, test_support::move("e2", "e4"));
  if (loser == rules::WHITE) game::play(g.played, test_support::move("e7", "e5"));
  g.played.history.positions.back() = without_king(loser);
  g.board = without_king(loser);
}

TEST_F(ShellTest, EndPictureNamesTheWinner) {
  g.draw_picture = g.black_picture;  // the draw's picture is loaded only with draws=on
  EXPECT_EQ(shell::end_picture(g), nullptr);
  for (const rules::Side loser : {rules::WHITE, rules::BLACK}) {
    king_taken(g, loser);
    EXPECT_EQ(game::decide_end(g.played, false), game::GameEnd::KING_TAKEN);
    EXPECT_EQ(shell::end_picture(g), loser == rules::WHITE ? g.black_picture : g.white_picture);
  }
  g.played.end = game::GameEnd::DRAWN;
  EXPECT_EQ(shell::end_picture(g), g.draw_picture);
  g.draw_picture = nullptr;
}

// Returns whether each channel of seen is within 2 of src over dst at alpha 130.
bool blended(Rgb seen, Rgb src, Rgb dst) {
  auto mix = [](int s, int d) {
    return (s * shell::END_PICTURE_ALPHA + d * (255 - shell::END_PICTURE_ALPHA)) / 255;
  };
  return std::abs(seen.r - mix(src.r, dst.r)) <= 2 && std::abs(seen.g - mix(src.g, dst.g)) <= 2 &&
         std::abs(seen.b - mix(src.b, dst.b)) <= 2;
}

TEST_F(ShellTest, EndPictureIsCentredAndBlended) {
  const rules::Board b = without_king(rules::BLACK);
  shell::draw_squares(g, b);
  shell::draw_end_picture(g, g.white_picture);
  const int left = 5 * S - END_W / 2;  // 190
  const int top = 5 * S - END_H / 2;   // 210
  // Screen rows 3 and 4 meet at y 230; the picture's block spans 200..269 x 220..239.
  const int x = left + END_INSET, y = top + END_INSET;
  const Rgb under =
      (((y - S) / S + (x - S) / S) % 2 == 0) ? shell::LIGHT_SQUARE : shell::DARK_SQUARE;
  EXPECT_TRUE(blended(pixel(g.screen, x, y), WHITE_WIN_COLOR, under))
      << ::testing::PrintToString(pixel(g.screen, x, y));
  // Just outside the block the magenta border is keyed out: the board shows unchanged.
  EXPECT_EQ(pixel(g.screen, x - 1, y), under);
  EXPECT_EQ(pixel(g.screen, x, y - 1), under);
  const int right = left + END_W - END_INSET - 1, bottom = top + END_H - END_INSET - 1;
  const Rgb under_last =
      (((bottom - S) / S + (right - S) / S) % 2 == 0) ? shell::LIGHT_SQUARE : shell::DARK_SQUARE;
  EXPECT_TRUE(blended(pixel(g.screen, right, bottom), WHITE_WIN_COLOR, under_last));
  EXPECT_EQ(pixel(g.screen, right + 1, bottom), under_last);
  EXPECT_EQ(pixel(g.screen, right, bottom + 1), under_last);
}

// Each ending event of the end-of-game wait quits with status 0.
TEST_F(ShellTest, EndOfGameWaitEndsOnPressReleaseOrClose) {
  EXPECT_EXIT(
      {
        push_click(5, 5, SDL_BUTTON_RIGHT);
        king_taken(g, rules::WHITE);
        shell::end_of_ply(g);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        push_key(SDL_KEYUP, SDLK_a);
        king_taken(g, rules::BLACK);
        shell::end_of_ply(g);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        push_simple(SDL_QUIT);
        king_taken(g, rules::BLACK);
        shell::end_of_ply(g);
      },
      ::testing::ExitedWithCode(0), "");
}

// Motion and key presses only present the screen: the wait goes on until the
// window is closed later (the message proves the close came first).
TEST_F(ShellTest, EndOfGameWaitIgnoresMotionAndKeyPresses) {
  EXPECT_EXIT(
      {
        push_simple(SDL_MOUSEMOTION);
        push_key(SDL_KEYDOWN, SDLK_ESCAPE);
        push_key(SDL_KEYDOWN, SDLK_SPACE);
        std::thread closer([] {
          std::this_thread::sleep_for(std::chrono::milliseconds(300));
          std::fputs("closing the window\n", stderr);
          push_simple(SDL_QUIT);
        });
        closer.detach();
        king_taken(g, rules::WHITE);
        shell::end_of_ply(g);
      },
      ::testing::ExitedWithCode(0), "closing the window");
}

// The frame with the coordinates turned with the board; the progress in the
// status and not in the dialog, and without a status the dialog painted over
// once the search is done.
TEST_F(ShellTest, FrameAndPanelAsDrawn) {
  std::ostringstream err;
  reopen(g, "coordinates=on;\nstatus=on;\nmovelist=on;\n", err);
  EXPECT_EQ(g.screen->w, 460 + shell::PANEL_WIDTH);
  shell::start_played(g, game::players_for(rules::BLACK));
  const auto label = [&](int column) {  // the file's label under a screen column
    std::vector<bool> ink;
    for (int y = 414; y < 440; ++y) {
      for (int x = 46 + 46 * column; x < 92 + 46 * column; ++x) {
        ink.push_back(pixel(g.screen, x, y) != shell::FRAME_GROUND);
      }
    }
    return ink;
  };
  fill(g.screen, {1, 2, 3});
  shell::draw_board(g, start_board());
  const std::vector<bool> a = label(0);
  EXPECT_GT(std::count(a.begin(), a.end(), true), 10);
  g.user_color = rules::BLACK;
  shell::frame_covered(g);
  shell::draw_board(g, start_board());
  EXPECT_EQ(label(7), a);  // 'a' bottom right with black at the bottom
  EXPECT_NE(label(0), a);
  shell::set_activity(g, shell::Activity::THINKING);
  const SDL_Rect dialog = shell::dialog_position(g);
  shell::show_progress(g, 0.5f);
  EXPECT_EQ(pixel(g.screen, dialog.x + 2, dialog.y + 2), shell::FRAME_GROUND);
  g.window.status = false;
  shell::show_progress(g, 0.5f);
  EXPECT_EQ(pixel(g.screen, dialog.x + 2, dialog.y + 2), DIALOG_COLOR);
  shell::draw_board(g, start_board());
  EXPECT_EQ(pixel(g.screen, dialog.x + 2, dialog.y + 2), shell::FRAME_GROUND);
}

}  // namespace
}  // namespace shell_test
