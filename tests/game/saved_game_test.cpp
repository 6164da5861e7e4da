// The saved game: what is written is what is read back, for games that leave
// standard chess in every way Morva's rules allow; texts no game writes are
// refused; a file played in one window is not taken up by another.
#include "game/saved_game.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "positions.h"
#include "rules/movegen.h"
#include "scratch_folder.h"

namespace {

using game::GameEnd;
using game::PlayedGame;

// A game of random moves (seeded) under Morva's rules, to a king taken or at
// most plies plies; castlings through check, kings left in check, passes and
// promotions come up on the way.
PlayedGame random_game(unsigned seed, int plies) {
  std::mt19937 random(seed);
  PlayedGame g = game::new_game(game::players_for(seed % 3 == 0   ? std::nullopt
                                                  : seed % 3 == 1 ? std::optional(rules::WHITE)
                                                                  : std::optional(rules::BLACK)));
  for (int ply = 0; ply < plies && g.end == GameEnd::UNFINISHED; ++ply) {
    rules::MoveList list;
    const int count = rules::generate_moves(game::board(g), game::side_to_move(g), list);
    // The end entry is played only when nothing else can move, as the game does.
    const int moves = count > 1 ? count - 1 : 1;
    game::play(g, list[random() % moves]);
    game::decide_end(g, false);
  }
  return g;
}

std::string saved_text(const PlayedGame& g) {
  std::ostringstream out;
  game::write_saved_game(out, g, {"Morva game", "?", "2026.12.09", "-", "Player", "Morva"});
  return out.str();
}

TEST(SavedGame, ReadsBackWhatWasWritten) {
  int departed = 0, taken = 0;
  for (unsigned seed = 0; seed < 300; ++seed) {
    PlayedGame g = random_game(seed, 20 + static_cast<int>(seed % 200));
    if (seed % 7 == 0 && g.end == GameEnd::UNFINISHED) g.end = GameEnd::DRAWN;
    g.seed = 0x9E3779B97F4A7C15ULL * seed;
    const std::string text = saved_text(g);
    const game::SavedGameRead read = game::read_saved_game(text);
    ASSERT_EQ(read.error, "") << text;
    EXPECT_EQ(read.game.moves, g.moves) << text;
    EXPECT_EQ(read.game.players, g.players) << text;
    EXPECT_EQ(read.game.end, g.end) << text;
    EXPECT_EQ(read.game.seed, g.seed) << text;
    EXPECT_EQ(read.tags.date, "2026.12.09");
    departed += text.find('{') != std::string::npos;
    taken += g.end == GameEnd::KING_TAKEN;
  }
  EXPECT_GT(departed, 250) << "most random games leave standard chess";
  EXPECT_GT(taken, 100);
}

// The moves' texts as the saved game writes them: castling, a capture and a
// check in SAN, then a king left in check and its capture in coordinates.
TEST(SavedGame, MoveTextsAreSanThenMorvasCoordinates) {
  using test_support::move;
  PlayedGame g = game::new_game(game::players_for(rules::WHITE));
  for (const rules::Move m :
       {move("e2", "e4"), move("e7", "e5"), move("g1", "f3"), move("b8", "c6"), move("f1", "c4"),
        move("g8", "f6"), rules::castling_move(rules::CASTLE_WHITE_KING), move("f6", "e4"),
        move("c4", "f7"), move("a7", "a6"), move("f7", "e8")}) {
    game::play(g, m);
  }
  EXPECT_EQ(game::move_texts(g),
            (std::vector<std::string>{"e4", "e5", "Nf3", "Nc6", "Bc4", "Nf6", "O-O", "Nxe4",
                                      "Bxf7+", "a7a6", "f7e8"}));
  EXPECT_EQ(game::move_number(9), "5...");
}

TEST(SavedGame, RefusesWhatNoGameWrites) {
  const std::string roster = "[Event \"e\"]\n[Result \"*\"]\n[MorvaHuman \"white\"]\n\n";
  const struct {
    std::string text, said;
  } cases[] = {
      {"[Event \"e\"]\n\n1. e4 *\n", "no MorvaHuman tag"},
      {"[MorvaHuman \"whte\"]\n\n*\n", "'whte' is not white, black or none"},
      {"[MorvaHuman \"white\"]\n[MorvaSeed \"-1\"]\n\n*\n", "MorvaSeed '-1' is not a seed"},
      {"[MorvaHuman \"white\"\n\n*\n", "a tag line is not"},
      {roster + "1. e4 e5 2. Ke3 *\n", "ply 3, 'Ke3', is no move there"},
      {roster + "1. e4 {White's next move. Under Morva's rules the game went on: 1... e1e3 *",
       "a comment without its end"},
      {roster + "1. f3 {Black's next move, e7e5, puts. Under Morva's rules the game went on: "
                "1... e7e5 2. e1f2 d8h4 3. a2a3 h4f2 4. a3a4, and Black took the king.} 0-1\n",
       "a move after a king was taken: a3a4"},
      {"[Result \"1-0\"]\n[MorvaHuman \"none\"]\n\n1. e4 1-0\n", "its result 1-0 is not where"},
  };
  for (const auto& c : cases) {
    const game::SavedGameRead read = game::read_saved_game(c.text);
    EXPECT_NE(read.error.find(c.said), std::string::npos) << c.text << "\nsaid: " << read.error;
    EXPECT_TRUE(read.game.moves.empty());
  }
}

// Writes a saved game into a file of the scratch folder.
void write_file(const std::string& name, const PlayedGame& g) {
  game::SavedFile file(name);
  ASSERT_EQ(file.write(saved_text(g)), 0);
}

TEST(SavedFile, IsTakenUpByOneWindowAtATime) {
  test_support::ScratchFolder folder;
  PlayedGame g = random_game(1, 6);
  std::string error;
  bool in_play = false;
  {
    game::SavedFile playing("a.pgn");
    ASSERT_EQ(playing.write(saved_text(g)), 0);
    game::SavedFile other("a.pgn");
    EXPECT_FALSE(other.take_up(error, in_play));
    EXPECT_TRUE(in_play) << error;
    std::vector<std::string> notes;
    EXPECT_TRUE(game::waiting_games(".", rules::WHITE, notes).empty())
        << "a game in play waits not";
    ASSERT_EQ(playing.write(saved_text(random_game(1, 8))), 0);  // a new file under the name
    EXPECT_FALSE(other.take_up(error, in_play));
    EXPECT_TRUE(in_play) << "the lock follows the rename";
  }
  game::SavedFile later("a.pgn");
  const std::optional<game::SavedGameRead> read = later.take_up(error, in_play);
  ASSERT_TRUE(read) << error;
  EXPECT_EQ(read->game.moves.size(), 8U);
  // A game that is over is never taken up.
  g.end = GameEnd::DRAWN;
  write_file("drawn.pgn", g);
  game::SavedFile drawn("drawn.pgn");
  EXPECT_FALSE(drawn.take_up(error, in_play));
  EXPECT_EQ(error, "the game is over");
  EXPECT_FALSE(in_play);
}

TEST(SavedFile, WaitingGamesComeLastPlayedFirst) {
  test_support::ScratchFolder folder;
  std::filesystem::create_directory("games");
  const PlayedGame white = random_game(1, 4), black = random_game(2, 4);
  write_file("games/older.pgn", white);
  write_file("games/black.pgn", black);
  PlayedGame over = white;
  over.end = GameEnd::DRAWN;
  write_file("games/over.pgn", over);
  std::ofstream("games/broken.pgn") << "[Event \"x\"]\n";
  std::filesystem::create_directory("games/folder.pgn");
  write_file("games/newer.pgn", white);
  using std::chrono::hours;
  std::filesystem::last_write_time("games/older.pgn",
                                   std::filesystem::last_write_time("games/newer.pgn") - hours(1));
  std::vector<std::string> notes;
  const std::vector<game::Waiting> waiting = game::waiting_games("games", rules::WHITE, notes);
  ASSERT_EQ(waiting.size(), 2U);
  EXPECT_EQ(waiting[0].path, "games/newer.pgn");
  EXPECT_EQ(waiting[1].path, "games/older.pgn");
  EXPECT_EQ(notes.size(), 2U) << "the broken file and the folder";
  EXPECT_EQ(game::waiting_games("games", rules::BLACK, notes).size(), 1U);
}

TEST(SavedFile, AFailedWriteLeavesTheFileAsItWas) {
  test_support::ScratchFolder folder;
  write_file("a.pgn", random_game(1, 4));
  std::filesystem::create_directory("a.pgn.new");  // the temporary file cannot be made
  game::SavedFile file("a.pgn");
  EXPECT_NE(file.write(saved_text(random_game(1, 8))), 0);
  EXPECT_EQ(game::read_saved_file("a.pgn").game.moves.size(), 4U);
}

}  // namespace
