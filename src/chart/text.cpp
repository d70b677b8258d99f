#include "chart/text.hpp"

#include <charconv>

namespace qelm {

namespace detail {

char* PutPart(char* p, Num n) {
  *p++ = ' ';
  return std::to_chars(p, p + kNumMaxSize - 1, n.n).ptr;
}

}  // namespace detail

}  // namespace qelm
