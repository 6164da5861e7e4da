#include "shell/console.h"

#include <iostream>

#include "rules/notation.h"

namespace shell {

void print_text(const char* text) { std::cout << text; }

void print_move(rules::Move m) { rules::write_move(std::cout, m); }

}  // namespace shell
