// Helpers of the configuration tests: scratch files in the build tree.
#pragma once

#include <string>

#include "capture.h"
#include "config/ini_file.h"

namespace config_test {

// Writes bytes to a fresh file in the build tree, named after the running test
// and tag, and returns its path.
std::string write_scratch_file(const std::string& tag, const std::string& bytes);

// Path in the build tree where no file exists.
std::string missing_file_path();

// Loads bytes through a scratch file into ini; returns load_ini's result.
int load_bytes(config::IniText& ini, const std::string& bytes);

// The stored characters of ini as a string.
std::string stored_text(const config::IniText& ini);

using test_support::OutputCapture;

}  // namespace config_test
