#include "shell/record_output.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <string>

#include "config/log_report.h"

namespace shell {
namespace {

// The longest wait for the descriptor to take more, between looks at whether
// the game is ending.
constexpr int POLL_MS = 50;

// Opens a description of its own, non-blocking, on what descriptor fd writes
// to, where a write can block for long (a pipe, a terminal, a socket); -1
// for a regular file (whose offset a new description would not share) or
// when it cannot be opened.
int open_nonblocking(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0 || !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISSOCK(st.st_mode)))
    return -1;
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  return open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
}

}  // namespace

RecordOutput::RecordOutput(int fd, bool echo_reports)
    : fd_(fd), nonblocking_fd_(open_nonblocking(fd)), echo_reports_(echo_reports) {
  saved_ = std::cout.rdbuf(&pending_);
  writer_ = std::thread([this] { write_out(); });
}

RecordOutput::~RecordOutput() {
  finish();
  writer_.join();
  std::cout.rdbuf(saved_);
  if (nonblocking_fd_ >= 0) close(nonblocking_fd_);
}

void RecordOutput::hand_on() {
  std::string text = pending_.str();
  if (text.empty()) return;
  pending_.str(std::string());
  if (echo_reports_) echo_reports(text);
  {
    const std::lock_guard lock(mutex_);
    queue_ += text;
  }
  changed_.notify_all();
}

void RecordOutput::echo_reports(const std::string& text) {
  // A report is its kind's line and two more, written whole at once, though
  // possibly after a move on the same line.
  std::size_t at = 0;
  while (at < text.size()) {
    if (echo_left_ == 0) {
      const std::size_t start = std::min(text.find(std::string(config::WARNING_KIND) + '\t', at),
                                         text.find(std::string(config::ERROR_KIND) + '\t', at));
      if (start == std::string::npos) return;
      at = start;
      echo_left_ = config::REPORT_LINES;
    }
    const std::size_t end = text.find('\n', at);
    const std::size_t stop = end == std::string::npos ? text.size() : end + 1;
    std::cerr.write(text.data() + at, static_cast<std::streamsize>(stop - at));
    if (end != std::string::npos) --echo_left_;
    at = stop;
  }
  std::cerr.flush();
}

int RecordOutput::finish() {
  hand_on();
  std::unique_lock lock(mutex_);
  closing_ = true;
  changed_.notify_all();
  // Wait as long as the reader takes something now and then.
  for (;;) {
    const std::uint64_t before = written_;
    if (changed_.wait_for(lock, RECORD_PATIENCE, [&] { return queue_.empty() && !writing_; }))
      break;
    if (written_ == before) {
      giving_up_ = true;
      changed_.notify_all();
      break;
    }
  }
  return error_;
}

void RecordOutput::write_out() {
  const int fd = nonblocking_fd_ >= 0 ? nonblocking_fd_ : fd_;
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return !queue_.empty() || closing_; });
    if (queue_.empty() || giving_up_) return;
    std::string chunk;
    chunk.swap(queue_);
    writing_ = true;
    lock.unlock();
    std::size_t at = 0;
    while (at < chunk.size()) {
      const ssize_t n = write(fd, chunk.data() + at, chunk.size() - at);
      if (n > 0) {
        at += static_cast<std::size_t>(n);
        const std::lock_guard look(mutex_);
        written_ += static_cast<std::uint64_t>(n);
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        pollfd p{fd, POLLOUT, 0};
        poll(&p, 1, POLL_MS);
        const std::lock_guard look(mutex_);
        if (giving_up_) break;
        continue;
      }
      // A reader gone away loses the record, as ever; any other failure is kept.
      const int error = n < 0 ? errno : EIO;
      const std::lock_guard look(mutex_);
      if (error != EPIPE && error_ == 0) error_ = error;
      break;
    }
    lock.lock();
    writing_ = false;
    // A chunk ends early only when it cannot be written: a failure, or a
    // reader that took nothing for too long at the end.
    if (giving_up_) queue_.clear();
    changed_.notify_all();
  }
}

}  // namespace shell
