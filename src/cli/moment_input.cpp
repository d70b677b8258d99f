#include "cli/moment_input.hpp"

#include <ctime>

namespace qelm::cli {

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

namespace {

// Why a text is not a moment: the field at fault when the shape is right.
std::string WhyNotAMoment(std::string_view what, std::string_view text) {
  const std::string quoted = std::string(what) + "「" + std::string(text) + "」";
  bool shape = text.size() == 16 && text[4] == '-' && text[7] == '-' && text[10] == ' ' && text[13] == ':';
  for (std::size_t i = 0; shape && i < text.size(); ++i)
    if (i != 4 && i != 7 && i != 10 && i != 13) shape = text[i] >= '0' && text[i] <= '9';
  if (!shape) return "無法解讀" + quoted + ",格式須為 YYYY-MM-DD HH:MM";
  const auto field = [&](std::size_t pos, std::size_t len) {
    int v = 0;
    for (std::size_t i = pos; i < pos + len; ++i) v = v * 10 + (text[i] - '0');
    return v;
  };
  if (const int m = field(5, 2); m < 1 || m > 12) return quoted + "的月份須在 01 至 12 之間";
  if (field(11, 2) > 23) return quoted + "的小時須在 00 至 23 之間";
  if (field(14, 2) > 59) return quoted + "的分鐘須在 00 至 59 之間";
  return quoted + "的日期不存在";
}

}  // namespace

std::optional<MomentResult> MomentOf(std::string_view what, std::string_view text, std::string& error,
                                     DayChange dayChange) {
  text = Trim(text);
  const auto in = ParseUserMoment(text);
  if (!in) {
    error = WhyNotAMoment(what, text);
    return std::nullopt;
  }
  const MomentOutcome outcome = CalcMoment(*in, dayChange);
  if (!outcome) {
    error = std::string(what) + "「" + std::string(text) + "」超出範圍:" +
            std::string(MomentErrorText(outcome.error)) + "(可用 " + CalendarRangeText() + ")";
    return std::nullopt;
  }
  return outcome.result;
}

std::string CalendarRangeText() {
  return std::to_string(kFirstYear) + "-01-01 至 " + std::to_string(kLastYear) + "-12-31";
}

MomentInput NowInput() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

}  // namespace qelm::cli
