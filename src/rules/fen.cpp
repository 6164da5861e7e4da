#include "rules/fen.h"

#include <cstring>

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

}  // namespace

FenResult parse_fen(std::string_view fen) {
  const auto start = fen.find_first_not_of(' ');
  if (start == std::string_view::npos) return failure("empty FEN");
  fen.remove_prefix(start);
  const std::string_view placement = fen.substr(0, fen.find(' '));

  Cells cells{};
  int rank = 7, file = 0;
  for (char c : placement) {
    if (c == '/') {
      if (file != 8 || rank == 0)
        return failure("bad FEN placement: rank " + std::to_string(8 - rank) + " is not 8 squares");
      --rank;
      file = 0;
    } else if (c >= '1' && c <= '8') {
      file += c - '0';
      if (file > 8) return failure("bad FEN placement: too many squares in a rank");
    } else if (const int code = code_of(c); code != 0) {
      if (file >= 8) return failure("bad FEN placement: too many squares in a rank");
      cells[rank * 8 + file++] = code;
    } else {
      return failure(std::string("bad FEN placement: unexpected character '") + c + "'");
    }
  }
  if (rank != 0 || file != 8) return failure("bad FEN placement: expected 8 ranks of 8 squares");

  Side side = WHITE;
  std::string_view rest = fen.substr(placement.size());
  const auto field = rest.find_first_not_of(' ');
  if (field != std::string_view::npos) {
    rest.remove_prefix(field);
    const std::string_view side_field = rest.substr(0, rest.find(' '));
    if (side_field == "b") {
      side = BLACK;
    } else if (side_field != "w") {
      return failure("bad FEN side to move: '" + std::string(side_field) + "' (expected w or b)");
    }
  }
  return {Position{board_from_cells(cells), side}, {}};
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
