#include "uci_games.h"

#include <sstream>

#include "rules/input_echo.h"

namespace book_maker {

namespace {

bool is_result(const std::string& word, Result& r) {
  if (word == "1-0") {
    r = Result::WHITE_WINS;
  } else if (word == "0-1") {
    r = Result::BLACK_WINS;
  } else if (word == "1/2-1/2") {
    r = Result::DRAW;
  } else if (word == "*") {
    r = Result::UNKNOWN;
  } else {
    return false;
  }
  return true;
}

bool is_blank(const std::string& line) {
  return line.find_first_not_of(" \t\r") == std::string::npos;
}

// Returns "game N (line L), move M for white|black".
std::string where(const UciGame& game, std::size_t ply) {
  std::ostringstream out;
  out << "game " << game.number << " (line " << game.first_line << "), move " << ply / 2 + 1
      << " for " << (ply % 2 == 0 ? "white" : "black");
  return out.str();
}

// Checks the words of one paragraph and fills game from them.
ReadStatus parse_words(const std::vector<std::string>& words, UciGame& game, std::string& error) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    Result r;
    if (is_result(words[i], r)) {
      if (i + 1 != words.size()) {
        error = where(game, i) + ": result '" + rules::echo_input(words[i]) +
                "' before the end of the game";
        return ReadStatus::MALFORMED;
      }
      game.result = r;
      return ReadStatus::GAME;
    }
    if (!is_coordinate_move(words[i])) {
      error = where(game, i) + ": '" + rules::echo_input(words[i]) +
              "' is not a move in coordinate notation";
      return ReadStatus::MALFORMED;
    }
    game.moves.push_back(words[i]);
  }
  error = where(game, words.size()) + ": the game ends without a result (1-0, 0-1, 1/2-1/2 or *)";
  return ReadStatus::MALFORMED;
}

}  // namespace

bool is_coordinate_move(const std::string& word) {
  if (word == "0000") return true;
  if (word.size() != 4 && word.size() != 5) return false;
  for (int i : {0, 2}) {
    if (word[i] < 'a' || word[i] > 'h' || word[i + 1] < '1' || word[i + 1] > '8') return false;
  }
  return word.size() == 4 || std::string("qrbnQRBN").find(word[4]) != std::string::npos;
}

int mark_of(Result r) {
  switch (r) {
    case Result::WHITE_WINS:
      return 1;
    case Result::BLACK_WINS:
      return -1;
    default:
      return 0;
  }
}

ReadStatus read_game(std::istream& in, int number, int& line, UciGame& game, std::string& error) {
  game = UciGame{};
  game.number = number;
  std::vector<std::string> words;
  std::string text;
  while (std::getline(in, text)) {
    ++line;
    if (is_blank(text)) {
      if (words.empty()) continue;  // blank lines before a game
      break;
    }
    if (words.empty()) game.first_line = line;
    std::istringstream split(text);
    for (std::string w; split >> w;) words.push_back(w);
  }
  if (words.empty()) return ReadStatus::END;
  return parse_words(words, game, error);
}

}  // namespace book_maker
