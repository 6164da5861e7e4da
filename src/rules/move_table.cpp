#include "rules/move_table.h"

#include <array>
#include <span>

#include "rules/ray_masks.h"

namespace rules {

MoveTable move_table;

namespace {

constexpr std::int16_t NONE = NO_SQUARE;

// An ordered list of target squares of one direction, nearest first.
struct Ray {
  std::array<std::int16_t, 8> squares;
  int length = 0;
  std::uint8_t kind = KIND_ANY;
};

// The rays of one slot and from-square, in walk order; empty rays are left out.
struct Rays {
  std::array<Ray, 8> ray;
  int count = 0;

  void add(const Ray& r) {
    if (r.length > 0) ray[count++] = r;
  }
};

struct Step {
  int file;
  int rank;
};

constexpr Step ROOK_STEPS[] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
constexpr Step BISHOP_STEPS[] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
constexpr Step QUEEN_STEPS[] = {{0, -1}, {0, 1}, {-1, 0},  {1, 0},
                                {-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
constexpr Step KNIGHT_STEPS[] = {{-1, -2}, {1, -2}, {-1, 2}, {1, 2},
                                 {-2, -1}, {-2, 1}, {2, -1}, {2, 1}};

constexpr bool on_board(int file, int rank) {
  return file >= 0 && file < 8 && rank >= 0 && rank < 8;
}

// The squares from (x, y) in one direction, up to max_steps, nearest first.
Ray walk(int x, int y, Step step, int max_steps, std::uint8_t kind = KIND_ANY) {
  Ray r;
  r.kind = kind;
  for (int i = 1; i <= max_steps && on_board(x + i * step.file, y + i * step.rank); ++i) {
    r.squares[r.length++] = static_cast<std::int16_t>(8 * (y + i * step.rank) + x + i * step.file);
  }
  return r;
}

// Pawn rays: the push ray (with the double step from the home rank), then the
// two captures, the one toward file a first for white, toward file h first for black.
Rays pawn_rays(int x, int y, Side side) {
  Rays rays;
  const int forward = side == WHITE ? 1 : -1;
  const int last_rank = side == WHITE ? 7 : 0;
  const int home_rank = side == WHITE ? 1 : 6;
  if (y == last_rank) return rays;
  rays.add(walk(x, y, {0, forward}, y == home_rank ? 2 : 1, KIND_MOVE_ONLY));
  const int first_capture_file = side == WHITE ? -1 : 1;
  rays.add(walk(x, y, {first_capture_file, forward}, 1, KIND_CAPTURE_ONLY));
  rays.add(walk(x, y, {-first_capture_file, forward}, 1, KIND_CAPTURE_ONLY));
  return rays;
}

// The directions and the number of steps along each, for the slots that move
// alike for both colours (knight to king); the pawns have their own rays.
struct Movement {
  std::span<const Step> steps;
  int reach;
};

constexpr Movement MOVEMENT[] = {
    {{}, 0},            // pawns: see pawn_rays
    {KNIGHT_STEPS, 1},  // knight
    {BISHOP_STEPS, 7},  // bishop
    {ROOK_STEPS, 7},    // rook
    {QUEEN_STEPS, 7},   // queen
    {QUEEN_STEPS, 1},   // king
};

Rays rays_of(int slot, int x, int y) {
  if (slot == PAWN) return pawn_rays(x, y, WHITE);
  if (slot == BLACK_PAWN_SLOT) return pawn_rays(x, y, BLACK);
  Rays rays;
  for (Step step : MOVEMENT[slot].steps) rays.add(walk(x, y, step, MOVEMENT[slot].reach));
  return rays;
}

// Links the targets of one slot and from-square. Sliders run on along a ray and
// skip to the next ray; a king's and a knight's rays hold one square each, so
// next and skip both lead on (king) or only skip does (knight, which never
// continues a ray); a pawn's push continues to the double step only.
void link(MoveTableEntry (&row)[SQUARE_COUNT], int from, int slot, const Rays& rays) {
  row[from] = {rays.count > 0 ? rays.ray[0].squares[0] : NONE, NONE, KIND_ANY};
  const bool knight = slot == KNIGHT;
  for (int r = 0; r < rays.count; ++r) {
    const Ray& ray = rays.ray[r];
    const std::int16_t next_ray = r + 1 < rays.count ? rays.ray[r + 1].squares[0] : NONE;
    for (int i = 0; i < ray.length; ++i) {
      const bool last = i + 1 == ray.length;
      MoveTableEntry& e = row[ray.squares[i]];
      e.kind = ray.kind;
      e.skip = next_ray;
      if (knight || ray.kind == KIND_CAPTURE_ONLY) {
        e.next = NONE;
      } else if (ray.kind == KIND_MOVE_ONLY) {
        e.next = last ? NONE : ray.squares[i + 1];
      } else {
        e.next = last ? next_ray : ray.squares[i + 1];
      }
    }
  }
}

}  // namespace

void build_move_tables() {
  for (auto& slot : move_table.entry) {
    for (auto& row : slot) {
      for (MoveTableEntry& e : row) e = {NONE, NONE, KIND_ANY};
    }
  }
  for (int slot = 0; slot < SLOT_COUNT; ++slot) {
    for (int from = 0; from < SQUARE_COUNT; ++from) {
      link(move_table.entry[slot][from], from, slot, rays_of(slot, from % 8, from / 8));
    }
  }
  build_ray_masks();
}

}  // namespace rules
