#include "report/report.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string_view>

#include "analysis/scoring.hpp"
#include "report/season_line.hpp"

namespace qelm {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Room for a whole report, made at the start, so that composing seldom
// makes more.
constexpr std::size_t kReportRoom = 2048;

// The text being composed and the line end it takes. The string is given
// room ahead of the writing, which goes on through a pointer; when the
// composing is done the string is cut to what was written.
class Lines {
 public:
  Lines(std::string& out, std::string_view end) : out_(out), end_(end), size_(out.size()) {
    if (end.size() <= shortEnd_.size()) end.copy(shortEnd_.data(), end.size());
  }
  ~Lines() { out_.resize(size_); }
  Lines(const Lines&) = delete;
  Lines& operator=(const Lines&) = delete;

  std::string_view end() const { return end_; }
  std::size_t size() const { return size_; }
  // Room for n bytes at the end of the text, and a few more for a copy of
  // fixed size that runs past what it keeps; Keep(p) keeps what was written
  // up to p.
  char* Room(std::size_t n) {
    n += kSpare;
    if (out_.size() - size_ < n) out_.resize(std::max(size_ + n, std::max(2 * out_.size(), kReportRoom)));
    return out_.data() + size_;
  }
  void Keep(const char* end) { size_ = static_cast<std::size_t>(end - out_.data()); }
  // Writes the line end at p (room for it given) and returns its end; a
  // short one goes in one four-byte copy.
  char* PutEnd(char* p) const {
    if (end_.size() > shortEnd_.size()) return PutText(p, end_);
    std::memcpy(p, shortEnd_.data(), shortEnd_.size());
    return p + end_.size();
  }

  // The parts, as AppendParts takes them.
  template <typename... Parts>
  void Append(const Parts&... parts) {
    Keep(PutParts(Room(PartsRoom(parts...)), parts...));
  }
  // A line of text.
  void Line(std::string_view text) {
    char* p = Room(text.size() + end_.size());
    Keep(PutEnd(PutText(p, text)));
  }

 private:
  static constexpr std::size_t kSpare = 4;
  std::string& out_;
  std::string_view end_;
  std::array<char, kSpare> shortEnd_{};
  std::size_t size_;  // written so far
};
// Stands in a column that has no pillar (the luck column before the first
// luck pillar begins).
constexpr std::string_view kNoPillar = "　";

// The one-character items of a pillar column as the report writes them,
// each one character of three bytes, held in place with a spare byte so
// that a row moves it in one four-byte copy.
constexpr std::size_t kGlyphBytes = 3;
using Glyph = std::array<char, kGlyphBytes + 1>;
Glyph GlyphOf(std::string_view character) {
  assert(character.size() == kGlyphBytes);
  Glyph g{};
  character.copy(g.data(), kGlyphBytes);
  return g;
}
// The items a row shows of its columns: those of the pillar, then its ten
// god to the day master.
enum Item : std::size_t { kStem, kBranch, kSound1, kSound2, kSound3, kTenGod };

// The items of one pillar's column but its ten god, by Item.
using PillarGlyphs = std::array<Glyph, kTenGod>;

// The items of every pillar and every ten god, made once.
struct Glyphs {
  Glyph blank = GlyphOf(kNoPillar);
  Glyph dayMaster = GlyphOf("日");  // the day column's, in place of a ten god
  std::array<PillarGlyphs, 1 + 10 * 12> pillars;  // no pillar, then by stem and branch
  std::array<std::array<Glyph, 10>, 11> gods;     // by day master (none first) and stem
  Glyphs() {
    pillars[0].fill(blank);
    gods[0].fill(blank);
    for (int s = 1; s <= 10; ++s) {
      for (int b = 1; b <= 12; ++b) {
        PillarGlyphs& g = pillars[Index(Pillar{Stem{s}, Branch{b}})];
        g = pillars[0];
        g[kStem] = GlyphOf(Stem{s}.name());
        g[kBranch] = GlyphOf(Branch{b}.name());
        if (const auto sound = SoundElementOf((s + 1) / 2, (b + 1) / 2)) {
          g[kSound1] = GlyphOf(sound->SoundChar1);
          g[kSound2] = GlyphOf(sound->SoundChar2);
          g[kSound3] = GlyphOf(sound->SoundChar3);
        }
      }
      for (int d = 1; d <= 10; ++d) {
        const std::string_view god = Stem{s}.tenGodTo(Stem{d}).shortName();
        gods[static_cast<std::size_t>(d)][static_cast<std::size_t>(s - 1)] = god.empty() ? blank : GlyphOf(god);
      }
    }
  }
  // Where a valid pillar's items stand.
  static std::size_t Index(Pillar p) {
    return static_cast<std::size_t>((p.stem.number() - 1) * 12 + p.branch.number());
  }
};
const Glyphs& TheGlyphs() {
  static const Glyphs kGlyphs;
  return kGlyphs;
}

// A pillar column: the pillar's items and its ten god to the day master.
struct Column {
  const PillarGlyphs* pillar;
  Glyph tenGod;
};

// The columns of a chart: its day master's ten gods taken once.
class ColumnsOf {
 public:
  ColumnsOf(const Glyphs& g, Stem dayMaster)
      : glyphs_(g), gods_(g.gods[static_cast<std::size_t>(dayMaster.valid() ? dayMaster.number() : 0)]) {}
  Column operator()(Pillar p) const {
    if (!p.valid()) return {&glyphs_.pillars[0], glyphs_.blank};
    return {&glyphs_.pillars[Glyphs::Index(p)], gods_[static_cast<std::size_t>(p.stem.number() - 1)]};
  }

 private:
  const Glyphs& glyphs_;
  const std::array<Glyph, 10>& gods_;
};

// Appends a row for each item given, in order: that item of every column,
// then the line end; with `blankAfter`, a blank line after them.
void Rows(Lines& l, std::span<const Column> cols, std::initializer_list<Item> items, bool blankAfter = false) {
  // The spare byte of each glyph is written over by the next, the last one's
  // by the line end.
  assert(!l.end().empty());
  char* p = l.Room(items.size() * (cols.size() * kGlyphBytes + l.end().size()) + l.end().size());
  for (const Item item : items) {
    if (item == kTenGod) {
      for (const Column& col : cols) {
        std::memcpy(p, col.tenGod.data(), kGlyphBytes + 1);
        p += kGlyphBytes;
      }
    } else {
      for (const Column& col : cols) {
        std::memcpy(p, (*col.pillar)[item].data(), kGlyphBytes + 1);
        p += kGlyphBytes;
      }
    }
    p = l.PutEnd(p);
  }
  if (blankAfter) p = l.PutEnd(p);
  l.Keep(p);
}

void Line(Lines& l, std::string_view text) { l.Line(text); }

// The birth-data line, the commanding-stem line with the start age and the
// seasonal ranking; the caller adds the fourth line.
void InfoHead(Lines& l, const ChartState& c) {
  const std::string luckStart = LuckStartText(c);
  char* p = l.Room(BirthDataLineRoom(c) + CommandingStemLineRoom(c) + PartsRoom(" (", luckStart, ")") +
                   kSeasonLineRoom + 3 * l.end().size());
  p = l.PutEnd(PutBirthDataLine(p, c));
  p = l.PutEnd(PutParts(PutCommandingStemLine(p, c), " (", luckStart, ")"));
  p = l.PutEnd(PutSeasonLine(p, c.MonthBranch, c.BirthJieDays));
  l.Keep(p);
}

void ElementLine(Lines& l, const ChartState& c) {
  const ElementScores s = NatalScores(c);
  l.Append("五行強弱: 木", Num{s[0]}, " 火", Num{s[1]}, " 土", Num{s[2]}, " 金", Num{s[3]}, " 水",
              Num{s[4]}, l.end());
}

// Luck pillars 10 down to 1: the first luck pillar stands at the right end.
std::array<Column, 10> LuckColumns(const ColumnsOf& columnOf, const ChartState& c) {
  std::array<Column, 10> cols;
  for (int k = 10; k >= 1; --k) cols[10 - k] = columnOf(c.LuckPillar(k));
  return cols;
}

// 運 歲 月 日 時, left to right.
std::array<Column, 5> FlowColumns(const ColumnsOf& columnOf, const ChartState& c, const FlowState& f) {
  const int k = f.CurrentLuckIndex;
  const Pillar luck = (k >= 1 && k <= 12) ? c.LuckPillar(k) : Pillar{};
  const std::array<Pillar, 5> pillars{luck, f.YearPillar(), f.MonthPillar(), f.DayPillar(), f.HourPillar()};
  std::array<Column, 5> cols;
  for (std::size_t i = 0; i < pillars.size(); ++i) cols[i] = columnOf(pillars[i]);
  return cols;
}

// 胎 時 日 月 年: the conception pillar, then the natal pillars with the year
// at the right.
std::array<Column, 5> NatalColumns(const ColumnsOf& columnOf, const ChartState& c) {
  const std::array<Pillar, 5> pillars{c.ConceptionPillar, c.HourPillar(), c.DayPillar(), c.MonthPillar(),
                                      c.YearPillar()};
  std::array<Column, 5> cols;
  for (std::size_t i = 0; i < pillars.size(); ++i) cols[i] = columnOf(pillars[i]);
  return cols;
}

// The widest luck-date line: a pillar, two dates and the gaps.
constexpr std::size_t kLuckDateLineRoom = 2 * kGlyphBytes + 2 * DateText::capacity() + 4;

// Luck pillars 1 to 10 (`luck` holds them from 10 down to 1), each with the
// dates it changes its pillar and its branch.
void LuckDates(Lines& l, const ChartState& c, std::span<const Column, 10> luck) {
  Line(l, LuckDatesHeading(c));
  Line(l, "大運  換柱與天干上五年  地支下五年");
  const PillarGlyphs* none = &TheGlyphs().pillars[0];
  char* p = l.Room(luck.size() * (kLuckDateLineRoom + l.end().size()));
  for (std::size_t k = 1; k <= luck.size(); ++k) {
    if (const PillarGlyphs* glyphs = luck[luck.size() - k].pillar; glyphs != none) {
      std::memcpy(p, (*glyphs)[kStem].data(), kGlyphBytes + 1);
      std::memcpy(p + kGlyphBytes, (*glyphs)[kBranch].data(), kGlyphBytes + 1);
      p += 2 * kGlyphBytes;
    } else {
      // Not a whole pillar: what names it has.
      const Pillar pillar = c.LuckPillar(static_cast<int>(k));
      p = PutText(PutText(p, pillar.stem.name()), pillar.branch.name());
    }
    std::memcpy(p, "  ", 2);
    p = PutText(p + 2, c.LuckChangeDates[k - 1].view());
    std::memcpy(p, "  ", 2);
    p = PutText(p + 2, c.LuckMidChangeDates[k - 1].view());
    p = l.PutEnd(p);
  }
  l.Keep(p);
}

void WesternDate(Lines& l, const FlowState& f) {
  Line(l, f.WesternDateText);
  Line(l, "");
}

// The columns of both schools.
struct SharedColumns {
  std::array<Column, 5> natal;  // 胎 時 日 月 年
  std::array<Column, 10> luck;
  std::array<Column, 5> flow;
  SharedColumns(const ChartState& c, const FlowState& f) : SharedColumns(c, f, ColumnsOf(TheGlyphs(), c.DayStem)) {}
  SharedColumns(const ChartState& c, const FlowState& f, const ColumnsOf& columnOf)
      : natal(NatalColumns(columnOf, c)), luck(LuckColumns(columnOf, c)), flow(FlowColumns(columnOf, c, f)) {}
};

// A stretch of a composed text, as offsets into it.
struct Range {
  std::size_t from = 0, to = 0;
};

// Where the lines that the 三命法 report repeats lie in the 子平法 report.
struct SharedLines {
  Range head;     // the birth-data, commanding-stem and seasonal lines
  Range luck;     // the luck pillars' stem and branch rows and the blank line
  Range western;  // the flow date, the blank line and the flow columns' title
  Range flow;     // the flow pillars' stem and branch rows and the blank line
  Range dates;    // the luck change dates, to the end
};

// Composes the 子平法 report and says where its shared lines lie.
SharedLines ZiPing(Lines& out, const ChartState& c, const FlowState& f, const SharedColumns& cols) {
  SharedLines at;
  const auto mark = [&out](Range& r, auto compose) {
    r.from = out.size();
    compose();
    r.to = out.size();
  };
  mark(at.head, [&] { InfoHead(out, c); });
  ElementLine(out, c);
  Line(out, "");

  // 時 日 月 年, the year at the right; the day column carries "日".
  std::array<Column, 4> natal;
  std::copy(cols.natal.begin() + 1, cols.natal.end(), natal.begin());
  natal[1].tenGod = TheGlyphs().dayMaster;
  Rows(out, natal, {kTenGod, kStem, kBranch}, true);

  mark(at.luck, [&] { Rows(out, cols.luck, {kStem, kBranch}, true); });
  mark(at.western, [&] {
    WesternDate(out, f);
    Line(out, "運歲月日時");
  });
  Rows(out, cols.flow, {kTenGod});
  mark(at.flow, [&] { Rows(out, cols.flow, {kStem, kBranch}, true); });
  mark(at.dates, [&] { LuckDates(out, c, cols.luck); });
  return at;
}

// A composed 子平法 report and where its shared lines lie.
struct ZiPingText {
  std::string_view text;
  SharedLines at;
};

// Composes the 三命法 report. The lines it shares with the 子平法 report are
// copied from that report's text where there is one.
void SanMing(Lines& out, const ChartState& c, const FlowState& f, const SharedColumns& cols,
             const ZiPingText* ziPing) {
  const auto shared = [&out, ziPing](Range SharedLines::*lines, auto compose) {
    if (!ziPing) return compose();
    const Range r = ziPing->at.*lines;
    out.Append(ziPing->text.substr(r.from, r.to - r.from));
  };
  shared(&SharedLines::head, [&] { InfoHead(out, c); });
  Line(out, c.PalaceText);
  Line(out, "");

  Line(out, "胎時日月年");
  Rows(out, cols.natal, {kStem, kBranch}, true);
  Rows(out, cols.natal, {kSound1, kSound2, kSound3}, true);

  shared(&SharedLines::luck, [&] { Rows(out, cols.luck, {kStem, kBranch}, true); });
  Rows(out, cols.luck, {kSound1, kSound2, kSound3}, true);

  shared(&SharedLines::western, [&] {
    WesternDate(out, f);
    Line(out, "運歲月日時");
  });
  shared(&SharedLines::flow, [&] { Rows(out, cols.flow, {kStem, kBranch}, true); });
  Rows(out, cols.flow, {kSound1, kSound2, kSound3}, true);

  shared(&SharedLines::dates, [&] { LuckDates(out, c, cols.luck); });
}

}  // namespace

void AppendBothReports(std::string& ziPing, std::string& sanMing, const ChartState& c, const FlowState& f,
                       std::string_view lineEnd) {
  const SharedColumns cols(c, f);
  SharedLines at;
  {
    Lines lines(ziPing, lineEnd);
    at = ZiPing(lines, c, f, cols);
  }  // the text is whole once its lines are done
  const ZiPingText composed{ziPing, at};
  Lines lines(sanMing, lineEnd);
  SanMing(lines, c, f, cols, &composed);
}

std::string ChartReport(const ChartState& c, const FlowState& f, School school, std::string_view correctionLine) {
  std::string report = school == School::SanMing ? SanMingReport(c, f) : ZiPingReport(c, f);
  if (!correctionLine.empty()) AppendParts(report, correctionLine, kCrLf);
  return report;
}

std::string ZiPingReport(const ChartState& c, const FlowState& f) {
  std::string out;
  {
    Lines lines(out, kCrLf);
    ZiPing(lines, c, f, SharedColumns(c, f));
  }
  return out;
}

std::string SanMingReport(const ChartState& c, const FlowState& f) {
  std::string out;
  {
    Lines lines(out, kCrLf);
    SanMing(lines, c, f, SharedColumns(c, f), nullptr);
  }
  return out;
}

}  // namespace qelm
