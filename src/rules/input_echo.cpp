#include "rules/input_echo.h"

namespace rules {

std::string echo_input(std::string_view text) {
  constexpr const char* HEX = "0123456789abcdef";
  std::string out;
  std::size_t used = 0;
  for (; used < text.size(); ++used) {
    const auto byte = static_cast<unsigned char>(text[used]);
    const bool printable = byte >= ' ' && byte <= '~';
    if (out.size() + (printable ? 1 : 4) > ECHO_LIMIT) break;
    if (printable) {
      out += static_cast<char>(byte);
    } else {
      out += "\\x";
      out += HEX[byte >> 4];
      out += HEX[byte & 0xF];
    }
  }
  if (used < text.size()) out += "...";
  return out;
}

}  // namespace rules
