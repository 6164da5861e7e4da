#include "engine/variety.h"

#include "engine/transposition.h"

namespace engine {

int variety_draw(std::uint64_t seed, const rules::Board& b, rules::Side side, int count) {
  // The table's hash of the position, mixed with the seed: every seed draws
  // its own sequence over a game's positions.
  std::uint64_t h = table_key(b, side, 0, 0).position ^ seed * 0x9E3779B97F4A7C15ULL;
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDULL;
  h ^= h >> 33;
  return static_cast<int>(h % static_cast<std::uint64_t>(count));
}

}  // namespace engine
