// The hand cursor and its conversion into SDL's cursor bitmaps.
#include "shell/cursor.h"

#include <cstdio>
#include <cstring>

namespace shell {

const char* const cursor_picture[CURSOR_PICTURE_ROWS] = {
    // width height colours characters-per-pixel
    "    32    32        3            1",
    "X c #000000",
    ". c #ffffff",
    "  c None",
    "                                ",
    "                                ",
    "      XXXXXXXXXXXX              ",
    "     X............XX            ",
    "   XXXXXXXXXXX......X           ",
    "  X...........X......X          ",
    "  XXXXXXXXX..........X          ",
    " X.........X.........X          ",
    "  XXXXXXX............X          ",
    " X...................X          ",
    "  XXXXXXX............X          ",
    "         X...........X          ",
    "          X..........X          ",
    "           X..........X         ",
    "            X..........X        ",
    "             X..........X       ",
    "              X..........X      ",
    "               X......XXXXX     ",
    "                X.XXXXXX        ",
    "                 XX             ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "0,0",
};

CursorBits cursor_bits(const char* const picture[CURSOR_PICTURE_ROWS]) {
  CursorBits bits{};
  int byte = -1;
  for (int row = 0; row < CURSOR_SIDE; ++row) {
    const char* line = picture[CURSOR_HEADER_ROWS + row];
    const std::size_t length = std::strlen(line);  // a short row is transparent past its end
    for (int col = 0; col < CURSOR_SIDE; ++col) {
      if (col % 8 == 0) {
        ++byte;  // the arrays start at zero, so a new byte is already clear
      } else {
        bits.data[byte] = static_cast<std::uint8_t>(bits.data[byte] << 1);
        bits.mask[byte] = static_cast<std::uint8_t>(bits.mask[byte] << 1);
      }
      const char c = (static_cast<std::size_t>(col) < length) ? line[col] : ' ';
      if (c == 'X') {
        bits.data[byte] |= 1;
        bits.mask[byte] |= 1;
      } else if (c == '.') {
        bits.mask[byte] |= 1;
      }
    }
  }
  bits.hot_x = 0;
  bits.hot_y = 0;
  std::sscanf(picture[CURSOR_PICTURE_ROWS - 1], "%d,%d", &bits.hot_x, &bits.hot_y);
  return bits;
}

SDL_Cursor* make_cursor(const char* const picture[CURSOR_PICTURE_ROWS]) {
  CursorBits bits = cursor_bits(picture);
  return SDL_CreateCursor(bits.data, bits.mask, CURSOR_SIDE, CURSOR_SIDE, bits.hot_x, bits.hot_y);
}

}  // namespace shell
