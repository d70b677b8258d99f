#include "chart/text.hpp"

#include <charconv>
#include <iterator>

namespace qelm {

namespace detail {

char* PutPart(char* p, Num n) {
  *p++ = ' ';
  return std::to_chars(p, p + kNumMaxSize - 1, n.n).ptr;
}

}  // namespace detail

char* PutDigits(char* p, unsigned v, int width) {
  for (int i = width - 1; i >= 0; --i) {
    p[i] = static_cast<char>('0' + v % 10);
    v /= 10;
  }
  return p + width;
}

}  // namespace qelm
