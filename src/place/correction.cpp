#include "place/correction.hpp"

#include <cmath>
#include <cstdio>

#include "place/coordinates.hpp"
#include "place/solar.hpp"

namespace qelm {

namespace {

using std::chrono::minutes;
using std::chrono::seconds;

// The full-width minus: U+2212 has no Big5 form, and reports are saved as Big5.
constexpr std::string_view kMinus = "－";

template <typename Time>
bool InTableYears(Time t) {
  return InCalendarYears(Fields(t).year);
}

// "+3", "－64", "0".
std::string Signed(long long n) {
  if (n == 0) return "0";
  return (n < 0 ? std::string(kMinus) : std::string("+")) + std::to_string(n < 0 ? -n : n);
}

// GCC 12 at -O3 wrongly sees an overlapping copy when a literal is put in
// front of a std::string (-Wrestrict, GCC bug 105329): silenced here only.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
std::string Number(long long n) { return " " + std::to_string(n); }

// "UTC+8", "UTC－4", "UTC+5:30", "UTC+7:36:42".
std::string OffsetText(int offsetSeconds) {
  const int a = offsetSeconds < 0 ? -offsetSeconds : offsetSeconds;
  std::string t = "UTC" + std::string(offsetSeconds < 0 ? kMinus : "+") + std::to_string(a / 3600);
  char part[8];
  if (a % 3600 != 0) {
    std::snprintf(part, sizeof part, ":%02d", a / 60 % 60);
    t += part;
  }
  if (a % 60 != 0) {
    std::snprintf(part, sizeof part, ":%02d", a % 60);
    t += part;
  }
  return t;
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

std::string DegreesText(double value, std::string_view positive, std::string_view negative) {
  const double a = std::fabs(value);
  long long totalMinutes = std::llround(a * 60.0);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld°%02lld′", totalMinutes / 60, totalMinutes % 60);
  return std::string(value < 0 ? negative : positive) + buf;
}

// The moment as the line shows it: hour and minute, with the date in front
// when it is not the date entered.
template <typename Time>
std::string WhenText(Time t, ClockTime clock) {
  const CivilFields f = Fields(t), c = Fields(clock);
  std::string s;
  if (f.year != c.year || f.month != c.month || f.day != c.day)
    s += Number(f.year) + "年" + Number(f.month) + "月" + Number(f.day) + "日";
  s += Number(f.hour) + "時" + Number(f.minute) + "分";
  return s;
}

// Minutes from what the clock showed to what another clock shows then.
template <typename Time>
long long FaceMinutes(ClockTime clock, Time other) {
  return (other.time_since_epoch() - clock.time_since_epoch()).count();
}

}  // namespace

std::string_view TimeModeName(TimeMode m) {
  switch (m) {
    case TimeMode::Clock: return "鐘錶時間";
    case TimeMode::Standard: return "標準時間";
    case TimeMode::Solar: return "真太陽時";
  }
  return "";
}

std::string_view TimeModeKey(TimeMode m) {
  switch (m) {
    case TimeMode::Clock: return "clock";
    case TimeMode::Standard: return "standard";
    case TimeMode::Solar: return "solar";
  }
  return "";
}

std::optional<TimeMode> ParseTimeMode(std::string_view text) {
  for (TimeMode m : {TimeMode::Clock, TimeMode::Standard, TimeMode::Solar})
    if (text == TimeModeName(m) || text == TimeModeKey(m)) return m;
  return std::nullopt;
}

std::string_view CorrectionErrorText(CorrectionError e) {
  switch (e) {
    case CorrectionError::BadMoment: return "出生時刻無效";
    case CorrectionError::BadPlace: {
      static const std::string text = std::string(LongitudeRangeText()) + "；" + std::string(LatitudeRangeText());
      return text;
    }
    case CorrectionError::UnknownZone: return "找不到這個時區";
    case CorrectionError::Nonexistent: return "此時刻在當地撥快時鐘時被跳過，並不存在";
    case CorrectionError::OutOfRange: {
      static const std::string text =
          "校正後的時刻超出 " + std::to_string(kFirstYear) + " 至 " + std::to_string(kLastYear) + " 年";
      return text;
    }
  }
  return "無法校正";
}

std::string CorrectionFailureText(const CorrectionOutcome& out) {
  if (out.error == CorrectionError::Nonexistent && out.resolution.state == ClockState::Gap)
    return ClockChangeText(out.resolution);
  return std::string(CorrectionErrorText(out.error));
}

std::string ClockChangeText(const ClockResolution& r) {
  if (r.state == ClockState::Unique) return {};
  const CivilFields at = Fields(r.changedAt), to = Fields(r.changedTo);
  char date[16];
  std::snprintf(date, sizeof date, "%04d/%02d/%02d", at.year, at.month, at.day);
  const std::string from = std::string(date) + Number(at.hour) + "時" + Number(at.minute) + "分";
  const std::string until = Number(to.hour) + "時" + Number(to.minute) + "分";
  if (r.state == ClockState::Gap) return "此時刻並不存在：當地時鐘在 " + from + " 撥快到" + until;
  return "此時刻出現兩次：當地時鐘在 " + from + " 撥回到" + until + "，請選擇較早或較晚的一次";
}

namespace {

MomentInput InputOfFields(const CivilFields& f) { return {f.year, f.month, f.day, f.hour, f.minute}; }

}  // namespace

MomentInput InputOf(Moment t) { return InputOfFields(Fields(t)); }

ClockTime ClockTimeOf(const MomentInput& in) {
  return MakeClockTime(in.InputYear, in.InputMonth, in.InputDay, in.InputHour, FoldMinute(in.InputMinute));
}

CorrectionOutcome CorrectBirth(const MomentInput& clock, const Place& place, TimeMode mode,
                               OverlapChoice choice) {
  CorrectionOutcome out;
  const auto refuse = [&out](CorrectionError e) {
    out.error = e;
    return out;
  };
  if (CheckMomentInput(clock)) return refuse(CorrectionError::BadMoment);
  const ClockTime clockMoment = ClockTimeOf(clock);

  BirthCorrection c;
  c.mode = mode;
  c.place = place;
  c.entered = clock;
  c.choice = choice;
  if (mode == TimeMode::Clock) {
    // The clock read as one of UTC+8's; the sun is not asked.
    c.utc = kTableZone.UtcAt(clockMoment);
    c.standard = c.otherStandard = TableTimeOf(c.utc);
    c.solar = SolarTime{clockMoment.time_since_epoch()};
    out.correction = std::move(c);
    return out;
  }

  if (!ValidLongitude(place.longitude) || !ValidLatitude(place.latitude)) return refuse(CorrectionError::BadPlace);
  const auto zone = TimeZone::Find(place.zone);
  if (!zone) return refuse(CorrectionError::UnknownZone);
  out.resolution = ResolveClock(*zone, clockMoment);
  if (out.resolution.state == ClockState::Gap) return refuse(CorrectionError::Nonexistent);

  const int pick = choice == OverlapChoice::Later ? 1 : 0;
  const ClockReading& r = out.resolution.readings[pick];
  c.state = out.resolution.state;
  c.utcOffsetSeconds = r.utcOffsetSeconds;
  c.dstMinutes = r.dstMinutes;
  c.utc = r.utc;
  c.standard = TableTimeOf(r.utc);
  c.otherStandard = TableTimeOf(out.resolution.readings[1 - pick].utc);
  c.eotSeconds = EquationOfTimeSeconds(r.utc);
  c.solar = ApparentSolarMinute(r.utc, place.longitude);
  // Only the moments the mode casts with need the tables.
  if (!InTableYears(c.standard) || (mode == TimeMode::Solar && !InTableYears(c.solar)))
    return refuse(CorrectionError::OutOfRange);
  out.correction = std::move(c);
  return out;
}

namespace {

MomentOutcome CorrectedEngineMoment(const BirthCorrection& c, DayChange dayChange) {
  switch (c.mode) {
    case TimeMode::Clock:
      return CalcMoment(c.entered, dayChange);
    case TimeMode::Standard:
      return CalcMoment(InputOf(c.standard), dayChange);
    case TimeMode::Solar:
      break;
  }
  MomentOutcome terms = CalcMoment(InputOf(c.standard), dayChange);
  if (!terms) return terms;
  // The day and the hour by the sun: the calendar reads the solar clock's face.
  const MomentOutcome sun = CalcMoment(InputOfFields(Fields(c.solar)), dayChange);
  if (!sun) return sun;
  MomentResult& r = *terms.result;
  const MomentResult& s = *sun.result;
  r.MomentLunarYear = s.MomentLunarYear;
  r.MomentLunarMonth = s.MomentLunarMonth;
  r.MomentLunarDay = s.MomentLunarDay;
  r.MomentMonthKind = s.MomentMonthKind;
  r.MomentHourBranch = s.MomentHourBranch;
  r.MomentPillars.Day = s.MomentPillars.Day;
  r.MomentPillars.Hour = s.MomentPillars.Hour;
  r.MomentPillars.NewYear = s.MomentPillars.NewYear;
  r.WeekdayNumber = s.WeekdayNumber;
  r.WeekdayText = s.WeekdayText;
  r.lateZi = s.lateZi;
  return terms;
}

}  // namespace

MomentOutcome CorrectedMoment(const BirthCorrection& c, DayChange dayChange) {
  MomentOutcome out = CorrectedEngineMoment(c, dayChange);
  if (out) out.result->reading = c.mode;
  return out;
}

std::string LongitudeText(double longitude) { return DegreesText(longitude, "東經", "西經"); }
std::string LatitudeText(double latitude) { return DegreesText(latitude, "北緯", "南緯"); }

std::string CorrectionLine(const BirthCorrection& c) {
  if (!c.applies()) return {};
  const ClockTime clock = ClockTimeOf(c.entered);
  std::string where = c.place.name.empty() ? std::string() : c.place.name + " ";
  std::string line;
  if (c.mode == TimeMode::Standard) {
    line = "標準時間" + WhenText(c.standard, clock) + "（" + where + OffsetText(c.utcOffsetSeconds);
    if (c.dstMinutes != 0) line += "，夏令時 " + Signed(c.dstMinutes) + "分";
    line += "，換算東八區 " + Signed(FaceMinutes(clock, c.standard)) + "分";
  } else {
    line = "真太陽時" + WhenText(c.solar, clock) + "（" + where + LongitudeText(c.place.longitude);
    if (c.dstMinutes != 0) line += "，夏令時 " + Signed(-c.dstMinutes) + "分";
    line += "，經度時差 " + Signed(std::llround(c.longitudeMinutes())) + "分";
    line += "，均時差 " + Signed(std::llround(c.eotSeconds / 60.0)) + "分";
  }
  if (c.state == ClockState::Overlap)
    line += c.choice == OverlapChoice::Earlier ? "，重複的時刻取較早者" : "，重複的時刻取較晚者";
  return line + "）";
}

std::string CorrectionDetail(const BirthCorrection& c) {
  if (!c.applies()) return {};
  std::string t = "出生地 " + (c.place.name.empty() ? std::string("（自訂）") : c.place.name) + "  " +
                  LongitudeText(c.place.longitude) + " " + LatitudeText(c.place.latitude) + "\n";
  t += "時區 " + c.place.zone + "  " + OffsetText(c.utcOffsetSeconds);
  if (c.dstMinutes != 0) t += "（含夏令時 " + Signed(c.dstMinutes) + "分）";
  t += "\n";
  if (c.state == ClockState::Overlap)
    t += "此鐘點在當地出現兩次，另一個時刻為東八區 " + MomentText(c.otherStandard) + "\n";
  t += "標準時間（東八區） " + MomentText(c.standard) + "\n";
  const long long eot = std::llround(c.eotSeconds);
  const long long a = eot < 0 ? -eot : eot;
  t += "真太陽時 " + MomentText(c.solar) + "  均時差 " + std::string(eot < 0 ? kMinus : "+") +
       std::to_string(a / 60) + "分" + std::to_string(a % 60) + "秒";
  return t;
}

}  // namespace qelm
