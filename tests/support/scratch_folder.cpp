#include "scratch_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace test_support {

ScratchFolder::ScratchFolder() : previous_(std::filesystem::current_path()) {
  std::string pattern = (std::filesystem::temp_directory_path() / "morva-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot make a temporary folder";
    return;
  }
  folder_ = pattern;
  made_ = true;
  std::filesystem::current_path(folder_);
}

ScratchFolder::ScratchFolder(const std::filesystem::path& existing)
    : previous_(std::filesystem::current_path()), folder_(existing) {
  std::filesystem::current_path(folder_);
}

ScratchFolder::~ScratchFolder() {
  std::filesystem::current_path(previous_);
  std::error_code ignored;
  if (made_) std::filesystem::remove_all(folder_, ignored);
}

}  // namespace test_support
