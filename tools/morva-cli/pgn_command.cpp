// morva-cli pgn: a saved game record converted to PGN on standard output.
#include <filesystem>
#include <iostream>
#include <string_view>
#include <vector>

#include "commands.h"
#include "game/pgn.h"
#include "game/record_reader.h"

namespace cli {

namespace {

constexpr const char* PGN_USAGE =
    "usage: morva-cli pgn [--white NAME] [--black NAME] [--date YYYY.MM.DD] RECORD";
constexpr const char* EVENT = "Morva game";
constexpr const char* UNKNOWN = "?";  // PGN's value of a tag nobody knows
constexpr const char* UNKNOWN_DATE = "????.??.??";
constexpr const char* COMPUTER = "Morva";
constexpr const char* HUMAN = "Player";
constexpr std::size_t STAMP_LENGTH = 10;  // "2026-03-14", how the launcher's names start

// Returns the date a record's name starts with ("2026-03-14-101500.txt"), as
// PGN writes dates (2026.03.14); unknown for any other name.
std::string date_of_name(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  if (name.size() < STAMP_LENGTH) return UNKNOWN_DATE;
  std::string date = name.substr(0, STAMP_LENGTH);
  for (std::size_t i = 0; i < STAMP_LENGTH; ++i) {
    const bool dash = i == 4 || i == 7;
    if (dash ? date[i] != '-' : !std::isdigit(static_cast<unsigned char>(date[i]))) {
      return UNKNOWN_DATE;
    }
    if (dash) date[i] = '.';
  }
  return date;
}

// Sets the names of the players the record shows where none is given: a side
// whose moves came with the computer's scored lists in any of the record's
// games is Morva (a new game keeps the colours), the other side the player;
// a record that shows no list names neither.
void player_names(const std::vector<game::PlayedGame>& games, game::PgnTags& tags, bool white_given,
                  bool black_given) {
  bool computer[2] = {false, false};
  for (const game::PlayedGame& played : games) {
    for (const rules::Side side : {rules::WHITE, rules::BLACK}) {
      computer[side] = computer[side] || played.players.computer[side];
    }
  }
  const auto name = [&](rules::Side side) -> std::string {
    if (!computer[rules::WHITE] && !computer[rules::BLACK]) return UNKNOWN;
    return computer[side] ? COMPUTER : HUMAN;
  };
  if (!white_given) tags.white = name(rules::WHITE);
  if (!black_given) tags.black = name(rules::BLACK);
}

}  // namespace

int cmd_pgn(const Args& args) {
  game::PgnTags tags{EVENT, UNKNOWN, "", "", "", ""};
  bool white_given = false, black_given = false;
  std::string path;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view word = args[i];
    if (word == "--white" || word == "--black" || word == "--date") {
      if (i + 1 == args.size())
        return fail(std::string(word) + " needs a value (" + PGN_USAGE + ")");
      const std::string& value = args[++i];
      if (word == "--white") tags.white = value, white_given = true;
      if (word == "--black") tags.black = value, black_given = true;
      if (word == "--date") tags.date = value;
    } else if (path.empty() && !word.starts_with("--")) {
      path = word;
    } else {
      return extra_word(args[i], path.empty() ? "pgn" : "the record");
    }
  }
  if (path.empty()) return fail(PGN_USAGE);
  const game::RecordRead read = game::read_record_file(path);
  if (!read.error.empty()) return fail(read.error);
  if (tags.date.empty()) tags.date = date_of_name(path);
  player_names(read.games, tags, white_given, black_given);
  int round = 0;
  for (const game::PlayedGame& played : read.games) {
    if (played.moves.empty()) continue;  // a game nobody moved in is not a game to keep
    tags.round = std::to_string(++round);
    game::write_pgn(std::cout, played, tags);
  }
  return EXIT_OK;
}

}  // namespace cli
