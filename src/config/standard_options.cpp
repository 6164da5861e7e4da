// --help, --version and the report of a bad argument, shared by the programs.
#include "config/standard_options.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "config/version.h"

namespace config {

std::optional<int> answer_standard_option(int argc, char** argv, std::string_view name,
                                          void (*print_usage)(std::ostream&)) {
  if (argc < 2) return std::nullopt;
  const std::string_view first = argv[1];
  if (first == "--help") {
    print_usage(std::cout);
  } else if (first == "--version") {
    std::cout << name << ' ' << VERSION << '\n';
  } else {
    return std::nullopt;
  }
  return finish_standard_output(name, 0);  // a usage lost to a closed output is an error
}

int finish_standard_output(std::string_view name, int status) {
  // std::cout writes through stdout's buffer: both are flushed, and a failure
  // of an earlier write is remembered in either's error state.
  errno = 0;
  std::cout.flush();
  const bool flushed = std::fflush(stdout) == 0;
  if (flushed && !std::ferror(stdout) && std::cout) return status;
  const int fault = errno;
  std::cerr << name << ": cannot write standard output";
  if (fault != 0) std::cerr << ": " << std::strerror(fault);
  std::cerr << '\n';
  return status != 0 ? status : 1;
}

int reject_argument(std::string_view name, std::string_view arg) {
  std::cerr << name << ": unexpected argument '" << arg << "' (" << name
            << " --help lists the options)\n";
  return EXIT_USAGE;
}

}  // namespace config
