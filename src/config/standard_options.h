// The options every Morva program answers in the same way: --help prints the
// usage and --version prints "NAME VERSION", both on standard output with exit
// status 0; a bad argument gets one line on standard error and exit status 2.
#pragma once

#include <iosfwd>
#include <optional>
#include <string_view>

namespace config {

// Exit status of a command line the program does not accept.
inline constexpr int EXIT_USAGE = 2;

// Answers a first argument of --help (through print_usage) or --version and
// returns the exit status 0, or 1 when the answer could not be written (see
// finish_standard_output); returns nothing for any other command line, which
// the program then reads itself.
std::optional<int> answer_standard_option(int argc, char** argv, std::string_view name,
                                          void (*print_usage)(std::ostream&));

// Flushes standard output at the end of a program and returns status; when
// anything written there was lost (a full disk, a closed output), writes
// "NAME: cannot write standard output: REASON" to standard error (the reason
// left out when only an earlier write knew it) and returns 1, or status when
// that already says the program failed.
int finish_standard_output(std::string_view name, int status);

// Writes "NAME: unexpected argument 'ARG' (NAME --help lists the options)" to
// standard error and returns EXIT_USAGE.
int reject_argument(std::string_view name, std::string_view arg);

}  // namespace config
