#include "place/coordinates.hpp"

#include <string>

namespace qelm {

namespace {

std::string RangeText(std::string_view what, double limit, std::string_view positive, std::string_view negative) {
  const std::string n = std::to_string(static_cast<int>(limit));
  return std::string(what) + "須為 -" + n + " 至 " + n + " 之間的數字（" + std::string(positive) + "為正，" +
         std::string(negative) + "為負）";
}

}  // namespace

std::string_view LongitudeRangeText() {
  static const std::string text = RangeText("經度", kMaxLongitude, "東經", "西經");
  return text;
}

std::string_view LatitudeRangeText() {
  static const std::string text = RangeText("緯度", kMaxLatitude, "北緯", "南緯");
  return text;
}

}  // namespace qelm
