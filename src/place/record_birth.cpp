#include "place/record_birth.hpp"

#include <chrono>
#include <string_view>

#include "place/stored_place.hpp"

namespace qelm {

namespace {

// A field of decimal digits as a number; nothing for any other text.
std::optional<int> Number(std::string_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int n = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

// The clock time the fields name, when it is a real minute.
std::optional<MomentInput> ClockOf(const records::Fields& f) {
  const auto y = Number(f[records::kYear]), m = Number(f[records::kMonth]), d = Number(f[records::kDay]),
             h = Number(f[records::kHour]), mi = Number(f[records::kMinute]);
  if (!y || !m || !d || !h || !mi || *h > 23 || *mi > 59) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year{*y}, std::chrono::month(static_cast<unsigned>(*m)),
                                         std::chrono::day(static_cast<unsigned>(*d))};
  if (!date.ok()) return std::nullopt;
  return MomentInput{*y, *m, *d, *h, *mi};
}

}  // namespace

RecordBirth BirthOfRecord(const records::PersonRecord& r, const records::PlaceBook& places, DayChange dayChange) {
  RecordBirth out;
  const records::Fields& f = r.fields;
  out.name = f[records::kName];
  out.sex = f[records::kSex] == "男" ? Sex::Male : Sex::Female;
  if (r.damaged()) {
    out.problem = "「" + out.name + "」這一行資料不完整或無法讀取";
    return out;
  }
  const std::optional<MomentInput> clock = ClockOf(f);
  if (!clock) {
    out.problem = "「" + out.name + "」的出生時刻「" + f[records::kYear] + "-" + f[records::kMonth] + "-" +
                  f[records::kDay] + " " + f[records::kHour] + ":" + f[records::kMinute] + "」無效";
    return out;
  }
  if (records::UnreadablePlaceOf(places, f)) {
    out.problem = "「" + out.name + "」的出生地資料無法讀取";
    return out;
  }
  if (const records::PlaceEntry* entry = records::FindPlaceEntry(places, f)) {
    const std::optional<StoredBirthPlace> stored = FromPlaceEntry(*entry);
    const CorrectionOutcome c = stored ? CorrectStoredBirth(*clock, *stored) : CorrectionOutcome{};
    if (!c) {
      out.problem = "「" + out.name + "」的出生地無法套用" + (stored ? "：" + CorrectionFailureText(c) : "");
      return out;
    }
    MomentOutcome m = CorrectedMoment(*c.correction, dayChange);
    if (!m) {
      out.problem = "「" + out.name + "」校正後的出生時刻超出範圍";
      return out;
    }
    out.birth = std::move(*m.result);
    out.correction = *c.correction;
    return out;
  }
  MomentOutcome m = CalcMoment(*clock, dayChange);
  if (!m) {
    out.problem = "「" + out.name + "」的出生時刻超出 1901 至 2099 年";
    return out;
  }
  out.birth = std::move(*m.result);
  return out;
}

}  // namespace qelm
