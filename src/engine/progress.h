// The computer player's one call back into its host while it thinks: the
// fraction of the current pass that is done, reported between root entries.
// The host (the window) registers its report at start; until then, and in
// programs without a window, a report does nothing.
#pragma once

namespace engine {

// A host's progress report: its own context, and the fraction from 0 to 1
// (0 starts a run).
using ProgressReport = void (*)(void* host, float fraction);

// Registers the host's report and the context it is called with; a null
// report restores the default, which does nothing.
void set_progress_report(ProgressReport report, void* host);

// Passes the fraction to the registered report.
void report_progress(float fraction);

}  // namespace engine
