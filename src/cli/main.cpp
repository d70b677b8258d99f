#include <iostream>

#include "cli/commands.hpp"

int main(int argc, char** argv) {
  // Only the C++ streams are used: no need to keep them in step with C's,
  // which would read and write a batch a character at a time.
  std::ios::sync_with_stdio(false);
  qelm::cli::Streams io{std::cin, std::cout, std::cerr};
  return qelm::cli::Run(argc, argv, io);
}
