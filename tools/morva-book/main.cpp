// morva-book: makes the opening book files index.db and chess.db from games in
// coordinate notation, and lists existing books.
//
//   pgn-extract -Wuci --notags games.pgn | morva-book --plies N --out DIR
//   morva-book dump [--records] DIR
#include <csignal>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "book_builder.h"
#include "book_dump.h"
#include "book_writer.h"
#include "config/standard_options.h"
#include "rules/input_echo.h"
#include "rules/move_table.h"
#include "uci_games.h"

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FILE_ERROR = 1;
constexpr int EXIT_BAD_INPUT = 2;  // bad arguments or malformed games
constexpr int DEFAULT_PLIES = 20;
constexpr int MAX_PLIES = 1000;
constexpr int PROGRESS_EVERY = 1000;  // games between two progress lines

struct Options {
  int plies = DEFAULT_PLIES;
  std::string out_dir;
  std::string input;  // standard input when empty
};

void print_usage(std::ostream& out) {
  out << "usage: morva-book [--plies N] --out DIR [FILE]\n"
         "         reads games as `pgn-extract -Wuci --notags` writes them (from FILE or\n"
         "         standard input) and writes DIR/index.db and DIR/chess.db; the book\n"
         "         holds the first N plies of each game (default "
      << DEFAULT_PLIES
      << ")\n"
         "       morva-book dump [--records] DIR\n"
         "         lists the book in DIR: position keys, moves and how often each mark\n"
         "         was recorded (with --records: every record in file order)\n";
}

// Says in one line what is wrong with the command line; returns the status.
int usage(const std::string& problem) {
  std::cerr << "morva-book: " << problem << " (morva-book --help shows the usage)\n";
  return EXIT_BAD_INPUT;
}

bool parse_plies(std::string_view text, int& plies) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != text.npos) {
    return false;
  }
  plies = std::stoi(std::string(text));
  return plies >= 1 && plies <= MAX_PLIES;
}

// Reads the options of the make command; returns false with problem set.
bool parse_options(int argc, char** argv, Options& o, std::string& problem) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--plies" && has_value) {
      if (!parse_plies(argv[++i], o.plies)) {
        problem = "--plies needs a number from 1 to " + std::to_string(MAX_PLIES);
        return false;
      }
    } else if (arg == "--out" && has_value) {
      o.out_dir = argv[++i];
    } else if (arg.starts_with("-") && arg != "-") {
      problem = "unknown or incomplete option '" + rules::echo_input(arg) + "'";
      return false;
    } else if (o.input.empty()) {
      o.input = arg == "-" ? "" : std::string(arg);
    } else {
      problem = "more than one input file";
      return false;
    }
  }
  if (o.out_dir.empty()) problem = "--out DIR is required";
  return problem.empty();
}

void report(const book_maker::BookBuilder& b, const Options& o,
            const book_maker::BookFiles& files) {
  const book_maker::BuildStats& s = b.stats;
  std::cerr << "morva-book: " << s.games_read << " games read, " << s.games_used << " used, "
            << s.without_result << " skipped without a result\n"
            << "morva-book: " << b.blocks.size() << " positions, " << s.records
            << " records (at most " << o.plies << " plies a game)\n"
            << "morva-book: book lines ended early: " << s.ended_not_generated
            << " at a move the rules do not generate, " << s.ended_under_promotion
            << " at an under-promotion\n"
            << "morva-book: wrote " << o.out_dir << "/index.db (" << files.index.size()
            << " bytes) and " << o.out_dir << "/chess.db (" << files.chess.size() << " bytes)\n";
}

void report_progress(int games) {
  if (games % PROGRESS_EVERY == 0) std::cerr << "morva-book: " << games << " games read\n";
}

int make_book(const Options& o) {
  std::ifstream file;
  if (!o.input.empty()) {
    file.open(o.input);
    if (!file) {
      std::cerr << "morva-book: cannot open " << rules::echo_input(o.input) << "\n";
      return EXIT_FILE_ERROR;
    }
  }
  std::istream& in = o.input.empty() ? std::cin : file;
  book_maker::BookBuilder builder;
  builder.plies = o.plies;
  std::string error;
  if (!book_maker::add_games(in, builder, error, report_progress)) {
    std::cerr << "morva-book: malformed input: " << error << "; no book written\n";
    return EXIT_BAD_INPUT;
  }
  // A book without a record would replace a good one with nothing, as when the
  // program feeding the games failed and the input is empty.
  if (builder.stats.games_used == 0) {
    std::cerr << "morva-book: no game gave a book record (" << builder.stats.games_read
              << " games read, " << builder.stats.without_result
              << " without a result); no book written\n";
    return EXIT_BAD_INPUT;
  }
  book_maker::BookFiles files;
  if (!book_maker::encode_book(builder.blocks, files, error) ||
      !book_maker::write_book(files, o.out_dir, error)) {
    std::cerr << "morva-book: " << error << "\n";
    return EXIT_FILE_ERROR;
  }
  report(builder, o, files);
  return EXIT_OK;
}

int dump(int argc, char** argv) {
  const bool each_record = argc == 4 && std::string_view(argv[2]) == "--records";
  if (argc != 3 && !each_record) return usage("dump takes one folder, after --records if wanted");
  std::string error;
  const book_maker::DumpResult r =
      book_maker::dump_book(argv[argc - 1], each_record, std::cout, error);
  if (r != book_maker::DumpResult::SOUND) std::cerr << "morva-book: " << error << "\n";
  return config::finish_standard_output(
      "morva-book", r == book_maker::DumpResult::SOUND ? EXIT_OK : EXIT_FILE_ERROR);
}

int run(int argc, char** argv) {
  if (const auto status = config::answer_standard_option(argc, argv, "morva-book", print_usage)) {
    return *status;
  }
  rules::build_move_tables();
  if (argc >= 2 && std::string_view(argv[1]) == "dump") return dump(argc, argv);
  Options options;
  std::string problem;
  if (!parse_options(argc, argv, options, problem)) return usage(problem);
  return make_book(options);
}

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit makes a write fail with EFBIG, reported like any other
  // write failure, instead of killing the program before it cleans up.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    return run(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "morva-book: " << e.what() << "\n";
    return EXIT_FILE_ERROR;
  }
}
