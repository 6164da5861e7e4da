// The slips of a player's conf.ini: what the reader's rules make of a file
// that does not say what its writer meant, each told in one line. The reader
// itself goes on as it always has (its warnings on standard output unchanged);
// these lines are for standard error and the window.
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <vector>

#include "config/ini_file.h"
#include "config/known_keys.h"

namespace config {

// What every slip starts with on standard error.
inline constexpr const char* SLIP_PREFIX = "morva: conf.ini: ";

// Returns the slips of a loaded text, in the order of the file and then of the
// table, each one line without SLIP_PREFIX:
// - a section the programs do not read, a section given twice (only the first
//   is read), text before any section or that is no key=value; entry, a value
//   that runs on into a section header for want of its ';';
// - a key that its section does not know (with the nearest known key when it
//   looks like a misspelling, or the section that does know it), a key given
//   twice (the first is read);
// - a key that the reader finds inside another entry (a key that ends with it,
//   such as prelevel for level), whether the key is missing or stands later;
// - a key of the game's own settings that is missing, named with the reader's warning
//   and what the game uses instead;
// - a usercolor that is not white, black or demo, a switch that is neither on
//   nor off, with what the game does instead.
std::vector<std::string> find_slips(const IniText& ini,
                                    std::span<const KnownKey> known = KNOWN_KEYS);

// Loads the file at path, writes its slips to err, each after SLIP_PREFIX on
// a line of its own, and returns them (a file that cannot be read is one slip).
std::vector<std::string> report_slips(const char* path, std::ostream& err);

}  // namespace config
