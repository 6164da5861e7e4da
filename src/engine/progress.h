// The computer player's calls back into its host while it thinks: the fraction
// of the current pass that is done, reported between root entries, and a look,
// every few milliseconds during the search, whether the user wants to quit.
// The host (the window) registers both at start; until then, and in programs
// without a window, they do nothing.
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

// A host's look for a quit that is waiting, without taking anything else from
// its events: it ends the process, as a progress report would, or returns.
using QuitCheck = void (*)(void* host);

// Registers the host's quit check; null restores the default, which does nothing.
void set_quit_check(QuitCheck check, void* host);

// Calls the registered quit check when QUIT_CHECK_MS or more have passed since
// the last call. Only the thread that chooses the move calls it.
void check_quit();

// The longest the search goes without a look for a quit, in milliseconds.
inline constexpr int QUIT_CHECK_MS = 5;

}  // namespace engine
