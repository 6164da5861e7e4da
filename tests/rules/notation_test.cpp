// Square names read back as the bytes they were written from.
#include "rules/notation.h"

#include <gtest/gtest.h>

namespace {

using namespace rules;

TEST(Notation, EveryNameReadsBackAsItsByte) {
  for (int byte = 0; byte <= CASTLE_BLACK_KING; ++byte) {
    EXPECT_EQ(parse_square_name(square_name(byte)), byte) << byte;
  }
  for (const char* bad : {"", "e", "e0", "e14", "i4", "E4", "e4x", "e+4", "e04"}) {
    EXPECT_FALSE(parse_square_name(bad).has_value()) << bad;
  }
  EXPECT_FALSE(parse_square("d13").has_value());
  EXPECT_EQ(parse_square("h8"), 63);
}

}  // namespace
