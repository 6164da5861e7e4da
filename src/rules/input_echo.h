// Input words shown back in error messages: cut to a line's length and with
// every byte that is not printable ASCII written as \xNN, so that a huge or
// binary word cannot flood or garble the terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rules {

// The most characters of an input word that a message repeats.
inline constexpr std::size_t ECHO_LIMIT = 100;

// Returns text as a message may show it: bytes outside ' '..'~' written as
// \xNN, cut after at most ECHO_LIMIT characters and then marked with "...".
// Printable text of at most ECHO_LIMIT bytes comes back unchanged.
std::string echo_input(std::string_view text);

}  // namespace rules
