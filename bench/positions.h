// Positions the rules benchmarks run on.
#pragma once

namespace bench_positions {

inline constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w";
// Two middle games from the championship matches, many pieces still on.
inline constexpr const char* MIDDLE_1 = "r1bq1rk1/p4pp1/2pb1n1p/3p4/8/3B2N1/PPPB1PPP/R2Q1RK1 b";
inline constexpr const char* MIDDLE_2 = "r2qk2r/1pp2ppp/p1bp1bn1/3N4/4P3/4B3/PPPQBPPP/2KR3R b";

}  // namespace bench_positions
