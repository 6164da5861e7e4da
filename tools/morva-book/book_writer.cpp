#include "book_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <system_error>

#include "book/book_format.h"
#include "rules/input_echo.h"

namespace book_maker {

namespace {

constexpr std::int64_t INT32_LIMIT = std::numeric_limits<std::int32_t>::max();

void append_i32(std::vector<std::uint8_t>& out, std::int32_t v) {
  const std::size_t at = out.size();
  out.resize(at + book::COUNT_SIZE);
  book::write_i32(out.data() + at, v);
}

void append_entry(std::vector<std::uint8_t>& out, const book::BookKey& key, std::int32_t offset) {
  const std::size_t at = out.size();
  out.resize(at + book::INDEX_ENTRY_SIZE, 0);  // the unused bytes stay zero
  book::write_u64(out.data() + at, key.K1);
  book::write_u64(out.data() + at + 8, key.K2);
  book::write_i32(out.data() + at + book::INDEX_OFFSET_FIELD, offset);
}

// Says why path could not be written, with the system's reason for fault.
bool write_error(const std::filesystem::path& path, int fault, std::string& error) {
  error = "cannot write " + rules::echo_input(path.string()) + ": " + std::strerror(fault);
  return false;
}

// Writes bytes to a new file beside final_path, checking every write, the flush
// to the disk and the close; sets temp to its name. On failure nothing is left.
bool write_temp(const std::filesystem::path& final_path, const std::vector<std::uint8_t>& bytes,
                std::filesystem::path& temp, std::string& error) {
  std::string name = final_path.string() + ".tmp-XXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return write_error(final_path, errno, error);
  temp = name;
  // mkstemp makes the file private; a book gets the usual permissions.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  int fault = ::fchmod(fd, 0666 & ~mask) == 0 ? 0 : errno;
  for (std::size_t done = 0; fault == 0 && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n == 0 || errno != EINTR) {
      fault = n == 0 ? ENOSPC : errno;
    }
  }
  if (fault == 0 && ::fsync(fd) != 0) fault = errno;
  if (::close(fd) != 0 && fault == 0) fault = errno;
  if (fault == 0) return true;
  ::unlink(temp.c_str());
  return write_error(final_path, fault, error);
}

// Gives the file at path a second name beside it, so that it can be put back
// after path has been replaced; aside stays empty when there is no file at path.
bool keep_aside(const std::filesystem::path& path, std::filesystem::path& aside,
                std::string& error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return write_error(path, EISDIR, error);
  std::string name = path.string() + ".old-XXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return write_error(path, errno, error);
  ::close(fd);
  ::unlink(name.c_str());  // a free name, for the link
  if (::link(path.c_str(), name.c_str()) == 0) {
    aside = name;
    return true;
  }
  if (errno == ENOENT) return true;
  error = "cannot keep the old " + rules::echo_input(path.string()) +
          " while it is replaced: " + std::strerror(errno);
  return false;
}

// Makes the renames in dir lasting; a folder that cannot be synced is no fault.
void sync_folder(const std::filesystem::path& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool encode_book(const std::vector<BookBlock>& blocks, BookFiles& files, std::string& error) {
  files = BookFiles{};
  if (static_cast<std::int64_t>(blocks.size()) > INT32_LIMIT) {
    error = "too many positions for index.db";
    return false;
  }
  append_i32(files.index, static_cast<std::int32_t>(blocks.size()));
  for (const BookBlock& block : blocks) {
    const auto offset = static_cast<std::int64_t>(files.chess.size());
    const auto count = static_cast<std::int64_t>(block.records.size());
    if (offset + book::COUNT_SIZE + count * book::RECORD_SIZE > INT32_LIMIT) {
      error = "the book is too large for chess.db's 32-bit offsets";
      return false;
    }
    append_entry(files.index, block.key, static_cast<std::int32_t>(offset));
    append_i32(files.chess, static_cast<std::int32_t>(count));
    for (const book::BookRecord& r : block.records) {
      files.chess.push_back(r.from);
      files.chess.push_back(r.to);
      files.chess.push_back(static_cast<std::uint8_t>(r.mark));
    }
  }
  return true;
}

bool write_book(const BookFiles& files, const std::filesystem::path& dir, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    error = "cannot make " + rules::echo_input(dir.string()) + ": " + ec.message();
    return false;
  }
  // Both files are complete on the disk before either replaces the old book,
  // so a full disk or a size limit leaves the old book whole. The old chess.db
  // keeps a second name until the new index.db is in place: should that last
  // rename fail, it goes back, and the old pair is whole again.
  const std::filesystem::path index_path = dir / "index.db", chess_path = dir / "chess.db";
  std::filesystem::path index_temp, chess_temp, chess_old;
  if (!write_temp(index_path, files.index, index_temp, error)) return false;
  if (!write_temp(chess_path, files.chess, chess_temp, error) ||
      !keep_aside(chess_path, chess_old, error)) {
    ::unlink(chess_temp.c_str());
    ::unlink(index_temp.c_str());
    return false;
  }
  if (::rename(chess_temp.c_str(), chess_path.c_str()) != 0) {
    write_error(chess_path, errno, error);
    ::unlink(chess_temp.c_str());
    ::unlink(index_temp.c_str());
    if (!chess_old.empty()) ::unlink(chess_old.c_str());
    return false;
  }
  if (::rename(index_temp.c_str(), index_path.c_str()) != 0) {
    write_error(index_path, errno, error);
    ::unlink(index_temp.c_str());
    if (chess_old.empty()) {
      ::unlink(chess_path.c_str());
    } else if (::rename(chess_old.c_str(), chess_path.c_str()) != 0) {
      error += "; the old chess.db is left as " + rules::echo_input(chess_old.string());
    }
    return false;
  }
  if (!chess_old.empty()) ::unlink(chess_old.c_str());
  sync_folder(dir);
  return true;
}

}  // namespace book_maker
