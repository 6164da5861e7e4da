// The reader of conf.ini: the whole file kept as one compact text with every
// blank, tab and line end dropped, and lookups of one value by section and key.
#pragma once

#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace config {

// Most characters an IniText holds; the rest of a longer file is dropped.
inline constexpr int INI_CAPACITY = 1000;

// The file's characters without blanks, tabs, line feeds and carriage returns;
// only the first length characters of text are meaningful.
struct IniText {
  char text[INI_CAPACITY];
  std::int32_t length = 0;
};

// Reads a file into the text (at most INI_CAPACITY characters, a NUL byte kept
// but ending its 100-byte block); returns the number of characters stored, or
// -1 when the file cannot be opened (the text is then empty).
int load_ini(IniText& ini, const char* path);

// Reads the text of a file held in memory into ini exactly as load_ini reads
// the file; returns the number of characters stored.
int load_ini_text(IniText& ini, std::string_view file_text);

// Returns the value of key in section (the characters after "key=" up to the
// next ';' or the end of the text), or, after a warning report, the warning's
// own text: "section not found" or "value not found".
std::string ini_value(const IniText& ini, const char* section, const char* key);

// Returns the value of key in section like ini_value, or nothing, without any
// report: for settings that may be left out.
std::optional<std::string> ini_find(const IniText& ini, const char* section, const char* key);

// Where a lookup finds a value: the characters [start, end) of the text, or
// the miss ("section not found" or "value not found").
struct IniSpan {
  const char* miss = nullptr;  // null when the value was found
  int start = 0;
  int end = 0;
};

// Returns where ini_value would take its value from, without any report: for
// a check of the file that names what the reader's rules make of it.
IniSpan ini_locate(const IniText& ini, const char* section, const char* key);

// Returns ini_value converted as atoi does (0 on a miss, after the warning).
int ini_int(const IniText& ini, const char* section, const char* key);

// An integer setting whose warning, on a miss, is owed until the value is used.
struct IniInt {
  int value = 0;
  const char* miss = nullptr;  // the warning's text, or null when the key was found
};

// Looks an integer up as ini_int does, but leaves the warning to report_miss,
// for a caller that may end before it uses the value.
IniInt ini_int_deferred(const IniText& ini, const char* section, const char* key);

// Writes the warning report of a lookup's miss, exactly as ini_value does (to
// out, standard output unless another stream is named); nothing for null.
void report_miss(const char* miss, std::ostream& out = std::cout);

// Converts text as atoi does (leading white space, optional sign, decimal
// digits up to the first other character, 0 without digits), saturating at
// the limits of int instead of overflowing.
int parse_int(const std::string& text);

}  // namespace config
