// The human's move from clicks: board edges, orientation, buttons, castling
// pairs, clicking twice, pairs that match nothing, and quitting.
#include "shell/input.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "capture.h"
#include "positions.h"
#include "rules/board.h"
#include "rules/make_move.h"
#include "rules/move.h"
#include "shell/loops.h"
#include "shell/played.h"
#include "shell/startup.h"
#include "shell_fixture.h"

namespace shell_test {
namespace {

using rules::move_of;
using rules::NO_SQUARE;
using test_support::move;

constexpr rules::Square E1 = 4, E2 = 12, E4 = 28, E5 = 36, E7 = 52, E8 = 60;
constexpr rules::Square A8 = 56, H1 = 7, C1 = 2, G1 = 6, C8 = 58, G8 = 62;

// Kings on e1 and e8 with all four rooks at home, the squares between free.
rules::Board castling_board() {
  rules::Cells cells{};
  cells[E1] = 6;
  cells[0] = cells[7] = 4;
  cells[E8] = -6;
  cells[56] = cells[63] = -4;
  return rules::board_from_cells(cells);
}

void click(rules::Square square, rules::Side user_color, Uint8 button = SDL_BUTTON_LEFT) {
  const Point p = point_of(square, user_color);
  push_click(p.x, p.y, button);
}

TEST_F(ShellTest, SquareAtPointKnowsTheBoardEdges) {
  const struct {
    int x, y;
    rules::Side user_color;
    rules::Square square;
    int scale = 1;
  } cases[] = {
      {45, 200, rules::WHITE, NO_SQUARE},
      {46, 200, rules::WHITE, 32},  // a5
      {413, 200, rules::WHITE, 39},
      {414, 200, rules::WHITE, NO_SQUARE},
      {200, 45, rules::WHITE, NO_SQUARE},
      {200, 46, rules::WHITE, 59},  // d8
      {200, 413, rules::WHITE, 3},
      {200, 414, rules::WHITE, NO_SQUARE},
      {0, 0, rules::WHITE, NO_SQUARE},
      {459, 459, rules::WHITE, NO_SQUARE},
      {50, 50, rules::WHITE, A8},
      {50, 50, rules::BLACK, H1},
      {413, 413, rules::WHITE, H1},
      {413, 413, rules::BLACK, A8},
      {46, 413, rules::BLACK, 63},
      {91, 91, rules::WHITE, A8},
      {92, 92, rules::WHITE, 49},  // b7
      // At scale 2 (scale=2) every size is doubled; the panel beside the board is no square.
      {91, 400, rules::WHITE, NO_SQUARE, 2},
      {92, 827, rules::WHITE, 0, 2},  // a1
      {92, 828, rules::WHITE, NO_SQUARE, 2},
      {827, 92, rules::WHITE, 63, 2},
      {828, 92, rules::WHITE, NO_SQUARE, 2},
      {1000, 300, rules::WHITE, NO_SQUARE, 2},
  };
  for (const auto& c : cases) {
    g.user_color = c.user_color;
    g.square_size = shell::SQUARE_SIZE * c.scale;
    EXPECT_EQ(shell::square_at_point(g, c.x, c.y), c.square)
        << "(" << c.x << ", " << c.y << ") user_color " << int{c.user_color};
  }
}

TEST(ShellCastlingInput, KingSquarePairsBecomeCastlingMoves) {
  EXPECT_EQ(shell::castling_input(E1, G1), rules::castling_move(rules::CASTLE_WHITE_KING));
  EXPECT_EQ(shell::castling_input(E1, C1), rules::castling_move(rules::CASTLE_WHITE_QUEEN));
  EXPECT_EQ(shell::castling_input(E8, G8), rules::castling_move(rules::CASTLE_BLACK_KING));
  EXPECT_EQ(shell::castling_input(E8, C8), rules::castling_move(rules::CASTLE_BLACK_QUEEN));
  EXPECT_EQ(shell::castling_input(G1, E1), move_of(G1, E1));
  EXPECT_EQ(shell::castling_input(E1, G8), move_of(E1, G8));
  EXPECT_EQ(shell::castling_input(NO_SQUARE, G1), move_of(NO_SQUARE, G1));
}

TEST_F(ShellTest, EmptyQueueReturnsTheSelectionAndDrawsIt) {
  EXPECT_EQ(shell::read_human_move(g, start_board(), rules::WHITE), move_of(NO_SQUARE, NO_SQUARE));
  click(E4, rules::WHITE);  // an empty square is accepted
  EXPECT_EQ(shell::read_human_move(g, start_board(), rules::WHITE), move_of(E4, NO_SQUARE));
  EXPECT_EQ(g.sel_from, E4);
  const Point p = point_of(E4, rules::WHITE);
  EXPECT_EQ(pixel(g.screen, p.x, p.y), shell::LIGHT_SELECTED);
}

TEST_F(ShellTest, ClicksInTheMarginChangeNothing) {
  push_click(45, 360);
  push_click(414, 360);
  push_click(250, 45);
  push_click(250, 414);
  EXPECT_EQ(shell::read_human_move(g, start_board(), rules::WHITE), move_of(NO_SQUARE, NO_SQUARE));
  click(E2, rules::WHITE);
  push_click(250, 414);  // keeps the selection
  EXPECT_EQ(shell::read_human_move(g, start_board(), rules::WHITE), move_of(E2, NO_SQUARE));
}

TEST_F(ShellTest, MatchedMoveReturnsAtOnceLeavingLaterEvents) {
  click(E2, rules::WHITE);
  click(E4, rules::WHITE);
  click(A8, rules::WHITE);
  EXPECT_EQ(shell::read_human_move(g, start_board(), rules::WHITE), move_of(E2, E4));
  EXPECT_EQ(g.sel_from, E2);  // the played move stays selected
  EXPECT_EQ(g.sel_to, E4);
  EXPECT_EQ(drain_events(), 1);
}

TEST_F(ShellTest, EveryButtonClicks) {
  for (Uint8 button : {SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_WHEELUP}) {
    g.sel_from = g.sel_to = NO_SQUARE;
    click(E2, rules::WHITE, button);
    click(E4, rules::WHITE, button);
    EXPECT_EQ(shell::read_human_move(g, start_board(), rules::WHITE), move_of(E2, E4))
        << "button " << int{button};
  }
}

TEST_F(ShellTest, BlackAtTheBottomReadsMirroredClicks) {
  g.user_color = rules::BLACK;
  click(E7, rules::BLACK);
  click(E5, rules::BLACK);
  EXPECT_EQ(shell::read_human_move(g, start_board(), rules::BLACK), move_of(E7, E5));
  // The white-orientation screen spots of e7 and e5 are d2 and d4 here: no black move.
  g.sel_from = g.sel_to = NO_SQUARE;
  click(E7, rules::WHITE);
  click(E5, rules::WHITE);
  EXPECT_EQ(shell::read_human_move(g, start_board(), rules::BLACK), move_of(NO_SQUARE, NO_SQUARE));
}

TEST_F(ShellTest, KingSquarePairsPlayCastling) {
  const struct {
    rules::Side side;
    rules::Square from, to;
    int code;
  } cases[] = {
      {rules::WHITE, E1, G1, rules::CASTLE_WHITE_KING},
      {rules::WHITE, E1, C1, rules::CASTLE_WHITE_QUEEN},
      {rules::BLACK, E8, G8, rules::CASTLE_BLACK_KING},
      {rules::BLACK, E8, C8, rules::CASTLE_BLACK_QUEEN},
  };
  for (const auto& c : cases) {
    g.sel_from = g.sel_to = NO_SQUARE;
    click(c.from, rules::WHITE);
    click(c.to, rules::WHITE);
    EXPECT_EQ(shell::read_human_move(g, castling_board(), c.side), rules::castling_move(c.code))
        << "code " << c.code;
    EXPECT_EQ(g.sel_from, c.code);  // a castling selects no square
  }
}

TEST_F(ShellTest, KingSquarePairIsRefusedWhenCastlingIsNotGenerated) {
  // A queen on e1 could go to g1, but e1-g1 always means castling, and with no
  // king on e1 there is none.
  rules::Cells cells{};
  cells[E1] = 5;
  cells[H1] = 6;
  cells[E8] = -6;
  const rules::Board b = rules::board_from_cells(cells);
  click(E1, rules::WHITE);
  click(G1, rules::WHITE);
  EXPECT_EQ(shell::read_human_move(g, b, rules::WHITE), move_of(NO_SQUARE, NO_SQUARE));
  click(E1, rules::WHITE);
  click(rules::Square{5}, rules::WHITE);  // e1-f1 is an ordinary queen move
  EXPECT_EQ(shell::read_human_move(g, b, rules::WHITE), move_of(E1, 5));
}

TEST_F(ShellTest, SameSquareTwiceClearsTheSelection) {
  click(E2, rules::WHITE);
  click(E2, rules::WHITE);
  EXPECT_EQ(shell::read_human_move(g, start_board(), rules::WHITE), move_of(NO_SQUARE, NO_SQUARE));
  click(E2, rules::WHITE);  // the next click starts a new move
  click(E4, rules::WHITE);
  EXPECT_EQ(shell::read_human_move(g, start_board(), rules::WHITE), move_of(E2, E4));
}

TEST_F(ShellTest, PairThatMatchesNothingClearsTheSelection) {
  const struct {
    rules::Square from, to;
    rules::Side side;
  } cases[] = {
      {E2, E5, rules::WHITE},  // too far for a pawn
      {E7, E5, rules::WHITE},  // the opponent's piece
      {E4, E5, rules::WHITE},  // an empty square first
      {E1, G1, rules::WHITE},  // castling with the squares between taken
  };
  for (const auto& c : cases) {
    click(c.from, rules::WHITE);
    click(c.to, rules::WHITE);
    EXPECT_EQ(shell::read_human_move(g, start_board(), c.side), move_of(NO_SQUARE, NO_SQUARE));
    EXPECT_EQ(g.sel_from, NO_SQUARE);
    EXPECT_EQ(g.sel_to, NO_SQUARE);
  }
}

TEST_F(ShellTest, KeysOtherThanEscapeReleasedDoNothing) {
  push_key(SDL_KEYDOWN, SDLK_ESCAPE);
  push_key(SDL_KEYUP, SDLK_SPACE);
  push_key(SDL_KEYUP, SDLK_BACKSPACE);  // take-back keys, with takeback off
  push_key(SDL_KEYUP, SDLK_n);
  push_simple(SDL_MOUSEMOTION);
  click(E2, rules::WHITE);
  EXPECT_EQ(shell::read_human_move(g, start_board(), rules::WHITE), move_of(E2, NO_SQUARE));
  EXPECT_EQ(drain_events(), 0);
}

TEST_F(ShellTest, EscapeReleasedOrCloseDuringTheHumansTurnQuits) {
  EXPECT_EXIT(
      {
        click(E2, rules::WHITE);
        push_key(SDL_KEYUP, SDLK_ESCAPE);
        shell::read_human_move(g, start_board(), rules::WHITE);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        push_simple(SDL_QUIT);
        shell::read_human_move(g, start_board(), rules::WHITE);
      },
      ::testing::ExitedWithCode(0), "");
}

// A close or Escape that waits when the computer starts to think is still
// waiting after its move (nothing on the way empties SDL's queue), so the next
// look at the queue ends the game.
// Returns the threads of this process.
int thread_count() {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                        std::filesystem::directory_iterator()));
}

// A close or Escape released that waits when the computer starts to think,
// behind a click, stops its search and ends the game with status 0, with the
// search's helper threads joined before the process ends (status 3 if not).
TEST_F(ShellTest, QuitsWaitingWhileTheComputerThinksEndTheGame) {
  std::FILE* conf = std::fopen("conf.ini", "w");
  ASSERT_NE(conf, nullptr);
  std::fputs("[ALGO]\nlevel=2;\nprelevel=1;\nmaxlevel=2;\ncomplexity=100;\nthreads=2;\n", conf);
  std::fclose(conf);
  g.engine = std::make_unique<engine::Engine>();
  for (void (*quit)() :
       {+[] { push_simple(SDL_QUIT); }, +[] { push_key(SDL_KEYUP, SDLK_ESCAPE); }}) {
    EXPECT_EXIT(
        {
          // Threads before the search starts its helpers (a sanitizer may have its own).
          static const int before = thread_count();
          std::atexit([] {
            if (thread_count() > before) std::_Exit(3);
          });
          push_click(100, 100);
          quit();
          shell::play_computer(g, rules::WHITE);
        },
        ::testing::ExitedWithCode(0), "");
  }
}

// takeback=on: human turns as play_game runs them, the computer's moves played
// by hand, and the record lines the turns write.
class ShellTakeBackTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    g.take_back = true;
    start(rules::WHITE);
  }
  // Starts a new game with the human playing side.
  void start(rules::Side human) { shell::start_played(g, game::players_for(human)); }
  // Queues the keys released and the clicks of m, and runs the human's turn.
  std::optional<rules::Move> turn(rules::Side side, std::vector<SDLKey> keys, rules::Move m) {
    g.user_color = side;
    for (SDLKey key : keys) push_key(SDL_KEYUP, key);
    click(rules::move_from(m), side);
    click(rules::move_to(m), side);
    return shell::human_turn(g, side);
  }
  // Plays a move on the Game as the loop does.
  void play(rules::Move m) { shell::play(g, m); }
  test_support::OutputCapture out;
};

TEST_F(ShellTakeBackTest, BackspaceTakesBackPairsAsWhite) {
  EXPECT_EQ(turn(rules::WHITE, {SDLK_BACKSPACE}, move("e2", "e4")), move("e2", "e4"));
  EXPECT_EQ(out.text(), "");  // nothing to take back at the start
  play(move("e2", "e4"));
  play(move("e7", "e5"));
  const rules::Board first_pair = g.board;
  for (rules::Move m : {move("g1", "f3"), move("f1", "c4")}) {
    ASSERT_EQ(turn(rules::WHITE, {}, m), m);
    play(m);
    play(m == move("g1", "f3") ? move("h7", "h6") : move("h6", "h5"));
  }
  // Two pairs taken back: the position after the first, its reply highlighted.
  EXPECT_EQ(turn(rules::WHITE, {SDLK_BACKSPACE, SDLK_BACKSPACE}, move("d2", "d4")),
            move("d2", "d4"));
  EXPECT_EQ(g.board, first_pair);
  EXPECT_EQ(game::last_move(g.played), move("e7", "e5"));
  EXPECT_EQ(out.text(), "takeback\ntakeback\n");
  play(move("d2", "d4"));
  play(move("d7", "d5"));
  // Back to the start, where a further Backspace does nothing.
  EXPECT_EQ(turn(rules::WHITE, {SDLK_BACKSPACE, SDLK_BACKSPACE, SDLK_BACKSPACE}, move("e2", "e4")),
            move("e2", "e4"));
  EXPECT_EQ(g.board, start_board());
  EXPECT_EQ(game::last_move(g.played), rules::END_MOVE);
  EXPECT_EQ(out.text(), "takeback\ntakeback\ntakeback\ntakeback\n");
}

TEST_F(ShellTakeBackTest, BackspaceAsBlackKeepsTheComputersOpeningAndThePairs) {
  start(rules::BLACK);
  play(move("e2", "e4"));
  EXPECT_EQ(turn(rules::BLACK, {SDLK_BACKSPACE}, move("e7", "e5")), move("e7", "e5"));
  EXPECT_EQ(out.text(), "");  // the computer's opening move stays
  const rules::Board opened = g.board;
  play(move("e7", "e5"));
  play(move("g1", "f3"));
  EXPECT_EQ(turn(rules::BLACK, {SDLK_BACKSPACE}, move("d7", "d5")), move("d7", "d5"));
  EXPECT_EQ(g.board, opened);
  EXPECT_EQ(game::last_move(g.played), move("e2", "e4"));
  // The half line is completed; the opening that stands again opens the pair.
  EXPECT_EQ(out.text(), "\ntakeback\ne2e4 - ");
}

TEST_F(ShellTakeBackTest, NStartsANewGameAsWhiteOrBlack) {
  for (rules::Side side : {rules::WHITE, rules::BLACK}) {
    start(side);
    if (side == rules::BLACK) play(move("e2", "e4"));
    const rules::Move m = side == rules::WHITE ? move("e2", "e4") : move("e7", "e5");
    ASSERT_EQ(turn(side, {}, m), m);
    play(m);
    play(side == rules::WHITE ? move("e7", "e5") : move("g1", "f3"));
    push_key(SDL_KEYUP, SDLK_n);
    EXPECT_EQ(shell::human_turn(g, side), std::nullopt);
    EXPECT_EQ(g.board, start_board());
    EXPECT_TRUE(g.played.moves.empty());
    EXPECT_EQ(g.played.players, game::players_for(side)) << "the colours stay";
    const Point e4 = point_of(test_support::sq("e4"), side);  // shown empty at once
    EXPECT_EQ(pixel(g.screen, e4.x, e4.y), shell::LIGHT_SQUARE);
  }
  EXPECT_EQ(out.text(), "new game\n\nnew game\n");
}

constexpr SDLKey CLICK = SDLK_UNKNOWN;  // a click on e2, in a row of keys

// The window's additions take their keys and clicks first: the steps through
// the game, the key help, N asked twice; the game stays as it was.
TEST_F(ShellTest, KeysOfTheAdditionsViewTheGameWithoutChangingIt) {
  const struct {
    std::vector<SDLKey> keys;  // released in turn
    std::optional<std::size_t> viewed;
    bool help, asked;
    shell::Request request;
  } cases[] = {
      {{SDLK_LEFT, SDLK_HOME}, 0, false, false, shell::Request::NONE},
      {{SDLK_UP, SDLK_END}, {}, false, false, shell::Request::NONE},
      {{SDLK_LEFT, CLICK}, {}, false, false, shell::Request::NONE},  // returns, and is no move
      {{SDLK_UP, SDLK_BACKSPACE}, {}, false, false, shell::Request::NONE},  // only returns
      {{SDLK_F1}, {}, true, false, shell::Request::NONE},
      {{SDLK_SLASH}, {}, false, false, shell::Request::NONE},  // ? is a slash with shift
      {{SDLK_F1, SDLK_BACKSPACE}, {}, false, false, shell::Request::NONE},  // closes the help only
      {{SDLK_n}, {}, false, true, shell::Request::NONE},
      {{SDLK_n, SDLK_n}, {}, false, false, shell::Request::NEW_GAME},
      {{SDLK_n, CLICK, SDLK_n}, {}, false, true, shell::Request::NONE},
      {{SDLK_n, SDLK_BACKSPACE}, {}, false, false, shell::Request::TAKE_BACK},
  };
  g.take_back = true;
  for (const auto& c : cases) {
    shell::start_played(g, game::players_for(rules::WHITE));
    for (const rules::Move m : {move("e2", "e4"), move("e7", "e5"), move("g1", "f3")}) {
      shell::play(g, m);
    }
    const std::vector<rules::Move> played = g.played.moves;
    SDL_FreeSurface(g.window.help_picture);
    g.window = shell::WindowAdditions{};
    g.window.move_list = g.window.key_help = true;
    g.request = shell::Request::NONE;
    const Point e2 = point_of(E2, rules::WHITE);
    for (const SDLKey key : c.keys)
      key == CLICK ? push_click(e2.x, e2.y) : push_key(SDL_KEYUP, key);
    const rules::Move m = shell::read_human_move(g, g.board, rules::WHITE);
    const std::string what = ::testing::PrintToString(c.keys);
    EXPECT_EQ(rules::move_to(m), rules::NO_SQUARE) << what;
    EXPECT_EQ(g.window.viewed, c.viewed) << what;
    EXPECT_EQ(g.window.help_shown, c.help) << what;
    EXPECT_EQ(g.window.new_game_asked, c.asked) << what;
    EXPECT_EQ(g.request, c.request) << what;
    EXPECT_FALSE(g.window.start_notes) << what;
    EXPECT_EQ(g.played.moves, played) << what;
    // The board shows the position viewed: e4 empty at the start.
    shell::draw_board(g, g.board);
    const Point e4 = point_of(E4, rules::WHITE);
    EXPECT_EQ(pixel(g.screen, e4.x, e4.y) == shell::LIGHT_SQUARE, c.viewed == 0u) << what;
  }
  push_key(SDL_KEYUP, SDLK_SLASH, KMOD_LSHIFT);
  shell::read_human_move(g, g.board, rules::WHITE);
  EXPECT_TRUE(g.window.help_shown);
}

}  // namespace
}  // namespace shell_test
