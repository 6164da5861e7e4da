// A saved game's file. The game that plays it writes it anew after every
// ply: into a temporary file beside it, then renamed over it, so that a
// reader (or a crash at any moment) finds either the last whole file or the
// one before, never a half-written one. While a game is played its file is
// locked, so that no other start takes it up at the same time; a game killed
// by any means leaves its lock with it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/pgn.h"
#include "rules/board.h"

namespace game {

// The largest saved game read, far beyond any game played.
inline constexpr std::size_t SAVED_SIZE_LIMIT = 4U << 20;

// The saved games' file names end so.
inline constexpr const char* SAVED_SUFFIX = ".pgn";

class SavedFile {
 public:
  // The file at path; nothing is opened or written until the first write.
  explicit SavedFile(std::string path);
  // Gives up the lock.
  ~SavedFile();
  SavedFile(const SavedFile&) = delete;
  SavedFile& operator=(const SavedFile&) = delete;

  // Takes a saved game up to go on with it: locks its file, for as long as
  // this object lives, and reads it. Nothing when it cannot be: in_play says
  // whether another window plays it now, error why not (unreadable, or over).
  std::optional<SavedGameRead> take_up(std::string& error, bool& in_play);

  // Writes text as the whole file, by a temporary file and a rename; returns
  // 0, or the reason (an errno value) the file could not be written, the
  // file then being as it was.
  int write(const std::string& text);

  // Removes the file (a game taken back to its start); returns 0 or the reason.
  int remove();

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int lock_fd_ = -1;  // the file as it stands now, locked; -1 before the first write
};

// Reads the saved game in a regular file of at most SAVED_SIZE_LIMIT bytes;
// the error names the reason.
SavedGameRead read_saved_file(const std::string& path);

// An unfinished game waiting in a folder of saved games.
struct Waiting {
  std::string path;
  std::int64_t modified_ns = 0;  // when its last ply was written
};

// Returns the unfinished saved games in folder that human plays (none: the
// demo) and that no window plays now, the most recently played first. A file
// that cannot be read as a saved game is passed over, its reason added to
// notes ("NAME: reason").
std::vector<Waiting> waiting_games(const std::string& folder, std::optional<rules::Side> human,
                                   std::vector<std::string>& notes);

}  // namespace game
