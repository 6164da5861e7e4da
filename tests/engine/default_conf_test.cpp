// data/conf.ini, the settings the game ships with, reads back as written.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "capture.h"
#include "config/ini_file.h"

namespace {

const std::string CONF_PATH = std::string(MORVA_DATA_DIR) + "/conf.ini";

TEST(DefaultConf, EverySettingReadsItsOwnLine) {
  // The reader matches keys as substrings: "level" must stand before
  // "prelevel" and "maxlevel", or it would read one of their values.
  std::ostringstream text;
  text << std::ifstream(CONF_PATH).rdbuf();
  const std::string file = text.str();
  config::IniText ini;
  ASSERT_GT(config::load_ini(ini, CONF_PATH.c_str()), 0);
  test_support::OutputCapture out;
  EXPECT_EQ(config::ini_value(ini, "GAME", "usercolor"), "white");
  EXPECT_EQ(config::ini_find(ini, "GAME", "lastmove"), "on");
  EXPECT_EQ(config::ini_find(ini, "GAME", "takeback"), "on");
  EXPECT_EQ(config::ini_find(ini, "GAME", "hint"), "on");
  EXPECT_EQ(config::ini_find(ini, "GAME", "draws"), "on");
  EXPECT_EQ(config::ini_find(ini, "ALGO", "soundkings"), "on");
  EXPECT_EQ(config::ini_find(ini, "ALGO", "ponder"), "on");
  for (const char* key : {"level", "prelevel", "maxlevel", "complexity"}) {
    // The value written on the line that starts with the key.
    std::smatch line;
    ASSERT_TRUE(
        std::regex_search(file, line, std::regex("(^|\n)" + std::string(key) + "=([^;\n]*);")))
        << key;
    EXPECT_EQ(config::ini_value(ini, "ALGO", key), line[2].str()) << key;
    EXPECT_GT(config::ini_int(ini, "ALGO", key), 0) << key;
  }
  EXPECT_EQ(out.text(), "") << "no warnings";
  EXPECT_LE(config::ini_int(ini, "ALGO", "level"), config::ini_int(ini, "ALGO", "maxlevel"));
}

}  // namespace
