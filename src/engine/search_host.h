// What the program that runs a search gives it: where progress goes, and how
// the search learns that it is no longer wanted. Both are optional; a host
// without them (a tool, a test) sees nothing and never stops a search.
#pragma once

#include <chrono>

namespace engine {

struct SearchHost {
  void* context = nullptr;
  // The fraction of the current pass that is done, from 0 to 1 (0 starts a
  // run); called between root entries on the thread that chooses the move.
  void (*progress)(void* context, float fraction) = nullptr;
  // Whether the host wants the search to end now (a quit, a move of the
  // player's); asked between root entries and every STOP_CHECK_MS during a
  // search, on the thread that chooses the move.
  bool (*stop_requested)(void* context) = nullptr;
};

// The longest the search goes without asking for a stop, in milliseconds.
inline constexpr int STOP_CHECK_MS = 5;

// The stop requests of one search: the host is asked at most every
// STOP_CHECK_MS, and a search once told to stop stays stopped.
struct StopLook {
  const SearchHost* host = nullptr;
  std::chrono::steady_clock::time_point last{};
  bool stopped = false;

  // Asks the host now; returns whether the search has to stop.
  bool ask() {
    if (!stopped && host != nullptr && host->stop_requested != nullptr) {
      last = std::chrono::steady_clock::now();
      stopped = host->stop_requested(host->context);
    }
    return stopped;
  }

  // Asks the host when STOP_CHECK_MS have passed since it was last asked.
  bool due() {
    if (stopped || host == nullptr || host->stop_requested == nullptr) return stopped;
    if (std::chrono::steady_clock::now() - last < std::chrono::milliseconds(STOP_CHECK_MS)) {
      return false;
    }
    return ask();
  }
};

// Passes a fraction to the host's progress, if it has one.
inline void report_progress(const SearchHost& host, float fraction) {
  if (host.progress != nullptr) host.progress(host.context, fraction);
}

}  // namespace engine
