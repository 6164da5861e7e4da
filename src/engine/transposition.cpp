#include "engine/transposition.h"

#include <sys/mman.h>

#include <array>
#include <atomic>

namespace engine {

struct alignas(64) TableBucket {
  struct Entry {
    std::uint64_t check;
    std::uint64_t data;
  } entry[4];
};

namespace {

// An entry is two words, stored as (key ^ data, data): a reader that sees
// halves of two different writes gets a key that matches nothing, so no lock
// is needed between threads. The entries of one placement share a bucket of
// four, one cache line, so that one look finds the value of this depth and
// this pass and the moves of the others.
using Entry = TableBucket::Entry;
using Bucket = TableBucket;
constexpr int BUCKET_ENTRIES = 4;

// data, from the lowest bit: value (20 bits, two's complement), best move
// (16), bound (2), ply (6), generation (6), a tag of the placement (14).
constexpr int VALUE_BITS = 20;
constexpr int MOVE_SHIFT = 20;
constexpr int BOUND_SHIFT = 36;
constexpr int PLY_SHIFT = 38;
constexpr int AGE_SHIFT = 44;
constexpr int TAG_SHIFT = 50;
constexpr std::uint64_t SIX_BITS = 63;

// A 64-bit mixer (from splitmix64): every input bit moves every output bit.
constexpr std::uint64_t mix(std::uint64_t x) {
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ULL;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBULL;
  x ^= x >> 31;
  return x;
}

// Returns the product of a and b folded to 64 bits, high half on low.
inline std::uint64_t folded_product(std::uint64_t a, std::uint64_t b) {
  const unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
  return static_cast<std::uint64_t>(p) ^ static_cast<std::uint64_t>(p >> 64);
}

// Two odd constants for each of the twelve piece sets, drawn from the mixer.
constexpr std::array<std::uint64_t, 24> make_constants() {
  std::array<std::uint64_t, 24> k{};
  for (std::size_t i = 0; i < k.size(); ++i) k[i] = mix(0x6A09E667F3BCC909ULL + i) | 1;
  return k;
}
constexpr std::array<std::uint64_t, 24> HASH_CONSTANTS = make_constants();

inline std::uint64_t load(std::uint64_t& word) {
  return std::atomic_ref<std::uint64_t>(word).load(std::memory_order_relaxed);
}

inline void save(std::uint64_t& word, std::uint64_t value) {
  std::atomic_ref<std::uint64_t>(word).store(value, std::memory_order_relaxed);
}

constexpr std::int32_t value_of(std::uint64_t data) {
  const auto raw = static_cast<std::int32_t>(data & ((1U << VALUE_BITS) - 1));
  return raw >= (1 << (VALUE_BITS - 1)) ? raw - (1 << VALUE_BITS) : raw;
}
constexpr rules::Move move_of(std::uint64_t data) {
  return static_cast<rules::Move>(data >> MOVE_SHIFT);
}
constexpr int ply_of(std::uint64_t data) { return static_cast<int>(data >> PLY_SHIFT & SIX_BITS); }
constexpr unsigned age_of(std::uint64_t data) {
  return static_cast<unsigned>(data >> AGE_SHIFT & SIX_BITS);
}

}  // namespace

TranspositionTable::TranspositionTable() = default;

TranspositionTable::~TranspositionTable() { release(); }

void TranspositionTable::release() {
  if (memory_ != nullptr) ::munmap(memory_, memory_bytes_);
  memory_ = nullptr;
  buckets_ = nullptr;
}

void TranspositionTable::reserve(int mib) {
  if (mib <= 0) mib = DEFAULT_TABLE_MIB;
  if (buckets_ != nullptr && mib == mib_) return;
  release();
  // The largest power of two of buckets that fits, in memory that the system
  // zeroes page by page as it is first touched, aligned for huge pages: a
  // look-up then rarely misses the address cache as well as the data cache.
  // A size the system will not give is halved until it does.
  constexpr std::size_t HUGE_PAGE = std::size_t{2} << 20;
  std::size_t count = 1;
  while (count * 2 * sizeof(Bucket) <= static_cast<std::size_t>(mib) << 20) count *= 2;
  for (;;) {
    memory_bytes_ = count * sizeof(Bucket) + HUGE_PAGE;
    memory_ =
        ::mmap(nullptr, memory_bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory_ != MAP_FAILED) break;
    memory_ = nullptr;
    if (count == 1) {
      // No memory at all: the one bucket kept inside the object serves.
      buckets_ = reinterpret_cast<Bucket*>(spare_bucket_);
      *buckets_ = Bucket{};
      bucket_mask_ = 0;
      mib_ = mib;
      return;
    }
    count /= 2;
  }
  const auto address = reinterpret_cast<std::uintptr_t>(memory_);
  buckets_ = reinterpret_cast<Bucket*>((address + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1));
#ifdef MADV_HUGEPAGE
  ::madvise(buckets_, count * sizeof(Bucket), MADV_HUGEPAGE);
#endif
  bucket_mask_ = count - 1;
  mib_ = mib;
}

void TranspositionTable::touch_pages(const std::atomic<bool>& stop) {
  // One bucket in every 4 KiB, the smallest page: writing a word back as it
  // is changes no bit, so a page faults in once, as writable. The write is
  // volatile, as a compiler may turn a write of what was read (or an atomic
  // or of nothing) into a read alone, which maps the shared page of zeros
  // instead. No search runs meanwhile: every other call waits for this one.
  constexpr std::uint64_t BUCKETS_PER_PAGE = 4096 / sizeof(Bucket);
  Bucket* const buckets = buckets_;
  const std::uint64_t count = buckets != nullptr ? bucket_mask_ + 1 : 0;
  for (std::uint64_t k = 0; k < count; k += BUCKETS_PER_PAGE) {
    if (stop.load(std::memory_order_relaxed)) return;
    volatile std::uint64_t* const word = &buckets[k].entry[0].data;
    *word = *word;
  }
}

std::uint64_t TranspositionTable::bytes() const {
  return buckets_ ? (bucket_mask_ + 1) * sizeof(Bucket) : 0;
}
std::uint64_t pass_salt(const PassSettings& pass) {
  std::uint64_t h = 0x9E3779B97F4A7C15ULL;
  for (int v : {pass.limit, pass.maxlevel, pass.complexity}) {
    h = mix(h ^ static_cast<std::uint32_t>(v));
  }
  // The game's own settings keep the keys they always had.
  if (pass.sound_kings) h = mix(h ^ 0x5EED);
  if (pass.club || pass.variety != 0 || pass.legal_castling) {
    for (std::uint64_t v :
         {std::uint64_t{pass.club}, pass.node_budget, static_cast<std::uint64_t>(pass.variety),
          pass.seed, std::uint64_t{pass.legal_castling}, std::uint64_t{pass.castling_rights}}) {
      h = mix(h ^ v);
    }
  }
  return h;
}

TableKey table_key(const rules::Board& b, rules::Side side, int depth, std::uint64_t salt) {
  // The twelve products are independent, so they run side by side.
  std::uint64_t h = side;
  for (int s = 0; s < 2; ++s) {
    for (int t = 0; t < rules::PIECE_TYPES; ++t) {
      const int i = 2 * (s * rules::PIECE_TYPES + t);
      h ^= folded_product(b.pieces[s][t] ^ HASH_CONSTANTS[i], HASH_CONSTANTS[i + 1]);
    }
  }
  const std::uint64_t position = mix(h);
  return {position, mix(position ^ salt ^ static_cast<std::uint64_t>(depth) << 56)};
}

void TranspositionTable::new_generation() { ++generation_; }

void TranspositionTable::prefetch(const TableKey& key) const {
  __builtin_prefetch(&buckets_[key.position & bucket_mask_]);
}

TableHit TranspositionTable::probe(const TableKey& key) const {
  Bucket& bucket = buckets_[key.position & bucket_mask_];
  const std::uint64_t tag = key.position >> TAG_SHIFT;
  TableHit hit;
  int hint_ply = 1 << 6;
  for (Entry& e : bucket.entry) {
    const std::uint64_t data = load(e.data);
    if (data == 0) continue;
    if ((load(e.check) ^ data) == key.full) {
      hit.bound = static_cast<Bound>(data >> BOUND_SHIFT & 3);
      hit.value = value_of(data);
      hit.best = move_of(data);
    } else if (data >> TAG_SHIFT == tag && ply_of(data) < hint_ply) {
      // The move of the search nearest the root: it looked furthest ahead.
      hit.hint = move_of(data);
      hint_ply = ply_of(data);
    }
  }
  return hit;
}

void TranspositionTable::store(const TableKey& key, int depth, Bound bound, std::int32_t value,
                               rules::Move best) {
  const unsigned age = generation_ & SIX_BITS;
  const std::uint64_t data =
      (static_cast<std::uint64_t>(static_cast<std::uint32_t>(value)) & ((1U << VALUE_BITS) - 1)) |
      std::uint64_t{best} << MOVE_SHIFT |
      std::uint64_t{static_cast<std::uint8_t>(bound)} << BOUND_SHIFT |
      (static_cast<std::uint64_t>(depth) & SIX_BITS) << PLY_SHIFT |
      std::uint64_t{age} << AGE_SHIFT | key.position >> TAG_SHIFT << TAG_SHIFT;
  // The slot: this key's own, else the one least worth keeping: empty, then
  // from an earlier generation, then the one furthest from the root.
  Bucket& bucket = buckets_[key.position & bucket_mask_];
  int slot = 0;
  int most_replaceable = -1;
  for (int i = 0; i < BUCKET_ENTRIES; ++i) {
    Entry& e = bucket.entry[i];
    const std::uint64_t old = load(e.data);
    if (old != 0 && (load(e.check) ^ old) == key.full) {
      slot = i;
      break;
    }
    const int replaceable = old == 0             ? 3 << 6
                            : age_of(old) != age ? (2 << 6) + ply_of(old)
                                                 : ply_of(old);
    if (replaceable > most_replaceable) {
      most_replaceable = replaceable;
      slot = i;
    }
  }
  save(bucket.entry[slot].check, key.full ^ data);
  save(bucket.entry[slot].data, data);
}

}  // namespace engine
