#include "calendar/tables.hpp"

#include <array>
#include <cstdint>
#include <string_view>

namespace qelm {
namespace {

// kLunarYearTable and kSolarTermTable, written by tools/gen_tables.py.
#include "calendar/tables_data.inc"

constexpr int kLunarYearCount = kLastTableYear - kFirstTableYear + 1;
static_assert(std::size(kLunarYearTable) == kLunarYearCount);
static_assert(std::size(kSolarTermTable) == kSolarTermCount);

// Not constexpr: reaching it while the tables are derived at compile time
// stops the compilation, so a malformed generated entry never builds.
void MalformedTableEntry() {}

constexpr int Digit(char c) {
  if (c < '0' || c > '9') MalformedTableEntry();
  return c - '0';
}

constexpr int Number(std::string_view text, std::size_t pos, std::size_t width) {
  int value = 0;
  for (std::size_t i = pos; i < pos + width; ++i) value = value * 10 + Digit(text[i]);
  return value;
}

// "yyyy/mm/dd hh:mm" as minutes on the system clock.
constexpr std::int32_t PackedMoment(std::string_view text) {
  if (text.size() != 16 || text[4] != '/' || text[7] != '/' || text[10] != ' ' || text[13] != ':')
    MalformedTableEntry();
  const int month = Number(text, 5, 2), day = Number(text, 8, 2);
  const int hour = Number(text, 11, 2), minute = Number(text, 14, 2);
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59)
    MalformedTableEntry();
  const Moment t = MakeMoment(Number(text, 0, 4), month, day, hour, minute);
  return static_cast<std::int32_t>(t.time_since_epoch().count());
}

// Derived once by the compiler: a lookup is an array access.
constexpr std::array<std::int32_t, kSolarTermCount> kTermMinutes = [] {
  std::array<std::int32_t, kSolarTermCount> out{};
  for (int i = 0; i < kSolarTermCount; ++i) out[i] = PackedMoment(kSolarTermTable[i]);
  return out;
}();

constexpr int LengthFlag(char c) {
  if (c != '0' && c != '1') MalformedTableEntry();
  return c - '0';
}

// The leap month is one upper-case hexadecimal digit: "A" is month 10.
constexpr int HexDigit(char c) {
  if (c >= 'A' && c <= 'C') return c - 'A' + 10;
  return Digit(c);
}

constexpr LunarYearRow RowOf(int year, std::string_view text) {
  if (text.size() != 18) MalformedTableEntry();
  LunarYearRow row{};
  for (int m = 1; m <= 12; ++m) row.monthLength[m] = 29 + LengthFlag(text[m - 1]);
  row.leapMonth = HexDigit(text[13]);
  row.monthLength[0] = row.leapMonth == 0 ? 0 : 29 + LengthFlag(text[12]);
  const int month = Number(text, 14, 2), day = Number(text, 16, 2);
  if (month < 1 || month > 2 || day < 1 || day > 31) MalformedTableEntry();
  row.newYear = MakeDate(year, month, day);
  return row;
}

constexpr std::array<LunarYearRow, kLunarYearCount> kLunarYearRows = [] {
  std::array<LunarYearRow, kLunarYearCount> out{};
  for (int i = 0; i < kLunarYearCount; ++i) out[i] = RowOf(kFirstTableYear + i, kLunarYearTable[i]);
  return out;
}();

constexpr bool InYearRange(int year) { return year >= kFirstTableYear && year <= kLastTableYear; }
constexpr bool InTermRange(int index) { return index >= 1 && index <= kSolarTermCount; }

}  // namespace

std::optional<std::string_view> LunarYearInfo(int year) {
  if (!InYearRange(year)) return std::nullopt;
  return kLunarYearTable[year - kFirstTableYear];
}

std::optional<std::string_view> SolarTermMoment(int index) {
  if (!InTermRange(index)) return std::nullopt;
  return kSolarTermTable[index - 1];
}

std::optional<Moment> SolarTermAt(int index) {
  if (!InTermRange(index)) return std::nullopt;
  return Moment{std::chrono::minutes{kTermMinutes[index - 1]}};
}

std::span<const std::int32_t> SolarTermMinutes() { return kTermMinutes; }
std::span<const std::string_view> SolarTermMoments() { return kSolarTermTable; }

std::optional<LunarYearRow> LunarYearRowOf(int year) {
  if (!InYearRange(year)) return std::nullopt;
  return kLunarYearRows[year - kFirstTableYear];
}

}  // namespace qelm
