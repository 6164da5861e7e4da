// Text in the window: a line drawn where it was measured and nowhere else,
// the font's failure in one line, and the settings that want text.
#include "shell/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "shell_fixture.h"

namespace shell_test {
namespace {

constexpr shell::Rgb GROUND = {30, 60, 90};
constexpr shell::Rgb INK = {250, 240, 200};

TEST_F(ShellTest, TextDrawnWithinItsMeasuredBoxOnly) {
  shell::Text text;
  std::ostringstream err;
  ASSERT_TRUE(shell::open_text(text, shell::font_path(), shell::TEXT_SIZE, err)) << err.str();
  const std::string line = "Your move: g8-f6?";
  const shell::TextSize size = shell::measure_text(text, line);
  EXPECT_GT(size.w, 5 * shell::TEXT_SIZE);
  EXPECT_GE(size.h, shell::TEXT_SIZE);
  EXPECT_LT(size.w, shell::measure_text(text, line + line).w);
  fill(g.screen, GROUND);
  const int x = 30, y = 100;
  const SDL_Rect drawn = shell::draw_text(g.screen, text, line, x, y, INK);
  EXPECT_EQ(drawn.x, x);
  EXPECT_EQ(drawn.y, y);
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
  shell::close_text(text);
  EXPECT_EQ(shell::measure_text(text, line).w, 0);
  EXPECT_EQ(shell::draw_text(g.screen, text, line, x, y, INK).w, 0);
}

TEST(Text, AFontThatCannotBeOpenedIsOneLine) {
  shell::Text text;
  std::ostringstream err;
  EXPECT_FALSE(shell::open_text(text, "/nonexistent/Font.ttf", shell::TEXT_SIZE, err));
  EXPECT_EQ(err.str().rfind("morva: cannot open the font /nonexistent/Font.ttf: ", 0), 0u)
      << err.str();
  EXPECT_EQ(err.str().find('\n'), err.str().size() - 1);
  EXPECT_EQ(text.font, nullptr);
}

TEST(Text, WantedByTheSettingsThatShowText) {
  const struct {
    const char* settings;
    bool wanted;
  } cases[] = {
      {"[GAME]usercolor=white;lastmove=on;hint=on;", false},
      {"[GAME]usercolor=white;status=off;", false},
      {"[GAME]usercolor=white;coordinates=on;", true},
      {"[GAME]keyhelp=on;[ALGO]level=4;", true},
      {"[GAME]usercolor=white;[ALGO]status=on;", false},
  };
  for (const auto& c : cases) {
    config::IniText ini;
    ini.length = static_cast<int>(std::string(c.settings).size());
    std::copy_n(c.settings, ini.length, ini.text);
    EXPECT_EQ(shell::text_wanted(ini), c.wanted) << c.settings;
  }
}

}  // namespace
}  // namespace shell_test
