// Collecting book records from games: each game is replayed with the rules
// core from the starting position, and every position before a recorded move
// gets a record (from, to, mark). Positions with the same key share one block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <unordered_map>
#include <vector>

#include "book/book_key.h"
#include "book/db.h"
#include "uci_games.h"

namespace book_maker {

struct BookBlock {
  book::BookKey key;
  std::vector<book::BookRecord> records;  // in game order
};

// Why a game's book line ended before its last move or the ply limit.
enum class LineEnd { NONE, NOT_GENERATED, UNDER_PROMOTION };

struct BuildStats {
  int games_read = 0;
  int games_used = 0;      // gave at least one record
  int without_result = 0;  // skipped
  int ended_not_generated = 0;
  int ended_under_promotion = 0;
  std::size_t records = 0;
};

// Spreads a key over hash buckets for the map from keys to blocks.
struct KeyHash {
  std::size_t operator()(const book::BookKey& k) const {
    return static_cast<std::size_t>(k.K1 ^ (k.K2 * 0x9E3779B97F4A7C15ULL));
  }
};

struct BookBuilder {
  int plies = 0;                  // records per game at most
  std::vector<BookBlock> blocks;  // in order of first appearance
  std::unordered_map<book::BookKey, std::size_t, KeyHash> block_of;
  BuildStats stats;
};

// Replays a game and adds the records of its book line; returns how the line
// ended early, if it did. Games without a result add nothing.
LineEnd add_game(BookBuilder& builder, const UciGame& game);

// Reads the games of in one by one and adds each to builder, calling progress
// (when given) with the number of each game added; false at the first
// malformed game, with error naming it (games before it stay added).
bool add_games(std::istream& in, BookBuilder& builder, std::string& error,
               void (*progress)(int number) = nullptr);

}  // namespace book_maker
