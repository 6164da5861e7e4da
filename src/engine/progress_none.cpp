// The progress report of programs without a window: nothing to show.
#include "engine/progress.h"

void report_progress(float) {}
