// The book tests' fixture: each test runs in a fresh scratch folder holding
// an empty db/ folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "book_files.h"
#include "capture.h"
#include "positions.h"
#include "scratch_folder.h"

namespace book_test {

using namespace test_support;

class InTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.emplace();
    dir_ = folder_->path();
    std::filesystem::create_directory(dir_ / "db");
  }
  void TearDown() override { folder_.reset(); }

  std::optional<ScratchFolder> folder_;
  std::filesystem::path dir_;
};

}  // namespace book_test
