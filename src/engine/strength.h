// How strongly the computer plays, read from section ALGO of conf.ini.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/ini_file.h"
#include "engine/search.h"

namespace engine {

// Castling rights that say: those the placement allows (each king and rook
// of a castling at home), for a position given without its history.
inline constexpr std::uint8_t RIGHTS_FROM_PLACEMENT = 0xFF;

// What the game supplies beyond the board and conf.ini, as plain values.
struct GameFacts {
  // The seed of variety: drawn by the game at its start, kept in the saved
  // game, and the same for every move of it (a continued game included).
  std::uint64_t seed = 0;
  // The castling rights of the position the computer moves from (bit k:
  // rules::CASTLINGS[k] still allowed), from the game's plies
  // (rules::castling_rights_after); a Board cannot tell them, as a king may
  // have moved and come back. Read only with legalcastling=on.
  std::uint8_t castling_rights = RIGHTS_FROM_PLACEMENT;
};

// The four keys of section ALGO, and the choices of how the search runs that
// do not change what it finds.
struct StrengthSettings {
  int level = 0;       // nominal depth of the main pass, in plies
  int prelevel = 0;    // nominal depth of the ordering pass
  int maxlevel = 0;    // depth no line goes beyond
  int complexity = 0;  // capture count from which the main pass searches on
  // The reader's warning for a missing complexity key, written when the main
  // pass takes the value (a move the ordering pass decides never reads it).
  const char* complexity_miss = nullptr;
  int threads = 0;            // threads of the search; 0: one for every core
  int hash_mib = 0;           // size of the search's table in MiB; 0: the default
  bool plain_search = false;  // score with the plain `search` (the reference)
  bool sound_kings = false;   // soundkings=on: a line ends where a king is captured
  bool ponder = false;        // ponder=on: think on the human's time (ponder.h)
  // Additions beyond the design (PassSettings says what each does):
  bool club = false;            // search=club
  std::uint64_t nodes = 0;      // nodes=N: the club search's budget of positions
  int variety = 0;              // variety=N: the margin of the moves drawn among
  bool legal_castling = false;  // legalcastling=on
  GameFacts game;               // set by the game, not read from conf.ini
};

// The settings of each pass of a choice under settings, as the passes use
// them: the ordering pass and the main pass (in club mode, the ranking of
// rank_moves and the club search). Values that a pass does not read (the
// seed without variety, the rights without legalcastling) are left at 0, so
// that settings differing only in them compare equal.
struct ChoicePasses {
  PassSettings ordering, main;
};
ChoicePasses choice_passes(const StrengthSettings& settings);

// Returns whether a and b make every choice the same: the same settings for
// both passes and the same warning owed (threads, table size and the search's
// method change how fast, not what). A key that changes values reaches the
// PassSettings, and so this comparison, without being named here.
bool same_choices(const StrengthSettings& a, const StrengthSettings& b);

// Reads section ALGO: level, prelevel and maxlevel in this order (a missing
// one reads 0 after the reader's warning on standard output), the optional
// threads (never more than the cores) and hash, and complexity with its
// warning owed. For each value not used as written (a depth deeper than
// MAX_DEPTH or not a number, threads or hash that are not a whole number in
// range) a line for standard error naming what the file says and what is
// used is added to notes.
StrengthSettings read_strength(const config::IniText& ini, std::vector<std::string>& notes);

// Reads the same settings writing nothing anywhere (no reader's warnings, no
// notes): for a search that must leave no trace now, such as a hint or the
// thinking on the human's time. The complexity warning owed is carried as
// read_strength carries it, so a choice made with these writes the same record.
StrengthSettings read_strength_quietly(const config::IniText& ini);

// The most of the memory the process may use that the search's table takes.
inline constexpr int TABLE_SHARE_OF_MEMORY = 4;  // a quarter

// Returns a table size in MiB (0: the default) brought within a quarter of
// the memory the process may use (limit_bytes), with a note naming what was
// asked, described by `asked`, when it is not used as asked.
int bounded_table_mib(int mib, const std::string& asked, std::uint64_t limit_bytes,
                      std::vector<std::string>& notes);

}  // namespace engine
