#include "engine/club_table.h"

#include <sys/mman.h>

#include "engine/transposition.h"

namespace engine::club {

// Four entries of two words in one cache line: the key's upper half and the
// choice, then value (16 bits), move (16), draft (8) and bound (8).
struct alignas(64) Bucket {
  struct Entry {
    std::uint64_t check;
    std::uint64_t data;
  } entry[4];
};

namespace {

constexpr std::uint64_t check_of(std::uint64_t key, std::uint32_t choice) {
  return (key & 0xFFFFFFFF00000000ULL) | choice;
}

constexpr std::uint64_t pack(std::int32_t value, rules::Move move, int draft, Bound bound) {
  return static_cast<std::uint16_t>(static_cast<std::int16_t>(value)) | std::uint64_t{move} << 16 |
         static_cast<std::uint64_t>(draft & 0xFF) << 32 |
         std::uint64_t{static_cast<std::uint8_t>(bound)} << 40;
}

constexpr Hit unpack(std::uint64_t data) {
  return {static_cast<Bound>(data >> 40 & 0xFF), static_cast<int>(data >> 32 & 0xFF),
          static_cast<std::int16_t>(data & 0xFFFF), static_cast<rules::Move>(data >> 16)};
}

}  // namespace

Table::Table() = default;

Table::~Table() { release(); }

void Table::release() {
  if (memory_ != nullptr) ::munmap(memory_, bytes_);
  memory_ = nullptr;
  buckets_ = nullptr;
}

void Table::reserve(int mib) {
  if (mib <= 0) mib = DEFAULT_TABLE_MIB;
  if (buckets_ != nullptr && mib == mib_) return;
  release();
  std::size_t count = 1;
  while (count * 2 * sizeof(Bucket) <= static_cast<std::size_t>(mib) << 20) count *= 2;
  // The system zeroes the pages as they are first touched; a size it will
  // not give is halved until it does (one bucket always can be).
  for (;; count /= 2) {
    bytes_ = count * sizeof(Bucket);
    memory_ = ::mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory_ != MAP_FAILED) break;
    memory_ = nullptr;
    if (count == 1) return;
  }
  buckets_ = static_cast<Bucket*>(memory_);
  mask_ = count - 1;
  mib_ = mib;
  // Choice 0 never runs: zeroed memory holds no entry of any choice.
  choice_ = 0;
}

void Table::new_choice() {
  ++choice_;
  if (choice_ == 0) {
    // After four billion choices the numbers would come round again: start afresh.
    for (std::uint64_t i = 0; i <= mask_; ++i) buckets_[i] = Bucket{};
    choice_ = 1;
  }
}

Hit Table::probe(std::uint64_t key) const { return probe(key, choice_); }

Hit Table::probe(std::uint64_t key, std::uint32_t choice) const {
  if (buckets_ == nullptr) return {};
  const Bucket& bucket = buckets_[key & mask_];
  const std::uint64_t check = check_of(key, choice);
  for (const Bucket::Entry& e : bucket.entry) {
    if (e.check == check) return unpack(e.data);
  }
  return {};
}

void Table::store(std::uint64_t key, int draft, Bound bound, std::int32_t value, rules::Move move) {
  if (buckets_ == nullptr) return;
  Bucket& bucket = buckets_[key & mask_];
  const std::uint64_t check = check_of(key, choice_);
  // This key's own entry, else one of another choice (empty), else this
  // choice's entry of least depth left (of the lower check on a tie): which
  // entries stay depends on this choice's entries alone, not on their slots.
  int slot = 0;
  std::uint64_t least = ~std::uint64_t{0};
  for (int i = 0; i < 4; ++i) {
    const Bucket::Entry& e = bucket.entry[i];
    if (e.check == check) {
      slot = i;
      break;
    }
    const std::uint64_t worth =
        static_cast<std::uint32_t>(e.check) != choice_
            ? 0
            : (static_cast<std::uint64_t>(unpack(e.data).draft) + 1) << 32 | e.check >> 32;
    if (worth < least) {
      least = worth;
      slot = i;
    }
  }
  bucket.entry[slot] = {check, pack(value, move, draft, bound)};
}

}  // namespace engine::club
