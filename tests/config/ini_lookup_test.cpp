// Looking values up: the reader's matching rules, its warnings and the
// numeric conversion.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "config/ini_file.h"
#include "config_test_support.h"

using config::IniText;
using config_test::load_bytes;
using config_test::OutputCapture;

namespace {

using namespace std::string_literals;

constexpr const char* NO_SECTION = "section not found";
constexpr const char* NO_VALUE = "value not found";

struct LookupCase {
  const char* label;
  std::string file;
  const char* section;
  const char* key;
  std::string value;
  const char* warning;  // nullptr: no report expected
};

// Names the case by its label in test output.
void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.label; }

class IniLookupTest : public testing::TestWithParam<LookupCase> {};

TEST_P(IniLookupTest, GivesTheValueAndTheWarning) {
  const LookupCase& c = GetParam();
  IniText ini;
  load_bytes(ini, c.file);
  OutputCapture out;
  EXPECT_EQ(config::ini_value(ini, c.section, c.key), c.value);
  if (c.warning == nullptr) {
    EXPECT_EQ(out.text(), "");
  } else {
    EXPECT_EQ(out.text().rfind("WARNING\t"s + c.warning + "\n\tfile ini_file.cpp line ", 0), 0u)
        << out.text();
  }
}

const char* const ORDINARY_FILE =
    "[GAME]\nusercolor = white ;\n\n[ALGO]\nlevel = 4;\nprelevel = 2;\nmaxlevel = 6;\n"
    "complexity = 3;\n";

INSTANTIATE_TEST_SUITE_P(
    Files, IniLookupTest,
    testing::Values(
        LookupCase{"OrdinaryGame", ORDINARY_FILE, "GAME", "usercolor", "white", nullptr},
        LookupCase{"OrdinaryComplexity", ORDINARY_FILE, "ALGO", "complexity", "3", nullptr},
        LookupCase{"LineEndsVanish", "[ALGO]\nlevel = 5 ;\n", "ALGO", "level", "5", nullptr},
        LookupCase{"BlanksInsideValue", "[GAME]usercolor = d e\tm o;", "GAME", "usercolor", "demo",
                   nullptr},
        LookupCase{"CarriageReturns", "[GAME]\r\nusercolor=black;\r\n", "GAME", "usercolor",
                   "black", nullptr},
        LookupCase{"SubstringKeyFirst", "[ALGO]prelevel=2;level=5;", "ALGO", "level", "2", nullptr},
        LookupCase{"WholeKeyFirst", "[ALGO]level=5;prelevel=2;", "ALGO", "level", "5", nullptr},
        LookupCase{"KeyWithoutEqualsSkipped", "[ALGO]levellevel=3;", "ALGO", "level", "3", nullptr},
        LookupCase{"EmptyValue", "[ALGO]level=;", "ALGO", "level", "", nullptr},
        LookupCase{"EmptyValueAtEnd", "[ALGO]level=", "ALGO", "level", "", nullptr},
        LookupCase{"ValueRunsToEnd", "[ALGO]level=7 \n", "ALGO", "level", "7", nullptr},
        LookupCase{"MissingSemicolonSwallows", "[GAME]usercolor=white\n[ALGO]level=4;", "GAME",
                   "usercolor", "white[ALGO]level=4", nullptr},
        LookupCase{"OnlyClosingBracketNeeded", "GAME]usercolor=demo;", "GAME", "usercolor", "demo",
                   nullptr},
        LookupCase{"ValueMayHoldEquals", "[ALGO]level==4=;", "ALGO", "level", "=4=", nullptr},
        LookupCase{"NulInsideValue", "[ALGO]level=4\0;"s, "ALGO", "level", "4\0"s, nullptr},
        LookupCase{"NoSection", "[ALGO]level=4;", "GAME", "usercolor", NO_SECTION, NO_SECTION},
        LookupCase{"CaseMatters", "[game]usercolor=white;", "GAME", "usercolor", NO_SECTION,
                   NO_SECTION},
        LookupCase{"EmptyFile", "", "GAME", "usercolor", NO_SECTION, NO_SECTION},
        LookupCase{"FirstOccurrenceOnly", "ALGOx[ALGO]level=5;", "ALGO", "level", NO_VALUE,
                   NO_VALUE},
        LookupCase{"NameInsideAValue", "[GAME]usercolor=ALGO;[ALGO]level=5;", "ALGO", "level",
                   NO_VALUE, NO_VALUE},
        LookupCase{"SectionNameAtEnd", "[ALGO", "ALGO", "level", NO_VALUE, NO_VALUE},
        LookupCase{"KeyInLaterSection", "[GAME]usercolor=white;[ALGO]level=5;", "GAME", "level",
                   NO_VALUE, NO_VALUE},
        LookupCase{"BracketInsideOtherValue", "[A]k=[B];[B]k=2;", "B", "k", NO_VALUE, NO_VALUE},
        LookupCase{"KeyAtEndWithoutEquals", "[ALGO]level", "ALGO", "level", NO_VALUE, NO_VALUE},
        LookupCase{"KeyNotInSection", "[ALGO]level=4;", "ALGO", "complexity", NO_VALUE, NO_VALUE},
        LookupCase{"HeaderOnly", "[ALGO]", "ALGO", "level", NO_VALUE, NO_VALUE}),
    [](const testing::TestParamInfo<LookupCase>& param_info) {
      return std::string(param_info.param.label);
    });

// Lookups in a text filled directly, holding characters that loading never
// stores, and stale characters past its length.
TEST(IniLookupBounds, NothingPastTheLengthCounts) {
  IniText ini;
  std::memset(ini.text, 'z', sizeof ini.text);
  const std::string text = "[ALGO]level=4";
  std::memcpy(ini.text, text.data(), text.size());
  ini.text[text.size()] = ';';
  ini.length = static_cast<int>(text.size()) - 1;  // "[ALGO]level="
  OutputCapture out;
  EXPECT_EQ(config::ini_value(ini, "ALGO", "level"), "");
  ini.length = 5;  // "[ALGO"
  EXPECT_EQ(config::ini_value(ini, "ALGO", "level"), NO_VALUE);
  ini.length = 10;  // "[ALGO]leve"
  EXPECT_EQ(config::ini_value(ini, "ALGO", "level"), NO_VALUE);
  ini.length = 0;
  EXPECT_EQ(config::ini_value(ini, "", ""), NO_SECTION);
}

TEST(IniLookupBounds, FullTextWithoutSemicolonRunsToTheCapacity) {
  IniText ini;
  const std::string head = "[ALGO]level=";
  std::memcpy(ini.text, head.data(), head.size());
  std::memset(ini.text + head.size(), '5', config::INI_CAPACITY - head.size());
  ini.length = config::INI_CAPACITY;
  EXPECT_EQ(config::ini_value(ini, "ALGO", "level"),
            std::string(config::INI_CAPACITY - head.size(), '5'));
}

TEST(IniLookupMissingFile, EveryLookupReportsSectionNotFound) {
  IniText ini;
  ASSERT_EQ(config::load_ini(ini, config_test::missing_file_path().c_str()), -1);
  OutputCapture out;
  EXPECT_EQ(config::ini_value(ini, "GAME", "usercolor"), NO_SECTION);
  EXPECT_EQ(config::ini_int(ini, "ALGO", "level"), 0);
  const std::string report = out.text();
  EXPECT_EQ(report.rfind("WARNING\tsection not found\n\tfile ini_file.cpp line ", 0), 0u);
  // Two reports of three lines each.
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 6);
  EXPECT_NE(report.find("\nWARNING\tsection not found\n"), std::string::npos);
}

struct IntCase {
  const char* value;
  int number;
};

TEST(IniInt, ConvertsLikeAtoi) {
  const IntCase cases[] = {{"4", 4},
                           {"-12abc", -12},
                           {"+7", 7},
                           {"007", 7},
                           {"abc", 0},
                           {"", 0},
                           {"-", 0},
                           {"+-3", 0},
                           {"3-4", 3},
                           {"\v\f9", 9},
                           {"1.5", 1},
                           {"2147483647", INT_MAX},
                           {"-2147483648", INT_MIN},
                           {"99999999999999999999", INT_MAX},
                           {"-99999999999999999999", INT_MIN}};
  for (const IntCase& c : cases) {
    IniText ini;
    load_bytes(ini, "[ALGO]level="s + c.value + ";");
    OutputCapture out;
    EXPECT_EQ(config::ini_int(ini, "ALGO", "level"), c.number) << "value \"" << c.value << '"';
    EXPECT_EQ(out.text(), "") << "value \"" << c.value << '"';
  }
}

TEST(IniInt, MissGivesZeroAfterTheWarning) {
  IniText ini;
  load_bytes(ini, "[ALGO]prelevel=2;");
  OutputCapture out;
  EXPECT_EQ(config::ini_int(ini, "ALGO", "complexity"), 0);
  EXPECT_EQ(out.text().rfind("WARNING\tvalue not found\n", 0), 0u);
}

}  // namespace

// ini_find: the same value as ini_value, and a miss without any report;
// ini_int_deferred: the same, with the report owed until report_miss.
TEST(IniFind, FindsWithoutReports) {
  config::IniText ini;
  const std::string text = "[ALGO]level=4;prelevel=2;threads=2;[GAME]usercolor=demo;";
  std::copy(text.begin(), text.end(), ini.text);
  ini.length = static_cast<int>(text.size());
  OutputCapture out;
  EXPECT_EQ(config::ini_find(ini, "ALGO", "threads"), std::optional<std::string>("2"));
  EXPECT_EQ(config::ini_find(ini, "ALGO", "level"), std::optional<std::string>("4"));
  EXPECT_EQ(config::ini_find(ini, "ALGO", "usercolor"), std::nullopt);  // stops at [GAME]
  EXPECT_EQ(config::ini_find(ini, "NONE", "threads"), std::nullopt);
  const config::IniInt found = config::ini_int_deferred(ini, "ALGO", "prelevel");
  const config::IniInt missed = config::ini_int_deferred(ini, "ALGO", "complexity");
  EXPECT_EQ(out.text(), "");
  EXPECT_TRUE(found.value == 2 && found.miss == nullptr);
  EXPECT_EQ(missed.value, 0);
  config::report_miss(missed.miss);
  EXPECT_EQ(out.text().rfind("WARNING\tvalue not found\n\tfile ini_file.cpp line ", 0), 0u);
}
