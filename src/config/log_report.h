// The three-line warning and error report on standard output.
#pragma once

#include <iosfwd>

namespace config {

// The kinds of report, and the lines each report takes.
inline constexpr const char* WARNING_KIND = "WARNING";
inline constexpr const char* ERROR_KIND = "ERROR";
inline constexpr int REPORT_LINES = 3;

// Returns the part of a path after its last '/' or '\\' (the whole path if it has none).
const char* base_name(const char* path);

// Writes to standard output, each line ended by a line feed:
//   KIND<tab>message
//   <tab>file SOURCE line LINE
//   <tab>compilation DATE TIME
// where SOURCE is the base name of source_file and DATE TIME the build stamp
// of that source file ("Aug 10 2001 00:58:13").
void log_report(const char* kind, const char* message, const char* source_file, int line,
                const char* build_date, const char* build_time);

// The same report written to out.
void log_report(std::ostream& out, const char* kind, const char* message, const char* source_file,
                int line, const char* build_date, const char* build_time);

}  // namespace config

// Reports from the calling source file, its line and its own build date and time.
#define LOG_REPORT(kind, message) \
  ::config::log_report((kind), (message), __FILE__, __LINE__, __DATE__, __TIME__)
// The same, written to the stream out.
#define LOG_REPORT_TO(out, kind, message) \
  ::config::log_report((out), (kind), (message), __FILE__, __LINE__, __DATE__, __TIME__)
