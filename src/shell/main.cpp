// The window program: the termination signals watched, safe standard
// streams, --help and --version, the launcher's questions, move tables, the
// opening-book index, then the game.
#include <unistd.h>

#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "book/db.h"
#include "config/settings_slips.h"
#include "config/standard_options.h"
#include "engine/engine.h"
#include "game/saved_game.h"
#include "rules/input_echo.h"
#include "rules/move_table.h"
#include "shell/commands.h"
#include "shell/game.h"
#include "shell/startup.h"
#include "shell/streams.h"

namespace {

constexpr const char* PROGRAM = "morva";

void print_usage(std::ostream& out) {
  out << "usage: morva [--save PGN | --continue PGN] [--reports-to-stderr] [--status-log FILE]\n"
         "       morva --waiting FOLDER CONF_INI\n"
         "       morva --settings FILE [--into OUT] [--colour white|black|demo] [--strength N]\n"
         "       morva --strength-help | --help | --version\n"
         "Chess against the computer in one window. The game reads conf.ini, bitmaps/ and db/\n"
         "from the folder it starts in and writes the game record to standard output;\n"
         "morva-launch starts it with the player's own settings and saved games.\n"
         "  --save PGN           save the game in PGN after every move, for other chess\n"
         "                       programs and to go on with it later\n"
         "  --continue PGN       go on with the unfinished game saved in PGN, where it stopped,\n"
         "                       saving it there again (its earlier moves are not written\n"
         "                       to the record)\n"
         "  --reports-to-stderr  write the record's warnings and errors to standard error too\n"
         "  --status-log FILE    append each status the window shows (status=on) to FILE,\n"
         "                       its lines on one line\n"
         "  --waiting FOLDER CONF_INI  print the unfinished saved game in FOLDER that comes\n"
         "                       next in the colour the settings CONF_INI give, if any\n"
         "  --settings FILE ...  write a colour and a strength step into the conf.ini FILE,\n"
         "                       or into a copy OUT of it\n"
         "  --strength-help      print the strength steps as the launcher's help lists them\n";
}

// The command line of a game in the window.
struct GameLine {
  std::string save, continued, status_log;
  bool reports_to_stderr = false;
};

// Reads the options of a game; nothing, after the one-line report, for a bad one.
std::optional<GameLine> read_game_line(const std::vector<std::string>& args) {
  GameLine line;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view word = args[i];
    const bool valued = word == "--save" || word == "--continue";
    if (valued && i + 1 < args.size() && line.save.empty() && line.continued.empty()) {
      (word == "--save" ? line.save : line.continued) = args[++i];
    } else if (word == "--reports-to-stderr") {
      line.reports_to_stderr = true;
    } else if (word == "--status-log" && i + 1 < args.size() && line.status_log.empty()) {
      line.status_log = args[++i];
    } else {
      config::reject_argument(PROGRAM, rules::echo_input(word));
      return std::nullopt;
    }
  }
  return line;
}

// The start of a game from its command line: the saved game taken up when
// one is continued. Nothing, after a line on standard error, when it cannot
// be; status is then the exit status.
std::optional<shell::StartOptions> start_options(const GameLine& line, int& status) {
  shell::StartOptions options;
  options.reports_to_stderr = line.reports_to_stderr;
  options.status_log = line.status_log;
  if (!line.save.empty()) options.saved = std::make_unique<game::SavedFile>(line.save);
  if (!line.continued.empty()) {
    options.saved = std::make_unique<game::SavedFile>(line.continued);
    std::string error;
    bool in_play = false;
    options.continued = options.saved->take_up(error, in_play);
    if (!options.continued) {
      status = in_play ? shell::EXIT_TAKEN : config::EXIT_USAGE;
      std::cerr << PROGRAM << ": cannot go on with " << rules::echo_input(line.continued) << ": "
                << error << "\n";
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  // First of all, so that no termination signal is lost or ends the program
  // without its orderly end (before SDL_Init, which then leaves them to us).
  shell::watch_quit_signals();
  shell::guard_standard_streams();
  if (const auto status = config::answer_standard_option(argc, argv, PROGRAM, print_usage)) {
    return *status;
  }
  rules::build_move_tables();  // saved games are read with the rules, as games are played
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::string first = args.empty() ? std::string() : args[0];
  const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
  if (first == "--waiting") return shell::print_waiting(rest);
  if (first == "--strength-help" && rest.empty()) return shell::print_strength_help();
  if (first == "--settings") return shell::edit_settings_file(rest);

  const std::optional<GameLine> line = read_game_line(args);
  if (!line) return config::EXIT_USAGE;
  shell::quit_if_signalled(shell::game);
  int status = 0;
  std::optional<shell::StartOptions> options = start_options(*line, status);
  if (!options) return status;
  shell::game.record =
      std::make_unique<shell::RecordOutput>(STDOUT_FILENO, options->reports_to_stderr);
  std::optional<book::Book> book = book::load_book();
  if (!book) {
    book::report_unopenable(book::INDEX_PATH);
    shell::game.record.reset();  // written out before the end
    return book::BOOK_FAILURE_STATUS;
  }
  // Slips in conf.ini are told on standard error before the window opens.
  shell::game.settings_slips = config::report_slips(shell::SETTINGS_PATH, std::cerr);
  shell::quit_if_signalled(shell::game);
  shell::start_game(shell::game, std::make_unique<engine::Engine>(std::move(*book)),
                    std::move(*options));
}
