// The three-line warning and error report.
#include "config/log_report.h"

#include <cstring>
#include <iostream>

namespace config {

const char* base_name(const char* path) {
  const char* name = path;
  for (const char* c = path; *c != '\0'; ++c) {
    if (*c == '/' || *c == '\\') name = c + 1;
  }
  return name;
}

void log_report(const char* kind, const char* message, const char* source_file, int line,
                const char* build_date, const char* build_time) {
  log_report(std::cout, kind, message, source_file, line, build_date, build_time);
}

void log_report(std::ostream& out, const char* kind, const char* message, const char* source_file,
                int line, const char* build_date, const char* build_time) {
  out << kind << '\t' << message << '\n'
      << "\tfile " << base_name(source_file) << " line " << line << '\n'
      << "\tcompilation " << build_date << ' ' << build_time << '\n';
}

}  // namespace config
