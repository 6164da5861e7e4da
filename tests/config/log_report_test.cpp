// The three-line report: exact text, base names and the build stamp.
#include "config/log_report.h"

#include <gtest/gtest.h>

#include <string>

#include "config_test_support.h"

using config_test::OutputCapture;

namespace {

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

}  // namespace
