// Listing a book readably: each index entry's key and block offset, and the
// block's records as moves with their marks, as the book reader sees them.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace book_maker {

// Returns a record's move as coordinate text: "e2e4", castling as "e1g1=O-O",
// a byte that is neither a square nor a castling code as "?NNN".
std::string move_text(int from, int to);

enum class DumpResult { SOUND, CANNOT_READ, DAMAGED };

// Writes the listing of dir/index.db and dir/chess.db to out: per position its
// moves with how often each mark was recorded, or with each_record every
// record in block order. A damaged book (an index whose size does not match
// its count, blocks at impossible offsets, counts that are negative or run
// past the end, blocks overlapping one listed before) is listed with a note on
// each damaged position, and DAMAGED comes back with error summing the damage
// up. The work and the output are bounded by the sizes of the two files.
// CANNOT_READ (error set, nothing written) when a file is missing or is not a
// regular file.
DumpResult dump_book(const std::filesystem::path& dir, bool each_record, std::ostream& out,
                     std::string& error);

}  // namespace book_maker
