#include "calendar/date.hpp"

#include <cstdio>

namespace qelm {

namespace {

// Exactly `width` decimal digits at `pos`; nothing when any is not a digit.
std::optional<int> Digits(std::string_view text, std::size_t pos, std::size_t width) {
  int value = 0;
  for (std::size_t i = pos; i < pos + width; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::optional<CivilFields> ParseClockText(std::string_view text, char sep) {
  if (text.size() != 16 || text[4] != sep || text[7] != sep || text[10] != ' ' || text[13] != ':')
    return std::nullopt;
  const auto y = Digits(text, 0, 4), mo = Digits(text, 5, 2), d = Digits(text, 8, 2),
             h = Digits(text, 11, 2), mi = Digits(text, 14, 2);
  if (!y || !mo || !d || !h || !mi) return std::nullopt;
  using namespace std::chrono;
  const year_month_day ymd{year{*y}, month{static_cast<unsigned>(*mo)}, day{static_cast<unsigned>(*d)}};
  if (!ymd.ok() || *h > 23 || *mi > 59) return std::nullopt;
  return CivilFields{*y, *mo, *d, *h, *mi};
}

std::string MomentText(Moment t) {
  const CivilFields f = Fields(t);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d", f.year, f.month, f.day, f.hour, f.minute);
  return buf;
}

std::string UserMomentText(Moment t) {
  std::string text = MomentText(t);
  text[4] = text[7] = '-';
  return text;
}

std::string ChineseDateText(Date d) {
  const std::chrono::year_month_day ymd{d};
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d年%02u月%02u日", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return buf;
}

}  // namespace qelm
