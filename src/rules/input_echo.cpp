#include "rules/input_echo.h"

namespace rules {

std::string echo_input(std::string_view text) {
  constexpr const char* HEX = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < text.size() && i < ECHO_LIMIT; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= ' ' && byte <= '~') {
      out += static_cast<char>(byte);
    } else {
      out += "\\x";
      out += HEX[byte >> 4];
      out += HEX[byte & 0xF];
    }
  }
  if (text.size() > ECHO_LIMIT) out += "...";
  return out;
}

}  // namespace rules
