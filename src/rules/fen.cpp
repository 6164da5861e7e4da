#include "rules/fen.h"

#include <algorithm>
#include <cstring>

#include "rules/input_echo.h"

namespace rules {

namespace {

constexpr const char* PIECE_LETTERS = "pnbrqk";

// Returns the cell code of a FEN piece letter, or 0 for anything else.
int code_of(char c) {
  const char lower = static_cast<char>(c | 0x20);
  const char* at = std::strchr(PIECE_LETTERS, lower);
  if (at == nullptr || *at == '\0') return 0;
  const int code = static_cast<int>(at - PIECE_LETTERS) + 1;
  return c == lower ? -code : code;
}

FenResult failure(std::string message) { return {std::nullopt, std::move(message)}; }

// Returns the message for a rank of the wrong length; rank counts from 0 (rank 1).
FenResult bad_rank(int rank) {
  return failure("bad FEN placement: rank " + std::to_string(rank + 1) + " is not 8 squares");
}

// Returns whether word can stand as FEN field number field: 1 the side to move,
// 2 the castling rights, 3 the en passant square, 4 and 5 the two clocks.
bool fits_field(std::string_view word, std::size_t field) {
  const bool dash = word == "-";
  switch (field) {
    case 1:
      return word == "w" || word == "b";
    case 2:
      return dash ||
             (!word.empty() && word.size() <= 4 && word.find_first_not_of("KQkq") == word.npos);
    case 3:
      return dash || (word.size() == 2 && word[0] >= 'a' && word[0] <= 'h' && word[1] >= '1' &&
                      word[1] <= '8');
    case 4:
    case 5:
      return !word.empty() && word.size() <= 6 && word.find_first_not_of("0123456789") == word.npos;
    default:
      return false;
  }
}

// Returns the number of blank-separated fields in text.
std::size_t field_count(std::string_view text) {
  std::size_t fields = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != ' ' && (i == 0 || text[i - 1] == ' ')) ++fields;
  }
  return fields;
}

}  // namespace

std::optional<std::uint8_t> castling_rights_of_fen(std::string_view fen) {
  // The letters in the order of CASTLINGS: white's king and queen side, then black's.
  constexpr std::string_view LETTERS = "KQkq";
  std::size_t field = 0, i = 0;
  while (i < fen.size()) {
    if (fen[i] == ' ') {
      ++i;
      continue;
    }
    const std::size_t end = std::min(fen.find(' ', i), fen.size());
    const std::string_view word = fen.substr(i, end - i);
    if (field++ == 2) {
      if (!fits_field(word, 2)) return std::nullopt;
      std::uint8_t rights = 0;
      for (char c : word) {
        if (const std::size_t k = LETTERS.find(c); k != std::string_view::npos) {
          rights |= static_cast<std::uint8_t>(1U << k);
        }
      }
      return rights;
    }
    i = end;
  }
  return std::nullopt;
}

FenResult parse_fen(std::string_view fen) {
  const auto start = fen.find_first_not_of(' ');
  if (start == std::string_view::npos) return failure("empty FEN");
  fen.remove_prefix(start);
  const std::string_view placement = fen.substr(0, fen.find(' '));

  Cells cells{};
  int rank = 7, file = 0;  // rank 7 is the eighth rank, which FEN gives first
  for (char c : placement) {
    if (c == '/') {
      if (file != 8) return bad_rank(rank);
      if (rank == 0) return failure("bad FEN placement: more than 8 ranks");
      --rank;
      file = 0;
    } else if (c >= '1' && c <= '8') {
      file += c - '0';
      if (file > 8) return bad_rank(rank);
    } else if (const int code = code_of(c); code != 0) {
      if (file >= 8) return bad_rank(rank);
      cells[rank * 8 + file++] = code;
    } else {
      return failure("bad FEN placement: unexpected character '" +
                     echo_input(std::string_view(&c, 1)) + "'");
    }
  }
  if (file != 8) return bad_rank(rank);
  if (rank != 0) return failure("bad FEN placement: expected 8 ranks of 8 squares");

  Side side = WHITE;
  std::string_view rest = fen.substr(placement.size());
  const auto field = rest.find_first_not_of(' ');
  if (field != std::string_view::npos) {
    rest.remove_prefix(field);
    const std::string_view side_field = rest.substr(0, rest.find(' '));
    if (side_field == "b") {
      side = BLACK;
    } else if (side_field != "w") {
      return failure("bad FEN side to move: '" + echo_input(side_field) + "' (expected w or b)");
    }
  }
  return {Position{board_from_cells(cells), side}, {}};
}

std::size_t fen_word_count(const std::vector<std::string>& words) {
  if (words.empty()) return 0;
  std::size_t count = 1;
  for (std::size_t field = field_count(words[0]);
       count < words.size() && fits_field(words[count], field); ++field) {
    ++count;
  }
  return count;
}

std::string placement_of(const Board& b) {
  Cells cells;
  cells_from_board(b, cells);
  std::string out;
  for (int rank = 7; rank >= 0; --rank) {
    int empty = 0;
    for (int file = 0; file < 8; ++file) {
      const int c = cells[rank * 8 + file];
      if (c == 0) {
        ++empty;
        continue;
      }
      if (empty > 0) out += static_cast<char>('0' + empty);
      empty = 0;
      const char letter = PIECE_LETTERS[(c > 0 ? c : -c) - 1];
      out += c > 0 ? static_cast<char>(letter - 'a' + 'A') : letter;
    }
    if (empty > 0) out += static_cast<char>('0' + empty);
    if (rank > 0) out += '/';
  }
  return out;
}

std::string fen_of(const Board& b, Side side) {
  return placement_of(b) + (side == WHITE ? " w" : " b") + " - - 0 1";
}

}  // namespace rules
