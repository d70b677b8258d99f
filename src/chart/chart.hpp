// The current chart: everything derived from a person and a birth moment, and
// what follows the flow moment the user looks at.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/moment.hpp"
#include "chart/text.hpp"
#include "chart/types.hpp"

namespace qelm {

// ------------------------------------------------------------ pillar notes

// Hidden stems, ten-god short forms and element colours of one pillar.
// Without a day master (no chart loaded) the ten-god fields stay empty.
struct PillarNotes {
  std::string_view StemTenGod;
  std::array<std::string_view, 3> HiddenTenGod{};  // HiddenTenGod1..3
  std::uint32_t StemColour = 0;
  std::array<std::uint32_t, 3> HiddenColour{};     // HiddenColour1..3; [0] is the branch colour
  std::array<std::optional<Stem>, 3> Hidden{};     // Hidden1..3
};
PillarNotes AnnotatePillar(Pillar p, std::optional<Stem> dayMaster);
TenGod TenGodOf(Stem s, Stem dayMaster);
std::array<std::optional<Stem>, 3> HiddenStemsOf(Branch b);

// How a pillar column is drawn: text and colour of each item; absent hidden
// stems and their ten gods are empty texts.
struct ColouredText {
  std::string_view text;
  std::uint32_t colour = 0;
};
struct PillarDrawing {
  ColouredText stem, stemTenGod, branch;
  std::array<ColouredText, 3> hidden, hiddenTenGod;
};
PillarDrawing DrawPillar(Pillar p, std::optional<Stem> dayMaster);

// ------------------------------------------------------------ sound elements

struct SoundElement {
  std::string_view SoundName;  // "海中金" …
  std::string_view SoundChar1, SoundChar2, SoundChar3;
  int SoundElementIndex = 0;
};
// P = (stem + 1) div 2 in 1..5, Q = (branch + 1) div 2 in 1..6; nothing otherwise.
std::optional<SoundElement> SoundElementOf(int P, int Q);
SoundElement SoundElementOf(Pillar p);  // the pillar must be valid

// ------------------------------------------------------------ the chart

// "yyyy年mm月dd日" (17 bytes) or "—".
using DateText = InlineText<20>;
using AgeRangeText = InlineText<31>;  // two numbers of any size

// The school that dates the luck pillars.
//  table:   each pillar opens at its own 節, one real minute counting as 120
//           minutes of life (the program's own count, the default);
//  exact:   三日為一歲 to the minute: the time from birth to the governing 節
//           read as 3 days = 1 year, 6 hours = 1 month, 12 minutes = 1 day,
//           1 minute = 2 hours, added to the birth on the calendar;
//  shichen: 《命理探源》 三日一歲, 一日四月, 一時辰十日, counted in whole days
//           and 時辰.
// Under exact and shichen each later pillar opens ten years after the one before.
enum class LuckStart { Table, Exact, Shichen };
std::string_view LuckStartKey(LuckStart s);   // "table", "exact", "shichen"
std::string_view LuckStartName(LuckStart s);  // "逐節交運", "三日為一歲精算", "命理探源時辰法"
// Either form; nothing for any other text.
std::optional<LuckStart> ParseLuckStart(std::string_view text);

// The time from birth to the 節 as the life it stands for.
struct LuckOffset {
  int years = 0, months = 0, days = 0, hours = 0, minutes = 0;
  friend constexpr auto operator<=>(const LuckOffset&, const LuckOffset&) = default;
};
// exact: real minutes between birth and the 節 (at least 0).
LuckOffset ExactLuckOffset(std::int64_t realMinutes);
// A clock time's 時辰 on its own date: (hour + 1) div 2, 23:xx counted as 11.
constexpr int ShichenIndex(int hour) { return hour >= 23 ? 11 : (hour + 1) / 2; }
// shichen: from the earlier moment to the later, in days and 時辰.
LuckOffset ShichenLuckOffset(Moment earlier, Moment later);
// The birth plus the offset on the calendar: years and months onto the
// birth's year and month, then the day (and the hour and minute) counted on
// from that month, a day past its end rolling into the next month.
Moment AddLuckOffset(Moment birth, const LuckOffset& o);

// A birth whose hour is not known, cast at one of the charts its date allows:
// stretch `index` (1-based) of `count`, its first and last clock minute.
struct HourCandidate {
  int index = 0, count = 0;
  Moment first{}, last{};
  friend constexpr bool operator==(const HourCandidate&, const HourCandidate&) = default;
};

// The conventions a chart was cast with; the flow moment is read by them.
struct ChartConventions {
  DayChange dayChange = DayChange::AtZiStart;
  LuckStart luckStart = LuckStart::Table;  // the school that dates the luck pillars
  friend constexpr bool operator==(const ChartConventions&, const ChartConventions&) = default;
};

struct ChartState {
  std::string PersonName;
  qelm::Sex Sex = qelm::Sex::Male;
  int BirthYear = 0, BirthMonth = 0, BirthDay = 0, BirthHour = 0, BirthMinute = 0;
  Stem NewYearStem;
  Branch NewYearBranch;
  Polarity YearPolarity = Polarity::Yin;  // of the year stem
  int LunarYear = 0, LunarMonth = 0, LunarDay = 0;
  Branch LunarHourBranch;
  Stem YearStem, MonthStem, DayStem, HourStem;
  Branch YearBranch, MonthBranch, DayBranch, HourBranch;
  std::string ChartKind;  // "乾造" / "坤造"
  int BirthJieDays = 0;
  Stem CommandStem;  // of the birth month
  std::string CommandStemName;
  Pillar LifePalace, BodyPalace, ConceptionPillar, BreathPillar;
  std::string PalaceText;
  // Luck pillars 1..12 at indices 0..11.
  std::array<Stem, 12> LuckStems{};
  std::array<Branch, 12> LuckBranches{};
  int LuckStartAge = 0;
  std::array<AgeRangeText, 12> LuckAgeRanges;  // " 3 -  12" …
  // The terms' moments as the solar-term table writes them; "" outside it.
  std::array<std::string_view, 12> LuckTermMoments{}, LuckMidTermMoments{};
  // Minutes of life to the start of each pillar; none where the term lies
  // outside the tables (such a pillar is never current).
  std::array<std::optional<std::int32_t>, 12> LuckChangeMinutes{};
  std::array<DateText, 12> LuckChangeDates, LuckMidChangeDates;  // "—" when unknown
  std::string BirthDateText, BirthMomentText;
  // (exact, shichen) the time to the governing 節 in years, months, days and
  // hours of life; the school is conventions.luckStart.
  LuckOffset LuckStartOffset;
  // Set when the hour is not known: the birth is one candidate of its date.
  std::optional<HourCandidate> hourCandidate;

  // The birth moment as the engine computed it (lunar names, term data …).
  MomentResult birth;
  ChartConventions conventions;

  Pillar YearPillar() const { return {YearStem, YearBranch}; }
  Pillar MonthPillar() const { return {MonthStem, MonthBranch}; }
  Pillar DayPillar() const { return {DayStem, DayBranch}; }
  Pillar HourPillar() const { return {HourStem, HourBranch}; }
  Pillar LuckPillar(int k) const { return {LuckStems[k - 1], LuckBranches[k - 1]}; }  // k 1..12
  // 陽男陰女 count forward (the luck pillars, some stars), 陰男陽女 backward.
  bool Forward() const { return (Sex == qelm::Sex::Male) == (YearPolarity == Polarity::Yang); }
  // The birth moment on the clock, from the birth fields.
  Moment BirthMoment() const { return MakeMoment(BirthYear, BirthMonth, BirthDay, BirthHour, BirthMinute); }
};

// Loads a chart: the calendar engine's result for the birth moment plus the
// person, and every derivation (kind, luck schedule, commanding stem,
// palaces, texts), the luck pillars dated by the school.
ChartState LoadChart(std::string PersonName, Sex sex, const MomentResult& birth,
                     LuckStart luckStart = LuckStart::Table);

// The three lines under the person's name, as the main window shows them and
// the report begins with them.
// The birth data: "乾造 西元 2000年 2月 4日 20時 35分 (己卯年十二月廿九日戌時)";
// a birth read in UTC+8 says "東八區" after the time, and one read at solar
// time "真太陽時" before the lunar date; a candidate of an unknown hour ends
// with "時辰不詳 (候選 3/13, 04:00–05:59)".
std::string BirthDataLine(const ChartState& c);
// The same line written at p, which has room for BirthDataLineRoom(c) bytes;
// returns its end.
std::size_t BirthDataLineRoom(const ChartState& c);
char* PutBirthDataLine(char* p, const ChartState& c);
// "時辰不詳 (候選 3/13, 04:00–05:59)".
std::string HourCandidateText(const HourCandidate& h);
// The stem in command of the birth month: "立春後第 0日 0時 0分 戊土用事".
std::string CommandingStemLine(const ChartState& c);
// The same line written at p, which has room for CommandingStemLineRoom(c)
// bytes; returns its end.
std::size_t CommandingStemLineRoom(const ChartState& c);
char* PutCommandingStemLine(char* p, const ChartState& c);
// When the luck starts, as the commanding-stem line's note gives it: "約 6歲起運"
// (table), "起運 6歲 6月 21日 8時" (exact), "起運 6歲 6月 20日" (shichen).
std::string LuckStartText(const ChartState& c);
// The heading of the luck change dates: "交運日期", naming the school when it
// is not the default: "交運日期 (三日為一歲精算)".
std::string LuckDatesHeading(const ChartState& c);
// The palaces: "命宮: 辛巳    身宮: 己丑    息元: 丁酉    胎元: 己巳".
std::string PalaceLine(const ChartState& c);

// The steps of a chart load, each usable on its own.
// "乾造" for a man, "坤造" for a woman.
std::string_view ClassifyChart(Sex sex);
// The twelve luck pillars stepping on from (or back from) the month pillar.
std::array<Pillar, 12> LuckPillars(Pillar monthPillar, bool forward);
// Whole years before the first luck pillar from the whole clock hours between
// birth and the first jie: three days make a year, two days left over round up.
int LuckStartAgeOf(std::int64_t wholeHours);
// " 3 -  12" for start age 3 and k = 1 (k 1..12).
std::string LuckAgeRange(int LuckStartAge, int k);
// Fills the luck fields (LuckStems … LuckAgeRanges, BirthDateText,
// BirthMomentText) from Sex, YearPolarity, the month pillar, the birth fields,
// birth.JieIndex and luckStart.
void LuckSchedule(ChartState& c);
// "yyyy年mm月dd日" as ChineseDateText writes it for the years 0 to 9999, with
// no string in between: the date texts of the luck changes.
DateText ChangeDateText(Date d);
struct PalaceSet {
  Pillar LifePalace, BodyPalace, ConceptionPillar, BreathPillar;
  friend constexpr bool operator==(const PalaceSet&, const PalaceSet&) = default;
};
PalaceSet Palaces(Stem yearStem, Pillar monthPillar, Pillar dayPillar, Branch hourBranch, int PastMidTerm);

// Which luck pillar holds moment t (0 before the first); a moment exactly at
// a change minute belongs to the pillar that begins there.
int LuckIndexAt(const ChartState& c, Moment t);
// Whole years from birth to the date, 0..120.
int AgeAt(const ChartState& c, int year, int month, int day);
// The commanding stem of a month branch after d whole days since its jie.
std::optional<Stem> CommandingStem(Branch monthBranch, int jieDays);

// ------------------------------------------------------------ the flow moment

struct FlowState {
  MomentResult moment;      // MomentPillars and term data of the flow moment
  int CurrentLuckIndex = 0; // 0 without a chart
  int FlowAge = 0;
  Stem CommandStem;         // of the flow moment's month
  std::string CommandStemName;
  std::string WesternDateText;  // "西元 2000年 2月 4日 20時 35分"

  Pillar YearPillar() const;
  Pillar MonthPillar() const;
  Pillar DayPillar() const;
  Pillar HourPillar() const;
  Pillar NewYearPillar() const;
};
// chart may be null (no chart shown, or one set aside): no luck index, no age.
FlowState ComputeFlow(const ChartState* chart, const MomentResult& flow);
// The main window's lunar date line of the flow moment: "陰曆 ", its lunar
// date, the term it follows, the commanding stem and the weekday.
std::string FlowLunarLine(const FlowState& f);
// The flow moment of the fields, read by the chart's conventions (without a
// chart, by the default ones).
MomentOutcome FlowMomentOf(const ChartState* chart, const MomentInput& at);

// The lunar date of a moment as every window writes it: the year pillar
// counted from the lunar New Year, "年", leap mark, month, "月", day, "日" and,
// with the hour, the double hour and "時": "己卯年十二月廿九日戌時".
std::string LunarDateText(const MomentResult& m, bool withHour = true);
void AppendLunarDateText(std::string& out, const MomentResult& m, bool withHour = true);
// The same text written at p, which has room for kLunarDateTextRoom bytes;
// returns its end. The room: four pieces (the year, the month, the day, the
// hour) of up to four characters of three bytes, each copied whole.
inline constexpr std::size_t kLunarDateTextRoom = 4 * 4 * 3;
char* PutLunarDateText(char* p, const MomentResult& m, bool withHour = true);

// A number as the texts compose it: its digits after one blank (" 5", " -3").
std::string NumberText(long long n);

}  // namespace qelm
