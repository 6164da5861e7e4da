// A fresh temporary folder that is the working folder while it lives.
#pragma once

#include <filesystem>

namespace test_support {

// Makes a new folder under the system's temporary folder and changes into it;
// at the end goes back to the former working folder and removes it. Given an
// existing folder, changes into that one and leaves it in place.
class ScratchFolder {
 public:
  ScratchFolder();
  explicit ScratchFolder(const std::filesystem::path& existing);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return folder_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path folder_;
  bool made_ = false;  // removed at the end
};

}  // namespace test_support
