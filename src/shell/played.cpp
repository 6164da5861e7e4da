// The game as played, kept on the Game, and its saved file.
#include "shell/played.h"

#include <sys/stat.h>

#include <cstring>
#include <ctime>
#include <iostream>
#include <random>
#include <sstream>

#include "config/ini_file.h"
#include "engine/computer_move.h"
#include "engine/strength_steps.h"

namespace shell {

namespace {

constexpr const char* UNKNOWN_SITE = "?";
constexpr const char* NO_ROUND = "-";  // one game a file: rounds do not apply
constexpr const char* NEW_GAME_MARK = "-game";

// Returns today's date as PGN writes dates: 2026.12.09.
std::string today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[16];
  std::strftime(date, sizeof date, "%Y.%m.%d", &local);
  return date;
}

// Names the players from the settings conf.ini holds now: the computer after
// the strength step they are, the human as the player.
void name_players(Game& g) {
  config::IniText ini;
  config::load_ini(ini, engine::CONF_PATH);
  const std::string computer = engine::computer_name(engine::read_strength_quietly(ini));
  g.tags.white = g.played.players.computer[rules::WHITE] ? computer : HUMAN_NAME;
  g.tags.black = g.played.players.computer[rules::BLACK] ? computer : HUMAN_NAME;
}

// Brings the board in line with the game.
void follow(Game& g) { g.board = game::board(g.played); }

bool exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

}  // namespace

void start_played(Game& g, game::Players players) {
  g.played = game::new_game(players);
  // Drawn from the system's randomness: each game its own, replayed from it.
  std::random_device randomness;
  g.played.seed = (std::uint64_t{randomness()} << 32) | randomness();
  g.played.moves.reserve(PLIES_RESERVED);
  g.played.history.positions.reserve(PLIES_RESERVED + 1);
  g.tags = {SAVED_EVENT, UNKNOWN_SITE, today(), NO_ROUND, "", ""};
  follow(g);
}

void play(Game& g, rules::Move m) {
  game::play(g.played, m);
  follow(g);
}

bool take_back(Game& g) {
  if (!game::take_back_turn(g.played)) return false;
  follow(g);
  if (g.ponderer) g.ponderer->forget();
  save_game(g);
  return true;
}

void new_game(Game& g) {
  if (g.saved && !g.played.moves.empty()) {
    g.saved = std::make_unique<game::SavedFile>(next_game_path(g.saved->path()));
  }
  start_played(g, g.played.players);
  if (g.ponderer) g.ponderer->forget();
  if (g.engine) g.engine->new_game();
}

engine::GameFacts game_facts(const Game& g) {
  return {g.played.seed, game::castling_rights(g.played)};
}

void continue_played(Game& g, const game::SavedGameRead& read) {
  start_played(g, read.game.players);
  g.played.seed = read.game.seed;  // the game goes on as it began
  for (const rules::Move m : read.game.moves) play(g, m);
  g.tags = read.tags;
  save_game(g);
}

void save_game(Game& g) {
  if (!g.saved) return;
  int error = 0;
  if (g.played.moves.empty()) {
    error = g.saved->remove();
  } else {
    name_players(g);
    std::ostringstream text;
    game::write_saved_game(text, g.played, g.tags);
    error = g.saved->write(text.str());
  }
  if (error == 0 || g.save_error != 0) return;
  g.save_error = error;
  std::cerr << "morva: cannot save the game in " << g.saved->path() << ": " << std::strerror(error)
            << "\n";
}

std::string next_game_path(const std::string& path) {
  std::string stem = path.substr(0, path.size() - std::strlen(game::SAVED_SUFFIX));
  const std::size_t mark = stem.rfind(NEW_GAME_MARK);
  if (mark != std::string::npos &&
      stem.find_first_not_of("0123456789", mark + std::strlen(NEW_GAME_MARK)) ==
          std::string::npos &&
      mark + std::strlen(NEW_GAME_MARK) < stem.size()) {
    stem.resize(mark);
  }
  for (int n = 2;; ++n) {
    const std::string next = stem + NEW_GAME_MARK + std::to_string(n) + game::SAVED_SUFFIX;
    if (!exists(next)) return next;
  }
}

}  // namespace shell
