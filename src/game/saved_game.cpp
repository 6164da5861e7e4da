#include "game/saved_game.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "rules/input_echo.h"

namespace game {

namespace {

// The Result tag of a game going on.
constexpr const char* UNFINISHED_RESULT = "*";

// How often, and how far apart, taking a game up tries a lock held by another.
constexpr int TAKE_UP_TRIES = 20;
constexpr useconds_t TAKE_UP_PAUSE_US = 10000;

// The temporary file a new version of a saved game is written into, beside it.
std::string temporary_of(const std::string& path) { return path + ".new"; }

// Writes all of text to fd; the errno value of a failure, or 0.
int write_all(int fd, const std::string& text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const ssize_t n = ::write(fd, text.data() + at, text.size() - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    at += static_cast<std::size_t>(n);
  }
  return 0;
}

// Opens path and locks it without waiting, making sure the lock is on the
// file the path names now (a writer may rename a new one over it meanwhile).
// Returns the descriptor, or -1 with errno set (EWOULDBLOCK: locked).
int open_locked(const std::string& path) {
  for (;;) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int reason = errno;
      close(fd);
      errno = reason;
      return -1;
    }
    struct stat held {
    }, named{};
    if (fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
        held.st_dev == named.st_dev) {
      return fd;
    }
    close(fd);  // replaced while we locked it: try the new one
  }
}

// Reads a regular file of at most SAVED_SIZE_LIMIT bytes from fd; the reason when it cannot.
std::string read_fd(int fd, std::string& text) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return std::strerror(errno);
  if (!S_ISREG(st.st_mode)) return "not a regular file";
  if (static_cast<std::uint64_t>(st.st_size) > SAVED_SIZE_LIMIT) return "too large";
  text.resize(static_cast<std::size_t>(st.st_size));
  std::size_t at = 0;
  while (at < text.size()) {
    const ssize_t n = pread(fd, text.data() + at, text.size() - at, static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::strerror(errno);
    if (n == 0) break;
    at += static_cast<std::size_t>(n);
  }
  text.resize(at);
  return "";
}

// Reads the saved game in fd.
SavedGameRead read_saved_fd(int fd) {
  std::string text;
  const std::string reason = read_fd(fd, text);
  if (!reason.empty()) return {{}, {}, reason};
  return read_saved_game(text);
}

}  // namespace

SavedFile::SavedFile(std::string path) : path_(std::move(path)) {}

SavedFile::~SavedFile() {
  if (lock_fd_ >= 0) close(lock_fd_);
}

std::optional<SavedGameRead> SavedFile::take_up(std::string& error, bool& in_play) {
  // A start that looks for waiting games holds each lock for a moment only.
  int fd = open_locked(path_);
  for (int tries = 0; fd < 0 && errno == EWOULDBLOCK && tries < TAKE_UP_TRIES; ++tries) {
    usleep(TAKE_UP_PAUSE_US);
    fd = open_locked(path_);
  }
  in_play = fd < 0 && errno == EWOULDBLOCK;
  if (fd < 0) {
    error = in_play ? "it is being played in another window" : std::strerror(errno);
    return std::nullopt;
  }
  SavedGameRead read = read_saved_fd(fd);
  if (read.error.empty() && read.game.end != GameEnd::UNFINISHED) read.error = "the game is over";
  if (!read.error.empty()) {
    close(fd);
    error = read.error;
    return std::nullopt;
  }
  if (lock_fd_ >= 0) close(lock_fd_);
  lock_fd_ = fd;
  return read;
}

int SavedFile::write(const std::string& text) {
  const std::string temporary = temporary_of(path_);
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return errno;
  // The new file is locked before it takes the name, so that the name always
  // leads to a locked file while the game is played.
  int error = flock(fd, LOCK_EX) == 0 ? write_all(fd, text) : errno;
  if (error == 0 && rename(temporary.c_str(), path_.c_str()) != 0) error = errno;
  if (error != 0) {
    close(fd);
    unlink(temporary.c_str());
    return error;
  }
  if (lock_fd_ >= 0) close(lock_fd_);
  lock_fd_ = fd;
  return 0;
}

int SavedFile::remove() {
  if (lock_fd_ < 0) return 0;  // never written
  const int error = unlink(path_.c_str()) == 0 || errno == ENOENT ? 0 : errno;
  close(lock_fd_);
  lock_fd_ = -1;
  return error;
}

SavedGameRead read_saved_file(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {{}, {}, std::strerror(errno)};
  SavedGameRead read = read_saved_fd(fd);
  close(fd);
  return read;
}

std::vector<Waiting> waiting_games(const std::string& folder, std::optional<rules::Side> human,
                                   std::vector<std::string>& notes) {
  std::vector<Waiting> waiting;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return waiting;
  const std::string suffix = SAVED_SUFFIX;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() <= suffix.size() || !name.ends_with(suffix) || name.front() == '.') continue;
    const std::string path = folder + "/" + name;
    const int fd = open_locked(path);
    if (fd < 0) continue;  // in play now, or gone
    struct stat st {};
    fstat(fd, &st);
    std::string text;
    std::string reason = read_fd(fd, text);
    close(fd);
    std::string_view rest = text;
    const SavedHeader header = read_saved_header(rest);
    if (reason.empty()) reason = header.error;
    if (!reason.empty()) {
      notes.push_back(rules::echo_input(name) + ": " + reason);
    } else if (header.result == UNFINISHED_RESULT && header.human == human) {
      waiting.push_back(
          {path, static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec});
    }
  }
  closedir(dir);
  std::sort(waiting.begin(), waiting.end(), [](const Waiting& a, const Waiting& b) {
    return a.modified_ns != b.modified_ns ? a.modified_ns > b.modified_ns : a.path > b.path;
  });
  // Only the game that comes first is read to its last move: one that cannot
  // be continued gives way to the next.
  while (!waiting.empty()) {
    const SavedGameRead read = read_saved_file(waiting.front().path);
    if (read.error.empty() && read.game.end == GameEnd::UNFINISHED) break;
    const std::string& path = waiting.front().path;
    notes.push_back(rules::echo_input(path.substr(path.rfind('/') + 1)) + ": " +
                    (read.error.empty() ? "its moves end the game" : read.error));
    waiting.erase(waiting.begin());
  }
  return waiting;
}

}  // namespace game
