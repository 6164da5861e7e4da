// The three-line warning and error report on standard output.
#pragma once

namespace config {

// Writes:
//   KIND<tab>message
//   <tab>file SOURCE line LINE
//   <tab>compilation DATE TIME
// where SOURCE is the base name of source_file.
void log_report(const char* kind, const char* message, const char* source_file, int line,
                const char* build_date, const char* build_time);

}  // namespace config

// Reports from the current source file, line and build time.
#define LOG_REPORT(kind, message) \
  ::config::log_report((kind), (message), __FILE__, __LINE__, __DATE__, __TIME__)
