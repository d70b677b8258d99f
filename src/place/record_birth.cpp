#include "place/record_birth.hpp"

#include <string_view>

#include "place/stored_place.hpp"
#include "records/person_store.hpp"

namespace qelm {

namespace {

// The clock time the fields name, when it is a real minute.
std::optional<MomentInput> ClockOf(const records::Fields& f) {
  const std::optional<records::FieldMinute> m = records::MinuteOfFields(f);
  if (!m) return std::nullopt;
  return MomentInput{m->year, m->month, m->day, m->hour, m->minute};
}

}  // namespace

RecordBirth BirthOfRecord(const records::PersonRecord& r, const records::PlaceBook& places, DayChange dayChange) {
  RecordBirth out;
  const records::Fields f = r.fields.value();
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
  if (const std::optional<records::PlaceEntry> entry = records::FindPlaceEntry(places, f)) {
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
