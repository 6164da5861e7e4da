// The byte layout of the two book files, shared by the reader and the book
// maker. All integers are little-endian.
//
//   index.db:  count N (int32) | N entries of 24 bytes:
//              K1 (uint64) | K2 (uint64) | block offset in chess.db (int32) | 4 unused bytes
//   chess.db:  blocks, each: count M (int32) | M records of 3 bytes:
//              from byte | to byte | mark (int8: 1 white success, 0 draw, -1 black success)
#pragma once

#include <cstdint>

namespace book {

inline constexpr int COUNT_SIZE = 4;
inline constexpr int INDEX_ENTRY_SIZE = 24;
inline constexpr int INDEX_OFFSET_FIELD = 16;  // where the block offset sits in an entry
inline constexpr int RECORD_SIZE = 3;

// The block offset that marks a position as absent from the book.
inline constexpr std::int32_t NOT_FOUND_OFFSET = -1;

// Returns the little-endian unsigned 64-bit value at bytes.
inline std::uint64_t read_u64(const unsigned char* bytes) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | bytes[i];
  return v;
}

// Returns the little-endian signed 32-bit value at bytes.
inline std::int32_t read_i32(const unsigned char* bytes) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | bytes[i];
  return static_cast<std::int32_t>(v);
}

// Writes v at bytes, least significant byte first.
inline void write_u64(unsigned char* bytes, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Writes v at bytes, least significant byte first.
inline void write_i32(unsigned char* bytes, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(u >> (8 * i));
}

}  // namespace book
