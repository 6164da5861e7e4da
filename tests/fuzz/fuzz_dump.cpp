// Fuzzes morva-book dump: the input is split into an index.db and a chess.db as
// for fuzz_book (the first two bytes give the length of the index part), both
// are written to a scratch folder and listed, in both forms, into a sink. The
// listing must stay within a bound set by the two files' sizes, and a book
// listed as sound must have an index of 4 + 24 x N bytes. Any sanitizer report
// or broken property aborts the run.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "book_dump.h"
#include "fuzz_support.h"
#include "rules/move_table.h"

namespace {

using fuzz::check;

std::filesystem::path scratch;  // holds the two book files of the input being run

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  rules::build_move_tables();
  // In the working folder, which the fuzz runner sets to the build tree's
  // fuzz-work/fuzz_dump, so a folder left behind by a crash stays out of /tmp.
  scratch = std::filesystem::absolute("morva_fuzz_dump_" + std::to_string(getpid()));
  std::filesystem::create_directories(scratch);
  std::atexit([] { std::filesystem::remove_all(scratch); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t rest = size - 2;
  const std::size_t index_size = (data[0] | (data[1] << 8)) % (rest + 1);
  const std::size_t chess_size = rest - index_size;
  fuzz::write_file((scratch / "index.db").c_str(), data + 2, index_size);
  fuzz::write_file((scratch / "chess.db").c_str(), data + 2 + index_size, chess_size);
  // A position line with all its notes is under 300 bytes; a listed record
  // takes at most one summary line of under 60 bytes, and listed blocks never
  // share a byte of chess.db.
  const std::size_t bound = 200 + 300 * (index_size / 24 + 1) + 20 * chess_size;
  for (bool each_record : {false, true}) {
    std::ostringstream sink;
    std::string error;
    const book_maker::DumpResult r = book_maker::dump_book(scratch, each_record, sink, error);
    check(r != book_maker::DumpResult::CANNOT_READ, "both files can be read");
    check(sink.str().size() <= bound, "the listing is bounded by the file sizes");
    check((r == book_maker::DumpResult::SOUND) == error.empty(), "damage comes with a message");
    if (r == book_maker::DumpResult::SOUND) {
      check(index_size >= 4 && (index_size - 4) % 24 == 0, "a sound index is 4 + 24 x N bytes");
    }
  }
  return 0;
}
