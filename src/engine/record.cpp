#include "engine/record.h"

#include <ostream>

#include "config/ini_file.h"
#include "game/record.h"
#include "rules/notation.h"

namespace engine {

void write_choice(std::ostream& out, const MoveChoice& choice) {
  config::report_miss(choice.complexity_miss, out);
  if (choice.stopped) return;
  for (int i = 0; i < choice.book_traces; ++i) {
    out << game::BOOK_TRACE_START << choice.book_offset << game::BOOK_TRACE_END;
  }
  if (!choice.listed) return;
  // Scores as the stream writes a float by default: 20, 20.1, -100000.
  for (int i = 0; i < choice.count; ++i) {
    rules::write_move(out, choice.list[i]);
    out << game::SCORE_ARROW << choice.scores[i] << "\n";
  }
}

}  // namespace engine
