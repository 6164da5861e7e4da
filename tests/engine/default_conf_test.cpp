// data/conf.ini, the settings the game ships with, reads back as written.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "capture.h"
#include "config/ini_file.h"

namespace {

const std::string CONF_PATH = std::string(MORVA_DATA_DIR) + "/conf.ini";

// Returns the "key=value;" lines of the file, read line by line.
std::map<std::string, std::string> entries_by_line(const std::string& path) {
  std::map<std::string, std::string> entries;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    const std::size_t eq = line.find('='), end = line.find(';');
    if (eq != std::string::npos && end != std::string::npos && eq < end) {
      entries[line.substr(0, eq)] = line.substr(eq + 1, end - eq - 1);
    }
  }
  return entries;
}

TEST(DefaultConf, EverySettingReadsItsOwnLine) {
  // The reader matches keys as substrings: "level" must stand before
  // "prelevel" and "maxlevel", or it would read one of their values.
  std::map<std::string, std::string> lines = entries_by_line(CONF_PATH);
  config::IniText ini;
  ASSERT_GT(config::load_ini(ini, CONF_PATH.c_str()), 0);
  test_support::OutputCapture out;
  EXPECT_EQ(config::ini_value(ini, "GAME", "usercolor"), "white");
  EXPECT_EQ(config::ini_find(ini, "GAME", "lastmove"), "on");
  EXPECT_EQ(config::ini_find(ini, "GAME", "takeback"), "on");
  for (const char* key : {"level", "prelevel", "maxlevel", "complexity"}) {
    ASSERT_EQ(lines.count(key), 1U) << key;
    EXPECT_EQ(config::ini_value(ini, "ALGO", key), lines[key]) << key;
    EXPECT_GT(config::ini_int(ini, "ALGO", key), 0) << key;
  }
  EXPECT_EQ(out.text(), "") << "no warnings";
  EXPECT_LE(config::ini_int(ini, "ALGO", "level"), config::ini_int(ini, "ALGO", "maxlevel"));
}

}  // namespace
