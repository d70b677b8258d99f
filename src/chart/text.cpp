#include "chart/text.hpp"

#include <charconv>
#include <iterator>

namespace qelm {

void AppendPart(std::string& out, Num n) {
  char text[detail::kNumMaxSize];
  text[0] = ' ';
  const char* end = std::to_chars(text + 1, std::end(text), n.n).ptr;
  out.append(text, static_cast<std::size_t>(end - text));
}

char* PutDigits(char* p, unsigned v, int width) {
  for (int i = width - 1; i >= 0; --i) {
    p[i] = static_cast<char>('0' + v % 10);
    v /= 10;
  }
  return p + width;
}

}  // namespace qelm
