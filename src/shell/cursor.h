// The mouse cursor: a hand drawn as text rows, turned into SDL's data and mask bits.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace shell {

// Rows of a cursor picture: 4 header rows, 32 picture rows, the hot spot row.
inline constexpr int CURSOR_SIDE = 32;
inline constexpr int CURSOR_HEADER_ROWS = 4;
inline constexpr int CURSOR_PICTURE_ROWS = CURSOR_HEADER_ROWS + CURSOR_SIDE + 1;
// Bytes of the data and of the mask bitmap: one bit per pixel.
inline constexpr int CURSOR_BYTES = CURSOR_SIDE * CURSOR_SIDE / 8;

// The program's cursor: a hand pointing left, black outline, white fill.
extern const char* const cursor_picture[CURSOR_PICTURE_ROWS];

// The bitmaps and the hot spot that a cursor picture describes.
struct CursorBits {
  std::uint8_t data[CURSOR_BYTES];  // 1: black pixel
  std::uint8_t mask[CURSOR_BYTES];  // 1: drawn pixel (black or white)
  int hot_x;
  int hot_y;
};

// Returns the bits of a picture: 'X' black, '.' white, anything else transparent,
// the leftmost pixel of each group of eight in the highest bit.
CursorBits cursor_bits(const char* const picture[CURSOR_PICTURE_ROWS]);

// Returns a new SDL cursor made from a picture (null when SDL cannot make one).
SDL_Cursor* make_cursor(const char* const picture[CURSOR_PICTURE_ROWS]);

}  // namespace shell
