#include "rules/notation.h"

#include <charconv>

#include "rules/castling.h"
#include "rules/movegen.h"

namespace rules {

namespace {

constexpr int FILE_LETTER_BASE = 96;  // file_of 1 is 'a'
constexpr int HIGHEST_RANK = 13;      // the rank of NO_SQUARE and the castling codes

// Returns whether m is in the generated list, the end entry left out.
bool generated(const MoveList& list, int count, Move m) {
  for (int i = 0; i + 1 < count; ++i) {
    if (list[i] == m) return true;
  }
  return false;
}

// Returns whether a piece of side on from is a pawn that reaches the far rank on to.
bool promotes(const Board& b, Side side, int from, int to) {
  const int far_rank = side == WHITE ? 8 : 1;
  return from < SQUARE_COUNT && test_bit(b.pieces[side][PAWN], static_cast<Square>(from)) &&
         rank_of(to) == far_rank;
}

// Splits text into a from name and a to name (each a letter and a number)
// and an optional last letter; false when the text has another form.
bool split_move(std::string_view text, int& from, int& to, char& promotion) {
  promotion = '\0';
  if (!text.empty() && std::string_view("qrbnQRBN").find(text.back()) != std::string_view::npos) {
    promotion = text.back();
    text.remove_suffix(1);
  }
  // The to name starts at the second letter.
  std::size_t split = 1;
  while (split < text.size() && (text[split] < 'a' || text[split] > 'h')) ++split;
  const auto f = parse_square_name(text.substr(0, split));
  const auto t = parse_square_name(text.substr(std::min(split, text.size())));
  if (!f || !t) return false;
  from = *f;
  to = *t;
  return true;
}

}  // namespace

std::string square_name(int byte) {
  std::string name(1, static_cast<char>(FILE_LETTER_BASE + file_of(byte)));
  name += std::to_string(rank_of(byte));
  return name;
}

void write_move(std::ostream& out, Move m) {
  for (int byte : {move_from(m), move_to(m)}) {
    out << static_cast<char>(FILE_LETTER_BASE + file_of(byte)) << rank_of(byte);
  }
}

std::string move_text(Move m) { return square_name(move_from(m)) + square_name(move_to(m)); }

std::optional<int> parse_square_name(std::string_view name) {
  if (name.size() < 2 || name[0] < 'a' || name[0] > 'h' || name[1] == '0') return std::nullopt;
  int rank = 0;
  const char* end = name.data() + name.size();
  const auto [ptr, ec] = std::from_chars(name.data() + 1, end, rank);
  if (ec != std::errc{} || ptr != end || rank < 1 || rank > HIGHEST_RANK) return std::nullopt;
  return (rank - 1) * 8 + (name[0] - 'a');
}

std::optional<Square> parse_square(std::string_view name) {
  const std::optional<int> byte = parse_square_name(name);
  if (!byte || *byte >= SQUARE_COUNT) return std::nullopt;
  return static_cast<Square>(*byte);
}

FoundMove find_move(const Board& b, Side side, std::string_view text) {
  int from = 0, to = 0;
  char promotion = '\0';
  if (!split_move(text, from, to, promotion)) return {END_MOVE, MoveTextFault::MALFORMED};
  MoveList list;
  const int count = generate_moves(b, side, list);
  if (promotion == '\0') {
    const Castling* c = castling_by_king_step(from, to);
    if (c != nullptr && generated(list, count, castling_move(c->code))) {
      return {castling_move(c->code), MoveTextFault::NONE};
    }
  } else if (!promotes(b, side, from, to)) {
    return {END_MOVE, MoveTextFault::NOT_GENERATED};  // a promotion letter on another move
  } else if (promotion != 'q' && promotion != 'Q') {
    return {END_MOVE, MoveTextFault::UNDER_PROMOTION};
  }
  const Move m = move_of(from, to);
  if (generated(list, count, m)) return {m, MoveTextFault::NONE};
  return {END_MOVE, MoveTextFault::NOT_GENERATED};
}

}  // namespace rules
