// Reading games in coordinate notation as `pgn-extract -Wuci --notags` writes
// them: one game a paragraph (paragraphs end at blank lines), moves such as
// "e2e4" or "e7e8q" separated by blanks, the result ("1-0", "0-1", "1/2-1/2"
// or "*") as the last word.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace book_maker {

enum class Result { WHITE_WINS, BLACK_WINS, DRAW, UNKNOWN };

struct UciGame {
  int number = 0;      // 1 for the first game of the input
  int first_line = 0;  // input line on which the game starts
  std::vector<std::string> moves;
  Result result = Result::UNKNOWN;
};

enum class ReadStatus { GAME, END, MALFORMED };

// Reads the next game from in into game (numbered number); at MALFORMED, error
// names the game and the offending move. line counts the input lines read.
ReadStatus read_game(std::istream& in, int number, int& line, UciGame& game, std::string& error);

// Returns whether a word is a move in coordinate notation: two squares and an
// optional promotion letter (q, r, b, n in either case), or the null move "0000".
bool is_coordinate_move(const std::string& word);

// Returns the book mark of a result: 1, -1 or 0 (UNKNOWN has none; 0 is returned).
int mark_of(Result r);

}  // namespace book_maker
