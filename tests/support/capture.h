// Standard output of the code under test, captured as text.
#pragma once

#include <iostream>
#include <sstream>
#include <string>

namespace test_support {

// Collects everything written to a stream (std::cout unless another is
// named) while it lives.
class OutputCapture {
 public:
  explicit OutputCapture(std::ostream& stream = std::cout)
      : stream_(stream), saved_(stream.rdbuf(captured_.rdbuf())) {}
  ~OutputCapture() { stream_.rdbuf(saved_); }
  OutputCapture(const OutputCapture&) = delete;
  OutputCapture& operator=(const OutputCapture&) = delete;

  // Returns what was written so far.
  std::string text() const { return captured_.str(); }

 private:
  std::ostringstream captured_;
  std::ostream& stream_;
  std::streambuf* saved_;
};

}  // namespace test_support
