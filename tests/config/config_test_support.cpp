#include "config_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace config_test {
namespace {

std::filesystem::path scratch_dir() {
  std::filesystem::path dir = std::filesystem::path(MORVA_BINARY_DIR) / "config_test_files";
  std::filesystem::create_directories(dir);
  return dir;
}

std::string test_name() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return name;
}

}  // namespace

std::string write_scratch_file(const std::string& tag, const std::string& bytes) {
  const std::filesystem::path path = scratch_dir() / (test_name() + "." + tag + ".ini");
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

std::string missing_file_path() {
  const std::filesystem::path path = scratch_dir() / (test_name() + ".missing.ini");
  std::filesystem::remove(path);
  return path.string();
}

int load_bytes(config::IniText& ini, const std::string& bytes) {
  static int counter = 0;
  return config::load_ini(ini, write_scratch_file(std::to_string(counter++), bytes).c_str());
}

std::string stored_text(const config::IniText& ini) {
  return std::string(ini.text, static_cast<std::size_t>(ini.length));
}

}  // namespace config_test
