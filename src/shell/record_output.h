// The game record's way to standard output. The game writes the record to
// std::cout as ever, into a buffer in memory; at each point where the record
// is handed on, a thread of its own takes it and writes it out. A reader that
// falls behind (a pipe nobody empties, a terminal paused with Ctrl-S) then
// holds up only that thread: the window keeps answering the close and Escape,
// and nothing of the record is lost while the reader catches up.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <sstream>
#include <streambuf>
#include <string>
#include <thread>

namespace shell {

// How long, at the end of the game, the record waits for a reader that takes
// nothing before what is left of it is given up.
inline constexpr std::chrono::milliseconds RECORD_PATIENCE{2000};

class RecordOutput {
 public:
  // Takes over std::cout (its buffer) and starts the writing thread on
  // descriptor fd. With echo_reports, each warning and error report of the
  // record is also written to standard error as it is handed on.
  explicit RecordOutput(int fd, bool echo_reports = false);
  // Gives std::cout its buffer back after finish(); joins the thread.
  ~RecordOutput();
  RecordOutput(const RecordOutput&) = delete;
  RecordOutput& operator=(const RecordOutput&) = delete;

  // Hands what std::cout holds to the writing thread, without waiting.
  void hand_on();

  // Hands on the rest and waits until it is written, or until the reader has
  // taken nothing for RECORD_PATIENCE; returns the error of a write that
  // failed (0: none; a reader gone away is not an error: the record is lost,
  // as the game has always let it be).
  int finish();

 private:
  void write_out();
  void echo_reports(const std::string& text);

  int fd_;
  int nonblocking_fd_ = -1;  // a description of our own, for pipes and terminals
  std::stringbuf pending_;   // what std::cout holds
  std::streambuf* saved_ = nullptr;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string queue_;  // handed on, not yet written
  bool closing_ = false;
  bool writing_ = false;       // the thread writes a chunk taken from the queue
  std::uint64_t written_ = 0;  // bytes written so far
  bool giving_up_ = false;
  int error_ = 0;
  bool echo_reports_ = false;
  int echo_left_ = 0;  // line ends still to echo of a report begun in an earlier text
  std::thread writer_;
};

}  // namespace shell
