// The launcher's questions, answered without a window.
#include "shell/commands.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

#include "config/settings_edit.h"
#include "config/standard_options.h"
#include "engine/strength_steps.h"
#include "game/saved_game.h"

namespace shell {

namespace {

constexpr const char* PROGRAM = "morva";
constexpr int EXIT_FAILED = 1;
constexpr const char* COLOURS[] = {"white", "black", "demo"};

int fail(const std::string& message, int status = EXIT_FAILED) {
  std::cerr << PROGRAM << ": " << message << "\n";
  return status;
}

bool is_colour(const std::string& word) {
  for (const char* c : COLOURS) {
    if (word == c) return true;
  }
  return false;
}

// Writes text as the file at path (a link's target), keeping its permissions,
// by a temporary file beside it and a rename; the reason it failed, or "".
std::string replace_file(const std::string& path, const std::string& text, mode_t mode) {
  const std::string temporary = path + "." + std::to_string(getpid()) + ".new";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return std::strerror(errno);
  std::size_t at = 0;
  int error = 0;
  while (at < text.size() && error == 0) {
    const ssize_t n = write(fd, text.data() + at, text.size() - at);
    if (n > 0) at += static_cast<std::size_t>(n);
    if (n < 0 && errno != EINTR) error = errno;
  }
  if (error == 0 && fchmod(fd, mode) != 0) error = errno;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) unlink(temporary.c_str());
  return error == 0 ? "" : std::strerror(error);
}

// The entries --colour and --strength stand for; false for a strength that is no step.
bool chosen_entries(const std::string& colour, const std::optional<std::string>& strength,
                    std::vector<config::SettingsEntry>& entries) {
  if (!colour.empty()) entries.push_back({"GAME", "usercolor", colour});
  if (!strength) return true;
  char* end = nullptr;
  errno = 0;
  const long number = std::strtol(strength->c_str(), &end, 10);
  const engine::StrengthStep* step = nullptr;
  if (end != strength->c_str() && *end == '\0' && errno == 0 && number > 0 && number < INT_MAX) {
    step = engine::strength_step(static_cast<int>(number));
  }
  if (step == nullptr) return false;
  for (const auto& [key, value] : engine::step_entries(*step))
    entries.push_back({"ALGO", key, value});
  return true;
}

}  // namespace

int print_waiting(const std::vector<std::string>& args) {
  if (args.size() != 2) return fail("usage: morva --waiting FOLDER CONF_INI", config::EXIT_USAGE);
  config::IniText ini;
  config::load_ini(ini, args[1].c_str());
  const GameMode mode = choose_mode(config::ini_find(ini, "GAME", "usercolor").value_or(""));
  if (mode.demo) return EXIT_SUCCESS;  // a demonstration is not continued
  const rules::Side human = mode.human_first ? rules::WHITE : rules::BLACK;
  std::vector<std::string> notes;
  const std::vector<game::Waiting> waiting = game::waiting_games(args[0], human, notes);
  for (const std::string& note : notes) std::cerr << PROGRAM << ": saved game " << note << "\n";
  if (waiting.empty()) return EXIT_SUCCESS;
  std::cout << waiting.front().path << "\n";
  if (waiting.size() > 1) {
    const std::size_t more = waiting.size() - 1;
    std::cerr << PROGRAM << ": " << more << " more unfinished " << (more == 1 ? "game" : "games")
              << " as " << (human == rules::WHITE ? "white" : "black") << " "
              << (more == 1 ? "waits" : "wait")
              << ", each offered in turn once this one is over (--new starts a new game)\n";
  }
  return config::finish_standard_output(PROGRAM, EXIT_SUCCESS);
}

int print_strength_help() {
  const engine::StrengthStep& first = engine::STRENGTH_STEPS[0];
  const engine::StrengthStep& last = *(std::end(engine::STRENGTH_STEPS) - 1);
  std::cout << "  --strength N    the computer's strength, " << first.number
            << " (a first game) to " << last.number << " (a strong\n"
            << "                  club player); " << engine::SHIPPED_STEP
            << " is the shipped setting, and " << engine::FORMER_TOP_STEP
            << ", its number in\n                  earlier versions, is taken as "
            << engine::SHIPPED_STEP << ". Each step's rating as\n"
            << "                  measured against Stockfish,"
            << " its four keys, the positions of\n"
            << "                  the club search (- for the game's own search) and the margin\n"
            << "                  of its variety:\n"
            << "      N rating     level prelevel maxlevel complexity positions"
               " variety\n";
  for (const engine::StrengthStep& s : engine::STRENGTH_STEPS) {
    const std::string positions = s.nodes > 0 ? std::to_string(s.nodes) : "-";
    char row[160];
    std::snprintf(row, sizeof row, "      %d about %-4d %5d %8d %8d %10d %9s %7d\n", s.number,
                  s.rating, s.level, s.prelevel, s.maxlevel, s.complexity, positions.c_str(),
                  s.variety);
    std::cout << row;
  }
  return config::finish_standard_output(PROGRAM, EXIT_SUCCESS);
}

int edit_settings_file(const std::vector<std::string>& args) {
  std::string file, into, colour;
  std::optional<std::string> strength;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    const bool valued = word == "--into" || word == "--colour" || word == "--strength";
    if (valued && i + 1 < args.size()) {
      if (word == "--strength") strength = args[++i];
      if (word != "--strength") (word == "--into" ? into : colour) = args[++i];
    } else if (file.empty() && !valued && !word.starts_with("--")) {
      file = word;
    } else {
      return config::reject_argument(PROGRAM, word);
    }
  }
  if (file.empty())
    return fail("usage: morva --settings FILE [--into OUT] [--colour C] [--strength N]",
                config::EXIT_USAGE);
  if (!colour.empty() && !is_colour(colour)) {
    return fail("the colour is white, black or demo, not '" + colour + "'", config::EXIT_USAGE);
  }
  std::vector<config::SettingsEntry> entries;
  if (!chosen_entries(colour, strength, entries)) {
    const engine::StrengthStep& last = *(std::end(engine::STRENGTH_STEPS) - 1);
    return fail("--strength takes a number from " +
                    std::to_string(engine::STRENGTH_STEPS[0].number) + " to " +
                    std::to_string(last.number) + ", not '" + *strength + "'",
                config::EXIT_USAGE);
  }
  struct stat st {};
  std::ifstream in(file, std::ios::binary);
  if (stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !in) {
    return fail(file + " is not a readable file");
  }
  std::ostringstream text;
  text << in.rdbuf();
  const config::SettingsEdit edit = config::edit_settings(text.str(), entries, file);
  if (!edit.error.empty()) return fail(edit.error);
  std::string target = into;
  if (target.empty()) {
    char* real = realpath(file.c_str(), nullptr);  // a link stays one: its target is written
    target = real != nullptr ? real : file;
    std::free(real);
  }
  const std::string reason = replace_file(target, edit.text, st.st_mode & 07777);
  if (!reason.empty()) return fail("cannot write " + target + ": " + reason);
  return EXIT_SUCCESS;
}

}  // namespace shell
