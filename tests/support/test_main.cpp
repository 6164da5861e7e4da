// The main function of every test program: the move table is built once, as
// the game builds it at start, before the first test.
#include <gtest/gtest.h>

#include "rules/move_table.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  rules::build_move_tables();
  return RUN_ALL_TESTS();
}
