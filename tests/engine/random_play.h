// Positions for comparing the fast search with the plain one: reached by
// random pseudo-legal play from the start, so that they cover openings,
// middle games, captured kings and promotions alike. The same seed always
// gives the same positions.
#pragma once

#include <random>
#include <vector>

#include "rules/fen.h"
#include "rules/make_move.h"
#include "rules/move_table.h"
#include "rules/movegen.h"

namespace engine_test {

inline std::vector<rules::Position> random_positions(int count, unsigned seed, int min_plies,
                                                     int max_plies) {
  rules::build_move_tables();
  std::mt19937 random(seed);
  std::vector<rules::Position> out;
  while (static_cast<int>(out.size()) < count) {
    rules::Position p{rules::board_from_cells(rules::starting_cells), rules::WHITE};
    const int plies = std::uniform_int_distribution<int>(min_plies, max_plies)(random);
    for (int ply = 0; ply < plies; ++ply) {
      rules::MoveList list;
      const int n = rules::generate_moves(p.board, p.side, list);
      p.board =
          rules::make_move(p.board, list[std::uniform_int_distribution<int>(0, n - 1)(random)]);
      p.side = rules::other_side(p.side);
    }
    out.push_back(p);
  }
  return out;
}

}  // namespace engine_test
