// The transposition table of the fast search, shared by every search thread:
// values of positions already searched at the same depth under the same
// settings, and, from any depth and any pass, the move that was best there,
// which orders the moves of a deeper or later search.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "engine/search.h"
#include "rules/board.h"
#include "rules/move.h"

namespace engine {

// What a stored value says about the position's exact value.
enum class Bound : std::uint8_t { NONE = 0, EXACT = 1, LOWER = 2, UPPER = 3 };

// Where a position is found: the hash of its placement and side to move
// (shared by all its depths and passes), and the key of one depth under one
// pass's settings.
struct TableKey {
  std::uint64_t position;
  std::uint64_t full;
};

struct TableHit {
  Bound bound = Bound::NONE;  // of the value stored under the full key
  std::int32_t value = 0;
  rules::Move best = rules::END_MOVE;  // the best move stored under the full key
  // A move that was best in the same placement at another depth or in another
  // pass: only a hint (a hash of the placement can match by chance), so it is
  // used only as a move of the generated list.
  rules::Move hint = rules::END_MOVE;
};

// The table's size when none is asked for, and the largest asked for, in MiB.
inline constexpr int DEFAULT_TABLE_MIB = 64;
inline constexpr int MAX_TABLE_MIB = 1 << 16;

// Returns the salt of the keys of one pass's settings: the value of a position
// depends on its depth and the pass's settings only, so no key of one setting
// matches one of another.
std::uint64_t pass_salt(const PassSettings& pass);

// Returns the keys of a position with a side to move at a depth of a pass.
TableKey table_key(const rules::Board& b, rules::Side side, int depth, std::uint64_t salt);

// One 64-byte bucket: the entries of the placements that share it.
struct TableBucket;

// The table itself: memory mapped when its size is set, given back when it
// changes and when the table is destroyed. Reserve, new_generation and clear
// only while no search runs; prefetch, probe and store from any thread.
class TranspositionTable {
 public:
  TranspositionTable();
  ~TranspositionTable();
  TranspositionTable(const TranspositionTable&) = delete;
  TranspositionTable& operator=(const TranspositionTable&) = delete;

  // Makes the table hold about mib MiB (DEFAULT_TABLE_MIB for 0 or less; half
  // as much, or less, when the system will not give that much), emptying it
  // when the size changes.
  void reserve(int mib);

  // Returns the bytes the table holds (0 before the first reserve).
  std::uint64_t bytes() const;

  // Starts a new generation: entries stored before are replaced first.
  void new_generation();

  // Starts fetching a position's place into the processor's cache.
  void prefetch(const TableKey& key) const;

  // Looks a position up.
  TableHit probe(const TableKey& key) const;

  // Stores what a search at ply depth found for a position.
  void store(const TableKey& key, int depth, Bound bound, std::int32_t value, rules::Move best);

  // Writes to every page of the table once, keeping what it holds, so that
  // the system provides its memory now and not in the middle of a search
  // (which would touch every page within its first few hundred milliseconds);
  // returns early once stop is true. Only while no search runs.
  void touch_pages(const std::atomic<bool>& stop);

 private:
  void release();

  void* memory_ = nullptr;  // what mmap gave, or null
  std::size_t memory_bytes_ = 0;
  TableBucket* buckets_ = nullptr;
  std::uint64_t bucket_mask_ = 0;
  int mib_ = 0;
  unsigned generation_ = 0;
  alignas(64) unsigned char spare_bucket_[64] = {};  // the table when nothing can be mapped
};

}  // namespace engine
