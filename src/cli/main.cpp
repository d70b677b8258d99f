#include <iostream>

#include "cli/commands.hpp"

int main(int argc, char** argv) {
  qelm::cli::Streams io{std::cin, std::cout, std::cerr};
  return qelm::cli::Run(argc, argv, io);
}
