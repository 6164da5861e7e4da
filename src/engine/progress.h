// The one call from the computer player back into its host while it thinks.
// The window program defines it (the progress bar, and the window's events);
// headless programs link the definition in progress_none.cpp, which does nothing.
#pragma once

// Reports the fraction (0 to 1) of the current pass that is done; 0 starts a run.
void report_progress(float fraction);
