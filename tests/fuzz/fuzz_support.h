// What the fuzz programs share: a property check that aborts the run, and the
// writing of a scratch file from fuzz input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Aborts the run, naming the property, when it does not hold; libFuzzer then
// keeps the input as a crash.
inline void check(bool property, const char* what) {
  if (property) return;
  std::fprintf(stderr, "broken property: %s\n", what);
  std::abort();
}

// Writes size bytes of data to path, replacing the file.
inline void write_file(const char* path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path, "wb");
  check(f != nullptr, "scratch file can be written");
  if (size > 0) check(std::fwrite(data, 1, size, f) == size, "scratch file written whole");
  std::fclose(f);
}

}  // namespace fuzz
