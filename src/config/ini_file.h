// The reader of conf.ini: the whole file kept as one compact text with every
// blank, tab and line end dropped, and lookups of one value by section and key.
#pragma once

#include <cstdint>
#include <string>

namespace config {

inline constexpr int INI_CAPACITY = 1000;

struct IniText {
  char text[INI_CAPACITY];
  std::int32_t length = 0;
};

// Reads a file into the text; returns the number of characters stored, or -1
// when the file cannot be opened (the text is then empty).
int load_ini(IniText& ini, const char* path);

// Returns the value of key in section, or, after a warning report, the
// warning's own text: "section not found" or "value not found".
std::string ini_value(const IniText& ini, const char* section, const char* key);

// Returns ini_value converted as atoi does (0 on a miss, after the warning).
int ini_int(const IniText& ini, const char* section, const char* key);

}  // namespace config
