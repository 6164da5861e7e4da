// The club search's table: what a search found for a position (placement,
// side to move, castling rights) at some depth left, for later visits of the
// same choice. Each entry carries the number of the choice that stored it,
// and an entry of any other choice counts as empty: what one choice finds
// never changes another's, so a choice depends only on its own inputs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rules/move.h"

namespace engine::club {

enum class Bound : std::uint8_t { NONE = 0, EXACT = 1, LOWER = 2, UPPER = 3 };

struct Hit {
  Bound bound = Bound::NONE;
  int draft = 0;  // the depth left below the position when it was stored
  std::int32_t value = 0;
  rules::Move move = rules::END_MOVE;  // the best move found, or END_MOVE
};

struct Bucket;

class Table {
 public:
  Table();
  ~Table();
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  // Makes the table hold about mib MiB (the default for 0 or less); memory
  // is mapped here, never during a search.
  void reserve(int mib);

  // Starts a choice: entries of earlier choices count as empty from now on.
  void new_choice();

  // Returns the number of the current choice (for a look-up of its results).
  std::uint32_t choice() const { return choice_; }

  Hit probe(std::uint64_t key) const;
  Hit probe(std::uint64_t key, std::uint32_t choice) const;
  void store(std::uint64_t key, int draft, Bound bound, std::int32_t value, rules::Move move);

 private:
  void release();

  void* memory_ = nullptr;
  std::size_t bytes_ = 0;
  Bucket* buckets_ = nullptr;
  std::uint64_t mask_ = 0;
  int mib_ = 0;
  std::uint32_t choice_ = 0;
};

}  // namespace engine::club
