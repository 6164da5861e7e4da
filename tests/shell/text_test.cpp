// Text in the window: a line drawn where it was measured and nowhere else,
// and the font's failure in one line.
#include "shell/text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "shell/panel.h"
#include "shell_fixture.h"

namespace shell_test {
namespace {

constexpr shell::Rgb GROUND = {30, 60, 90};
constexpr shell::Rgb INK = {250, 240, 200};

TEST_F(ShellTest, TextDrawnWithinItsMeasuredBoxOnlyAndAFontMissingInOneLine) {
  shell::Text text;
  std::ostringstream err;
  ASSERT_TRUE(shell::open_text(text, shell::font_path(), shell::TEXT_SIZE, err)) << err.str();
  const std::string line = "Your move: g8-f6?";
  const shell::TextSize size = shell::measure_text(text, line);
  fill(g.screen, GROUND);
  const int x = 30, y = 100;
  const SDL_Rect drawn = shell::draw_text(g.screen, text, line, x, y, INK);
  EXPECT_EQ(drawn.w, size.w);
  EXPECT_EQ(drawn.h, size.h);
  int inked = 0, outside = 0;
  for (int py = 0; py < g.screen->h; ++py) {
    for (int px = 0; px < g.screen->w; ++px) {
      if (pixel(g.screen, px, py) == GROUND) continue;
      const bool inside = px >= x && px < x + size.w && py >= y && py < y + size.h;
      (inside ? inked : outside) += 1;
    }
  }
  EXPECT_GT(inked, 10 * static_cast<int>(line.size()));
  EXPECT_EQ(outside, 0);
  // Opening another font closes this one; one that cannot be opened is one line.
  EXPECT_FALSE(shell::open_text(text, "/nonexistent/Font.ttf", shell::TEXT_SIZE, err));
  EXPECT_THAT(err.str(), testing::MatchesRegex("morva: cannot open the font /nonexistent/Font.ttf: "
                                               "[^\n]+\n"));
  EXPECT_EQ(text.font, nullptr);
}

// A status line too wide for the panel breaks at its dash where both halves
// fit, and otherwise between words, the dash kept with the word before it.
TEST(ShellText, LinesWrapAtTheDashFirst) {
  shell::Text text;
  std::ostringstream err;
  ASSERT_TRUE(shell::open_text(text, shell::font_path(), shell::TEXT_SIZE, err)) << err.str();
  const auto width = [&](const std::string& line) { return shell::measure_text(text, line).w; };
  using Lines = std::vector<std::string>;
  EXPECT_EQ(shell::wrap_text(text, "Your move — you play white", width("you play white")),
            (Lines{"Your move —", "you play white"}));
  const int narrow = width("bbbb — cc");
  ASSERT_GT(width("aaaa bbbb —"), narrow);
  EXPECT_EQ(shell::wrap_text(text, "aaaa bbbb — cc", narrow), (Lines{"aaaa", "bbbb — cc"}));
  shell::close_text(text);
}

}  // namespace
}  // namespace shell_test
