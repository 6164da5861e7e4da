// Loading conf.ini: dropped blanks, line ends, NUL bytes, the capacity bound
// and unreadable files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/ini_file.h"
#include "config_test_support.h"

using config::INI_CAPACITY;
using config::IniText;
using config_test::load_bytes;
using config_test::stored_text;

namespace {

using namespace std::string_literals;

struct LoadCase {
  const char* label;
  std::string file;
  std::string text;
};

// Names the case by its label in test output.
void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.label; }

class IniLoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(IniLoadTest, StoresTheKeptCharacters) {
  IniText ini;
  const int stored = load_bytes(ini, GetParam().file);
  EXPECT_EQ(stored_text(ini), GetParam().text);
  EXPECT_EQ(stored, ini.length);
}

// Block of 100 bytes that starts with head and is filled up with 'x'.
std::string block_of(const std::string& head) { return head + std::string(100 - head.size(), 'x'); }

INSTANTIATE_TEST_SUITE_P(
    Files, IniLoadTest,
    testing::Values(
        LoadCase{"Empty", "", ""},
        LoadCase{"BlanksTabsLineFeeds", "[ALGO]\n max level\t= 6 ;\n", "[ALGO]maxlevel=6;"},
        LoadCase{"CarriageReturnLineFeed", "[GAME]\r\nusercolor=black;\r\n",
                 "[GAME]usercolor=black;"},
        LoadCase{"LoneCarriageReturn", "a\rb\r", "ab"},
        LoadCase{"OtherControlBytesKept", "a\vb\fc", "a\vb\fc"},
        LoadCase{"HighBytesKept", "k=\xe9\xff;", "k=\xe9\xff;"},
        // A NUL byte is kept and ends its block; the next block is read again.
        LoadCase{"NulEndsItsBlock", block_of("ab\0cd"s) + "yz", "ab\0yz"s},
        LoadCase{"NulAsLastByteOfBlock", std::string(99, 'q') + "\0"s + "r",
                 std::string(99, 'q') + "\0r"s},
        LoadCase{"NulInEveryBlock", block_of("a\0"s) + block_of("b\0"s) + "c\0d"s, "a\0b\0c\0"s},
        // Blanks count for the block bound: the NUL drops what follows in the
        // same 100 file bytes, whatever was kept before it.
        LoadCase{"BlanksInsideNulBlock", std::string(98, ' ') + "\0"s + "z" + "w", "\0w"s}),
    [](const testing::TestParamInfo<LoadCase>& param_info) {
      return std::string(param_info.param.label);
    });

// A text with bytes around it, to see that loading never writes past the capacity.
struct GuardedIni {
  char before[32];
  IniText ini;
  char after[32];
};

void expect_guards_intact(const GuardedIni& g) {
  for (int k = 0; k < 32; ++k) {
    ASSERT_EQ(g.before[k], '#');
    ASSERT_EQ(g.after[k], '#');
  }
}

TEST(IniLoadCapacity, LongFileIsCutAtTheCapacity) {
  std::string file;
  for (int k = 0; k < 5000; ++k) file += static_cast<char>('a' + k % 26);
  GuardedIni g;
  std::memset(g.before, '#', sizeof g.before);
  std::memset(g.after, '#', sizeof g.after);
  EXPECT_EQ(load_bytes(g.ini, file), INI_CAPACITY);
  EXPECT_EQ(stored_text(g.ini), file.substr(0, INI_CAPACITY));
  expect_guards_intact(g);
}

TEST(IniLoadCapacity, BlanksDoNotCountAgainstTheCapacity) {
  std::string file;
  for (int k = 0; k < INI_CAPACITY; ++k) file += " \r\n\tz";
  file += "NOT STORED";
  IniText ini;
  EXPECT_EQ(load_bytes(ini, file), INI_CAPACITY);
  EXPECT_EQ(stored_text(ini), std::string(INI_CAPACITY, 'z'));
}

TEST(IniLoadCapacity, NulBytesPastTheCapacityAreDropped) {
  std::string file = std::string(INI_CAPACITY - 1, 'a') + "b" + "\0c\0"s;
  for (int k = 0; k < 30; ++k) file += block_of("\0"s);
  GuardedIni g;
  std::memset(g.before, '#', sizeof g.before);
  std::memset(g.after, '#', sizeof g.after);
  EXPECT_EQ(load_bytes(g.ini, file), INI_CAPACITY);
  EXPECT_EQ(g.ini.text[INI_CAPACITY - 1], 'b');
  expect_guards_intact(g);
}

TEST(IniLoadCapacity, ExactlyFullFileIsKeptWhole) {
  const std::string file = "[ALGO]level=" + std::string(INI_CAPACITY - 13, '7') + ";";
  IniText ini;
  EXPECT_EQ(load_bytes(ini, file), INI_CAPACITY);
  EXPECT_EQ(stored_text(ini), file);
}

TEST(IniLoadMissing, UnreadableFileGivesMinusOneAndAnEmptyText) {
  IniText ini;
  ASSERT_EQ(load_bytes(ini, "[GAME]usercolor=white;"), 22);
  EXPECT_EQ(config::load_ini(ini, config_test::missing_file_path().c_str()), -1);
  EXPECT_EQ(ini.length, 0);
}

TEST(IniLoadMissing, DirectoryGivesAnEmptyText) {
  IniText ini;
  ASSERT_EQ(load_bytes(ini, "[GAME]usercolor=white;"), 22);
  const int stored = config::load_ini(ini, MORVA_BINARY_DIR);
  EXPECT_LE(stored, 0);
  EXPECT_EQ(ini.length, 0);
}

TEST(IniLoadReload, SecondLoadReplacesTheFirst) {
  IniText ini;
  load_bytes(ini, "[GAME]usercolor=white;[ALGO]level=9;");
  EXPECT_EQ(load_bytes(ini, "[ALGO]level=3;"), 14);
  EXPECT_EQ(stored_text(ini), "[ALGO]level=3;");
}

}  // namespace
