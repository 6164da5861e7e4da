#include "engine/transposition.h"

#include <atomic>

namespace engine {
namespace {

// An entry is two words, stored as (key ^ data, data): a reader that sees
// halves of two different writes gets a key that matches nothing, so no lock
// is needed between threads.
struct Entry {
  std::atomic<std::uint64_t> check{0};
  std::atomic<std::uint64_t> data{0};
};

constexpr int DEFAULT_SIZE_LOG2 = 22;  // 4M entries, 64 MiB

// Never freed: helper threads may still be searching when the process ends.
Entry* entries = nullptr;
std::uint64_t mask = 0;

// A 64-bit mixer (from splitmix64): every input bit moves every output bit.
constexpr std::uint64_t mix(std::uint64_t x) {
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ULL;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBULL;
  x ^= x >> 31;
  return x;
}

// data: value (32 bits) | best move (16) | bound (8) | unused (8).
constexpr std::uint64_t pack(Bound bound, std::int32_t value, rules::Move best) {
  return static_cast<std::uint32_t>(value) | (std::uint64_t{best} << 32) |
         (std::uint64_t{static_cast<std::uint8_t>(bound)} << 48);
}

}  // namespace

void reserve_table(int size_log2) {
  if (entries) return;
  if (size_log2 <= 0) size_log2 = DEFAULT_SIZE_LOG2;
  const std::uint64_t size = std::uint64_t{1} << size_log2;
  entries = new Entry[size];
  mask = size - 1;
}

std::uint64_t table_bytes() { return entries ? (mask + 1) * sizeof(Entry) : 0; }

std::uint64_t pass_salt(int limit, int maxlevel, int complexity, std::uint64_t generation) {
  std::uint64_t h = mix(generation + 0x9E3779B97F4A7C15ULL);
  for (int v : {limit, maxlevel, complexity}) h = mix(h ^ static_cast<std::uint32_t>(v));
  return h;
}

std::uint64_t position_key(const rules::Board& b, rules::Side side, int depth, std::uint64_t salt) {
  std::uint64_t h = salt ^ (std::uint64_t{side} << 8 | static_cast<std::uint64_t>(depth));
  for (const auto& sets : b.pieces) {
    for (rules::Bitboard set : sets) h = mix(h ^ set);
  }
  return h;
}

TableHit probe_table(std::uint64_t key) {
  const Entry& e = entries[key & mask];
  const std::uint64_t data = e.data.load(std::memory_order_relaxed);
  if ((e.check.load(std::memory_order_relaxed) ^ data) != key || data == 0) return {};
  return {static_cast<Bound>(data >> 48 & 0xFF), static_cast<std::int32_t>(data & 0xFFFFFFFFU),
          static_cast<rules::Move>(data >> 32 & 0xFFFF)};
}

void store_table(std::uint64_t key, Bound bound, std::int32_t value, rules::Move best) {
  Entry& e = entries[key & mask];
  const std::uint64_t data = pack(bound, value, best);
  e.check.store(key ^ data, std::memory_order_relaxed);
  e.data.store(data, std::memory_order_relaxed);
}

}  // namespace engine
