// Standard output of the code under test, captured as text.
#pragma once

#include <iostream>
#include <sstream>
#include <string>

namespace test_support {

// Collects everything written to std::cout while it lives.
class CoutCapture {
 public:
  CoutCapture() : saved_(std::cout.rdbuf(captured_.rdbuf())) {}
  ~CoutCapture() { std::cout.rdbuf(saved_); }
  CoutCapture(const CoutCapture&) = delete;
  CoutCapture& operator=(const CoutCapture&) = delete;

  // Returns what was written so far.
  std::string text() const { return captured_.str(); }

 private:
  std::ostringstream captured_;
  std::streambuf* saved_;
};

}  // namespace test_support
