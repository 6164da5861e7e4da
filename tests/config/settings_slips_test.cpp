// The slips of a conf.ini, one line each, and the table of known keys.
#include "config/settings_slips.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "config_test_support.h"

using config_test::load_bytes;
using config_test::OutputCapture;

namespace {

const std::string GAME = "[GAME]\nusercolor=white;\n";
const std::string ALGO = "[ALGO]\nlevel=7;\nprelevel=4;\nmaxlevel=8;\ncomplexity=10;\n";

struct SlipCase {
  const char* label;
  std::string file;
  std::vector<std::string> slips;
};

void PrintTo(const SlipCase& c, std::ostream* os) { *os << c.label; }

class SettingsSlipsTest : public testing::TestWithParam<SlipCase> {};

TEST_P(SettingsSlipsTest, NamesEachSlipInOneLine) {
  config::IniText ini;
  load_bytes(ini, GetParam().file);
  OutputCapture out;
  EXPECT_EQ(config::find_slips(ini), GetParam().slips);
  EXPECT_EQ(out.text(), "") << "the reader's warnings are its own";
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsSlipsTest,
    testing::Values(
        SlipCase{"Clean", GAME + "hint=off;\nscale=2;\n" + ALGO + "threads=2;\n", {}},
        SlipCase{"UsercolorMisspelt",
                 "[GAME]usercolor=whte;" + ALGO,
                 {"usercolor=whte is not white, black or demo: the computer plays white and you "
                  "play black; did you mean white?"}},
        // The reader finds "level=" inside prelevel and plays at its depth.
        SlipCase{"LevelMisspeltBeforePrelevel",
                 GAME + "[ALGO]levle=7;prelevel=4;maxlevel=8;complexity=10;",
                 {"levle in [ALGO] is not a key the game knows; did you mean level?",
                  "level is not set in [ALGO]: the game reads level=4 from inside prelevel=4"}},
        SlipCase{"ComplexityMisspelt",
                 GAME + "[ALGO]level=7;prelevel=4;maxlevel=8;complexty=10;",
                 {"complexty in [ALGO] is not a key the game knows; did you mean complexity?",
                  "complexity is not found in [ALGO] (the warning \"value not found\"): 0 is "
                  "used"}},
        SlipCase{"LevelAfterPrelevel",
                 GAME + "[ALGO]prelevel=2;level=5;maxlevel=8;complexity=10;",
                 {"level=5 in [ALGO] is not read: the game finds level=2 first, inside "
                  "prelevel=2; write level before it"}},
        SlipCase{"KeyOfTheOtherSectionAndTwice",
                 GAME + "ponder=on;\n" + ALGO + "level=5;[GAME]hint=on;",
                 {"ponder in [GAME] is read only in [ALGO]",
                  "level is given twice in [ALGO]; the game reads the first, level=7",
                  "[GAME] is given twice; the game reads only the first"}},
        SlipCase{"SemicolonForgotten",
                 "[GAME]usercolor=white\n" + ALGO,
                 {"the value of usercolor runs on into the next [: a ';' is missing after "
                  "usercolor=white",
                  "usercolor=white[ALGO]level=7 is not white, black or demo: the computer plays "
                  "white and you play black"}},
        SlipCase{"SectionMisspeltStrayTextSwitch",
                 "#settings\n[GMAE]usercolor=white;\n" + ALGO + "ponder=On;\nsound kings;\n",
                 {"#settings stands before any section and is not read",
                  "[GMAE] is not a section the game reads; did you mean [GAME]?",
                  "soundkings in [ALGO] is not a key=value; entry",
                  "usercolor is not found in [GAME] (the warning \"section not found\"): the "
                  "computer plays white",
                  "ponder=On is neither on nor off: ponder stays off; did you mean on?"}}),
    [](const testing::TestParamInfo<SlipCase>& param_info) {
      return std::string(param_info.param.label);
    });

TEST(SettingsSlips, ReportedAfterThePrefixNoneForTheShippedSettings) {
  std::ostringstream err;
  const std::string path = config_test::write_scratch_file(
      "levle", GAME + "[ALGO]levle=7;prelevel=4;maxlevel=8;complexity=10;");
  const std::vector<std::string> slips = config::report_slips(path.c_str(), err);
  ASSERT_EQ(slips.size(), 2u);
  EXPECT_EQ(err.str(), "morva: conf.ini: " + slips[0] + "\nmorva: conf.ini: " + slips[1] + "\n");
  EXPECT_EQ(config::report_slips((std::string(MORVA_DATA_DIR) + "/conf.ini").c_str(), err),
            std::vector<std::string>{});
  EXPECT_EQ(config::report_slips(config_test::missing_file_path().c_str(), err).size(), 1u);
}

// A key that ends with another key of its section hides the shorter one when
// it stands first; only level's, in prelevel and maxlevel, are allowed.
TEST(KnownKeys, NoKeyEndsWithAnotherOfItsSection) {
  for (const config::KnownKey& shorter : config::KNOWN_KEYS) {
    for (const config::KnownKey& longer : config::KNOWN_KEYS) {
      const std::string_view a = shorter.name, b = longer.name;
      if (&shorter == &longer || std::string_view(shorter.section) != longer.section) continue;
      EXPECT_TRUE(!b.ends_with(a) || (a == "level" && (b == "prelevel" || b == "maxlevel")))
          << a << " in " << b;
    }
  }
}

}  // namespace
