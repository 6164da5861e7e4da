// The progress dialog: its place, the bar's width, one background per run, and
// the event polling that lets the window close while the computer thinks.

#include <gtest/gtest.h>

#include "shell/progress_display.h"
#include "shell/startup.h"
#include "shell_fixture.h"

namespace shell_test {
namespace {

using shell::Rgb;

constexpr Rgb GROUND = {1, 2, 3};
constexpr int DIALOG_X = 10 * shell::SQUARE_SIZE - DIALOG_W - 5;  // 335
constexpr int DIALOG_Y = 10 * shell::SQUARE_SIZE - DIALOG_H - 5;  // 425
constexpr int BAR_X = DIALOG_X + 8;
constexpr int BAR_Y = DIALOG_Y + 6;

// Returns how many pixels of the bar's first row carry the bar colour, after
// checking that they form one run from the bar's left end.
int bar_width(shell::Game& g) {
  int width = 0;
  while (width < BAR_W && pixel(g.screen, BAR_X + width, BAR_Y) == BAR_COLOR) ++width;
  for (int x = width; x < BAR_W; ++x) {
    EXPECT_FALSE(pixel(g.screen, BAR_X + x, BAR_Y) == BAR_COLOR) << "bar pixel at " << x;
  }
  return width;
}

class ShellProgressTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    fill(g.screen, GROUND);
  }
};

TEST_F(ShellProgressTest, DialogSitsFivePixelsFromTheBottomRight) {
  const SDL_Rect at = shell::dialog_position(g);
  EXPECT_EQ(at.x, DIALOG_X);
  EXPECT_EQ(at.y, DIALOG_Y);
  shell::show_progress(g, 0.5f);
  EXPECT_EQ(pixel(g.screen, DIALOG_X, DIALOG_Y), DIALOG_COLOR);
  EXPECT_EQ(pixel(g.screen, DIALOG_X + DIALOG_W - 1, DIALOG_Y + DIALOG_H - 1), DIALOG_COLOR);
  EXPECT_EQ(pixel(g.screen, DIALOG_X - 1, DIALOG_Y), GROUND);
  EXPECT_EQ(pixel(g.screen, DIALOG_X + DIALOG_W, DIALOG_Y + DIALOG_H), GROUND);
  EXPECT_EQ(pixel(g.screen, BAR_X, BAR_Y), BAR_COLOR);
  EXPECT_EQ(pixel(g.screen, BAR_X - 1, BAR_Y), DIALOG_COLOR);
  EXPECT_EQ(pixel(g.screen, BAR_X, BAR_Y - 1), DIALOG_COLOR);
  EXPECT_EQ(pixel(g.screen, BAR_X, BAR_Y + BAR_H - 1), BAR_COLOR);
  EXPECT_EQ(pixel(g.screen, BAR_X, BAR_Y + BAR_H), DIALOG_COLOR);
}

TEST_F(ShellProgressTest, BarWidthIsTheFractionCutTowardsZero) {
  const struct {
    float fraction;
    int width;
  } cases[] = {{0.5f, 50}, {1.0f, 100}, {0.999f, 99}, {0.01f, 1}, {0.009f, 0}};
  for (const auto& c : cases) {
    fill(g.screen, GROUND);
    g.progress_shown = false;
    shell::show_progress(g, c.fraction);
    EXPECT_TRUE(g.progress_shown);
    EXPECT_EQ(bar_width(g), c.width) << "fraction " << c.fraction;
    EXPECT_EQ(pixel(g.screen, DIALOG_X, DIALOG_Y), DIALOG_COLOR);
  }
}

TEST_F(ShellProgressTest, ZeroFirstDrawsNothing) {
  shell::show_progress(g, 0.0f);
  EXPECT_FALSE(g.progress_shown);
  EXPECT_EQ(pixel(g.screen, DIALOG_X, DIALOG_Y), GROUND);
  EXPECT_EQ(pixel(g.screen, BAR_X, BAR_Y), GROUND);
}

TEST_F(ShellProgressTest, DialogIsDrawnOncePerRunAndAfreshAfterZero) {
  shell::show_progress(g, 0.3f);
  // Mark the dialog: a later report of the same run must not paint it over.
  SDL_Rect mark = {static_cast<Sint16>(BAR_X + 60), static_cast<Sint16>(BAR_Y), 1, 1};
  SDL_FillRect(g.screen, &mark, SDL_MapRGB(g.screen->format, 9, 9, 9));
  shell::show_progress(g, 0.5f);
  EXPECT_EQ(bar_width(g), 50);
  EXPECT_EQ(pixel(g.screen, BAR_X + 60, BAR_Y), (Rgb{9, 9, 9}));

  shell::show_progress(g, 1.0f);
  EXPECT_EQ(bar_width(g), 100);
  shell::show_progress(g, 0.0f);  // ends the run; the full bar stays on screen
  EXPECT_FALSE(g.progress_shown);
  EXPECT_EQ(bar_width(g), 100);

  shell::show_progress(g, 0.25f);  // a new run: background first, covering the old bar
  EXPECT_EQ(bar_width(g), 25);
  EXPECT_EQ(pixel(g.screen, BAR_X + 60, BAR_Y), DIALOG_COLOR);
}

TEST_F(ShellProgressTest, FractionsOutsideTheRangeStayInsideTheBar) {
  shell::show_progress(g, 1.5f);
  EXPECT_EQ(bar_width(g), 100);
  EXPECT_EQ(pixel(g.screen, BAR_X + BAR_W, BAR_Y), DIALOG_COLOR);
  shell::show_progress(g, -0.5f);
  EXPECT_EQ(bar_width(g), 100);  // nothing drawn over the earlier bar
}

TEST_F(ShellProgressTest, TheWindowHostDrawsProgressOnItsGame) {
  const engine::SearchHost host = shell::window_host(g);
  host.progress(host.context, 0.5f);
  EXPECT_EQ(bar_width(g), 50);
  EXPECT_TRUE(g.progress_shown);
}

// While the computer thinks, a report drops clicks and keys; a close or Escape
// released is noted, and the search is told to stop, instead of ending the
// process under it.
TEST_F(ShellProgressTest, ReportsDropEventsAndNoteAQuit) {
  const engine::SearchHost host = shell::window_host(g);
  const std::vector<std::pair<const char*, void (*)()>> cases = {
      {"nothing but clicks, keys and motion", [] {}},
      {"Escape released", [] { push_key(SDL_KEYUP, SDLK_ESCAPE); }},
      {"the close", [] { push_simple(SDL_QUIT); }},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    g.quit_requested = false;
    push_click(100, 100);
    push_key(SDL_KEYDOWN, SDLK_ESCAPE);
    push_key(SDL_KEYUP, SDLK_q);
    push_simple(SDL_MOUSEMOTION);
    cases[i].second();
    shell::show_progress(g, 0.5f);
    EXPECT_EQ(drain_events(), 0) << cases[i].first;
    EXPECT_EQ(host.stop_requested(host.context), i > 0) << cases[i].first;
  }
}

}  // namespace
}  // namespace shell_test
