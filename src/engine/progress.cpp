// The registered progress report. Written at start and read only by the thread
// that chooses the computer's move.
#include "engine/progress.h"

namespace engine {
namespace {

void report_nothing(void*, float) {}

ProgressReport registered_report = report_nothing;
void* registered_host = nullptr;

}  // namespace

void set_progress_report(ProgressReport report, void* host) {
  registered_report = report != nullptr ? report : report_nothing;
  registered_host = host;
}

void report_progress(float fraction) { registered_report(registered_host, fraction); }

}  // namespace engine
