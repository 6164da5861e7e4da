// The registered host calls. Written at start and used only by the thread that
// chooses the computer's move.
#include "engine/progress.h"

#include <chrono>

namespace engine {
namespace {

void report_nothing(void*, float) {}
void check_nothing(void*) {}

ProgressReport registered_report = report_nothing;
void* report_host = nullptr;
QuitCheck registered_check = check_nothing;
void* check_host = nullptr;
std::chrono::steady_clock::time_point last_check;

}  // namespace

void set_progress_report(ProgressReport report, void* host) {
  registered_report = report != nullptr ? report : report_nothing;
  report_host = host;
}

void report_progress(float fraction) { registered_report(report_host, fraction); }

void set_quit_check(QuitCheck check, void* host) {
  registered_check = check != nullptr ? check : check_nothing;
  check_host = host;
}

void check_quit() {
  if (registered_check == check_nothing) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_check < std::chrono::milliseconds(QUIT_CHECK_MS)) return;
  last_check = now;
  registered_check(check_host);
}

}  // namespace engine
