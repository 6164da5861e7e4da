// Reading conf.ini into a compact text and looking values up in it.
#include "config/ini_file.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "config/log_report.h"

namespace config {
namespace {

// The file is read in blocks of this many bytes; a NUL byte ends its block.
constexpr int READ_BLOCK = 100;

constexpr const char* SECTION_NOT_FOUND = "section not found";
constexpr const char* VALUE_NOT_FOUND = "value not found";

// True for the bytes that are dropped while reading: blank, tab, line feed and
// carriage return (so CR LF line ends read like LF ones on every platform).
bool is_dropped(unsigned char byte) {
  return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r';
}

// Appends the kept bytes of one block to the text. A NUL byte is kept and the
// rest of the block after it is skipped. Bytes beyond the capacity are dropped.
void append_block(IniText& ini, const unsigned char* block, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) {
    if (is_dropped(block[k])) continue;
    if (ini.length < INI_CAPACITY) ini.text[ini.length++] = static_cast<char>(block[k]);
    if (block[k] == '\0') return;
  }
}

// True when the n characters of word stand in the text at pos, wholly below length.
bool stands_at(const IniText& ini, int pos, const char* word, int n) {
  return pos + n <= ini.length && std::memcmp(ini.text + pos, word, n) == 0;
}

// Position of the first occurrence of name at a position below length, or -1.
int find_first(const IniText& ini, const char* name, int n) {
  for (int i = 0; i < ini.length && i + n <= ini.length; ++i) {
    if (stands_at(ini, i, name, n)) return i;
  }
  return -1;
}

// Scans from the section's `]` for "key=" and returns the position right after
// the `=`, or -1 when a `[` (outside a key match) or the end of the text comes first.
int find_value_start(const IniText& ini, int from, const char* key, int n) {
  for (int p = from; p < ini.length; ++p) {
    if (stands_at(ini, p, key, n)) {
      if (p + n < ini.length && ini.text[p + n] == '=') return p + n + 1;
      continue;
    }
    if (ini.text[p] == '[') return -1;
  }
  return -1;
}

}  // namespace

int load_ini(IniText& ini, const char* path) {
  ini.length = 0;
  std::FILE* file = std::fopen(path, "r");
  if (file == nullptr) return -1;
  unsigned char block[READ_BLOCK];
  std::size_t count;
  while ((count = std::fread(block, 1, READ_BLOCK, file)) > 0) {
    append_block(ini, block, count);
  }
  std::fclose(file);
  return ini.length;
}

int load_ini_text(IniText& ini, std::string_view file_text) {
  ini.length = 0;
  for (std::size_t at = 0; at < file_text.size(); at += READ_BLOCK) {
    const std::size_t count = std::min<std::size_t>(READ_BLOCK, file_text.size() - at);
    append_block(ini, reinterpret_cast<const unsigned char*>(file_text.data() + at), count);
  }
  return ini.length;
}

namespace {

// Where a lookup ended: the value's characters [start, end), or the miss.
struct Lookup {
  const char* miss = nullptr;  // SECTION_NOT_FOUND, VALUE_NOT_FOUND or null
  int start = 0;
  int end = 0;
};

Lookup look_up(const IniText& ini, const char* section, const char* key) {
  const int section_size = static_cast<int>(std::strlen(section));
  const int key_size = static_cast<int>(std::strlen(key));
  const int at = find_first(ini, section, section_size);
  if (at < 0) return {SECTION_NOT_FOUND};
  const int bracket = at + section_size;
  if (bracket >= ini.length || ini.text[bracket] != ']') return {VALUE_NOT_FOUND};
  const int start = find_value_start(ini, bracket, key, key_size);
  if (start < 0) return {VALUE_NOT_FOUND};
  int end = start;
  while (end < ini.length && ini.text[end] != ';') ++end;
  return {nullptr, start, end};
}

}  // namespace

void report_miss(const char* miss, std::ostream& out) {
  if (miss != nullptr) LOG_REPORT_TO(out, WARNING_KIND, miss);
}

std::string ini_value(const IniText& ini, const char* section, const char* key) {
  const Lookup found = look_up(ini, section, key);
  if (found.miss != nullptr) {
    report_miss(found.miss);
    return found.miss;
  }
  return std::string(ini.text + found.start, ini.text + found.end);
}

std::optional<std::string> ini_find(const IniText& ini, const char* section, const char* key) {
  const Lookup found = look_up(ini, section, key);
  if (found.miss != nullptr) return std::nullopt;
  return std::string(ini.text + found.start, ini.text + found.end);
}

int parse_int(const std::string& value) {
  std::size_t k = 0;
  while (k < value.size() && (value[k] == ' ' || (value[k] >= '\t' && value[k] <= '\r'))) ++k;
  bool negative = false;
  if (k < value.size() && (value[k] == '+' || value[k] == '-')) negative = value[k++] == '-';
  long long magnitude = 0;
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  for (; k < value.size() && value[k] >= '0' && value[k] <= '9'; ++k) {
    magnitude = magnitude * 10 + (value[k] - '0');
    if (magnitude > limit) magnitude = limit;
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

int ini_int(const IniText& ini, const char* section, const char* key) {
  return parse_int(ini_value(ini, section, key));
}

IniInt ini_int_deferred(const IniText& ini, const char* section, const char* key) {
  const Lookup found = look_up(ini, section, key);
  if (found.miss != nullptr) return {parse_int(found.miss), found.miss};
  return {parse_int(std::string(ini.text + found.start, ini.text + found.end)), nullptr};
}

IniSpan ini_locate(const IniText& ini, const char* section, const char* key) {
  const Lookup found = look_up(ini, section, key);
  return {found.miss, found.start, found.end};
}

}  // namespace config
