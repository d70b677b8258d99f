#include "chart/types.hpp"

namespace qelm {

std::string ElementColour(int element, std::string previous) {
  const Element e{element};
  if (!e.valid()) return previous;
  return std::to_string(e.colour());
}

}  // namespace qelm
