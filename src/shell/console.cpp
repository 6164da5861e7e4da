#include "shell/console.h"

#include <iostream>

namespace shell {

void print_text(const char* text) { std::cout << text; }

void print_move(rules::Move m) {
  for (int byte : {rules::move_from(m), rules::move_to(m)}) {
    std::cout << static_cast<char>(96 + rules::file_of(byte)) << rules::rank_of(byte);
  }
}

}  // namespace shell
