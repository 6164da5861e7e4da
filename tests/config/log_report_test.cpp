// The three-line report: exact text, base names and the build stamp.
#include "config/log_report.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "config/ini_file.h"
#include "config_test_support.h"

using config_test::OutputCapture;

namespace {

// The third report line: "Mmm dd yyyy hh:mm:ss" with a blank-padded day.
const std::regex STAMP_LINE(
    "\tcompilation (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) ( [1-9]|[12][0-9]|3[01]) "
    "[0-9]{4} ([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]\n");

TEST(LogReport, WritesThreeExactLines) {
  OutputCapture out;
  config::log_report("ERROR", "cannot open file ./db/index.db", "/src/morva/book/db.cpp", 42,
                     "Aug 10 2001", "00:58:13");
  EXPECT_EQ(out.text(),
            "ERROR\tcannot open file ./db/index.db\n"
            "\tfile db.cpp line 42\n"
            "\tcompilation Aug 10 2001 00:58:13\n");
}

TEST(LogReport, BaseNameDropsEveryFolder) {
  EXPECT_STREQ(config::base_name("/a/b/ini_file.cpp"), "ini_file.cpp");
  EXPECT_STREQ(config::base_name("ini_file.cpp"), "ini_file.cpp");
  EXPECT_STREQ(config::base_name("C:\\morva\\book\\db.cpp"), "db.cpp");
  EXPECT_STREQ(config::base_name("src/book\\db.cpp"), "db.cpp");
  EXPECT_STREQ(config::base_name("folder/"), "");
}

TEST(LogReport, MacroNamesTheCallingFileLineAndBuild) {
  OutputCapture out;
  const int line = __LINE__ + 1;
  LOG_REPORT("WARNING", "value not found");
  const std::string expected =
      std::string("WARNING\tvalue not found\n\tfile log_report_test.cpp line ") +
      std::to_string(line) + "\n\tcompilation " + __DATE__ + " " + __TIME__ + "\n";
  EXPECT_EQ(out.text(), expected);
}

// Checks one reader warning: kind and message, ini_file.cpp with a line, the build stamp.
void expect_reader_warning(const std::string& report, const std::string& message) {
  const std::regex shape("WARNING\t" + message +
                         "\n\tfile ini_file\\.cpp line [1-9][0-9]*\n(.*\n)");
  std::smatch parts;
  ASSERT_TRUE(std::regex_match(report, parts, shape)) << report;
  EXPECT_TRUE(std::regex_match(parts[1].str(), STAMP_LINE)) << parts[1];
}

TEST(LogReport, ReaderWarningsNameIniFileAndStamp) {
  config::IniText ini;
  const std::string path = config_test::write_scratch_file("conf", "[ALGO]level=4;");
  config::load_ini(ini, path.c_str());
  {
    OutputCapture out;
    config::ini_value(ini, "GAME", "usercolor");
    expect_reader_warning(out.text(), "section not found");
  }
  {
    OutputCapture out;
    config::ini_value(ini, "ALGO", "maxlevel");
    expect_reader_warning(out.text(), "value not found");
  }
}

TEST(LogReport, StampPatternRejectsMalformedDates) {
  EXPECT_TRUE(std::regex_match("\tcompilation Aug  1 2001 00:58:13\n", STAMP_LINE));
  EXPECT_FALSE(std::regex_match("\tcompilation Aug 01 2001 00:58:13\n", STAMP_LINE));
  EXPECT_FALSE(std::regex_match("\tcompilation aug 10 2001 00:58:13\n", STAMP_LINE));
  EXPECT_FALSE(std::regex_match("\tcompilation Aug 10 2001 0:58:13\n", STAMP_LINE));
}

}  // namespace
