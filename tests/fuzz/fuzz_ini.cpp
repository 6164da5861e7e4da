// Fuzzes the conf.ini reader: random file bytes are loaded through a scratch
// file and looked up with the real and some odd section and key names; the
// same bytes are also looked up as a text filled directly, and checked for
// slips. Any sanitizer report or broken property aborts the run.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "config/ini_file.h"
#include "config/settings_slips.h"

namespace {

std::string scratch_path;        // the file load_ini reads, one per fuzz process
std::ostringstream report_sink;  // collects the warning reports instead of std::cout

constexpr std::size_t READ_BLOCK = 100;

void check(bool property, const char* what) {
  if (property) return;
  std::fprintf(stderr, "fuzz_ini: broken property: %s\n", what);
  std::abort();
}

// What loading must keep of the bytes: no blank, tab, line feed or carriage
// return; a NUL kept but ending its 100-byte block; at most INI_CAPACITY characters.
std::string expected_text(const std::uint8_t* data, std::size_t size) {
  std::string kept;
  bool skip_to_block_end = false;
  for (std::size_t k = 0; k < size; ++k) {
    if (k % READ_BLOCK == 0) skip_to_block_end = false;
    const char c = static_cast<char>(data[k]);
    if (skip_to_block_end || c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
    kept += c;
    skip_to_block_end = c == '\0';
  }
  return kept.substr(0, config::INI_CAPACITY);
}

// One lookup: either a quiet value found in the text as "key=value" and ending
// before any ';', or one warning report whose message is the returned text.
void look_up(const config::IniText& ini, const std::string& section, const std::string& key) {
  report_sink.str("");
  const std::string value = config::ini_value(ini, section.c_str(), key.c_str());
  const std::string report = report_sink.str();
  const std::string text(ini.text, static_cast<std::size_t>(ini.length));
  if (report.empty()) {
    check(value.find(';') == std::string::npos, "a value holds a ';'");
    check(text.find(key.c_str() + std::string("=") + value) != std::string::npos,
          "a value does not follow its key in the text");
  } else {
    check(value == "section not found" || value == "value not found", "unknown warning text");
    check(report.rfind("WARNING\t" + value + "\n\tfile ini_file.cpp line ", 0) == 0,
          "malformed warning report");
  }
  config::ini_int(ini, section.c_str(), key.c_str());
}

void look_up_all(const config::IniText& ini, const std::uint8_t* data, std::size_t size) {
  static const char* const NAMES[][2] = {{"GAME", "usercolor"},
                                         {"ALGO", "level"},
                                         {"ALGO", "prelevel"},
                                         {"ALGO", "maxlevel"},
                                         {"ALGO", "complexity"},
                                         {"ALGO", "threads"},
                                         {"", ""},
                                         {"[", "="},
                                         {"]", ";"},
                                         {"GAME", ""},
                                         {"", "level"},
                                         {"ALGO", "ALGO]"}};
  for (const auto& name : NAMES) look_up(ini, name[0], name[1]);
  look_up(ini, std::string(config::INI_CAPACITY + 5, 'A'), "level");
  look_up(ini, "ALGO", std::string(config::INI_CAPACITY, 'k'));
  // Names taken from the input itself, so the fuzzer can steer the matching.
  if (size >= 2) {
    const std::size_t section_size = data[0] % 8;
    const std::size_t key_size = data[1] % 8;
    if (2 + section_size + key_size <= size) {
      const char* names = reinterpret_cast<const char*>(data + 2);
      look_up(ini, std::string(names, section_size), std::string(names + section_size, key_size));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // In the working folder, which the fuzz runner sets to the build tree's
  // fuzz-work/fuzz_ini, so a file left behind by a crash stays out of /tmp.
  scratch_path = "morva_fuzz_ini_" + std::to_string(getpid()) + ".ini";
  std::cout.rdbuf(report_sink.rdbuf());
  std::atexit([] { std::remove(scratch_path.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(scratch_path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  config::IniText ini;
  const int stored = config::load_ini(ini, scratch_path.c_str());
  check(stored == ini.length, "load_ini's result differs from the length");
  check(std::string(ini.text, static_cast<std::size_t>(ini.length)) == expected_text(data, size),
        "loaded text differs from the file's kept characters");
  look_up_all(ini, data, size);
  // The slips of a loaded text: one line each (its line ends were dropped), no report.
  report_sink.str("");
  for (const std::string& slip : config::find_slips(ini)) {
    check(!slip.empty() && slip.find('\n') == std::string::npos, "a slip is not one line");
  }
  check(report_sink.str().empty(), "finding slips wrote a report");

  // The raw bytes as a text, blanks and all, which loading never produces.
  config::IniText raw;
  raw.length = static_cast<std::int32_t>(std::min<std::size_t>(size, config::INI_CAPACITY));
  std::copy(data, data + raw.length, raw.text);
  look_up_all(raw, data, size);
  config::find_slips(raw);
  return 0;
}
