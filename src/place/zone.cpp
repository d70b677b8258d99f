#include "place/zone.hpp"

#include <date/tz.h>

#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <exception>
#include <vector>

#include "place/posix_rule.hpp"

namespace qelm {

namespace {

using std::chrono::duration_cast;
using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;

constexpr std::string_view kZoneDir = "/usr/share/zoneinfo";

// A zone id as the database spells them: letters, digits and "_+-",
// components between slashes, none of them empty, "." or "..".
bool WellFormed(std::string_view id) {
  if (id.empty() || id.size() > 64) return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = id.find('/', start);
    const std::string_view part = id.substr(start, slash == std::string_view::npos ? slash : slash - start);
    if (part.empty() || part == "." || part == "..") return false;
    for (char c : part)
      if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '+' ||
            c == '-'))
        return false;
    if (slash == std::string_view::npos) return true;
    start = slash + 1;
  }
}

// The zones and links that tzdata.zi names ("Z Asia/Taipei …",
// "L Asia/Taipei ROC"). Without the file, every well-formed id the library
// finds is taken.
const std::set<std::string, std::less<>>& ZoneIds() {
  static const std::set<std::string, std::less<>> ids = [] {
    std::set<std::string, std::less<>> out;
    std::ifstream in(std::string(kZoneDir) + "/tzdata.zi");
    std::string line;
    while (std::getline(in, line)) {
      if (line.size() < 3 || line[1] != ' ' || (line[0] != 'Z' && line[0] != 'L')) continue;
      std::size_t at = 2;
      if (line[0] == 'L') at = line.find(' ', 2) + 1;  // L TARGET NAME
      if (at == 0) continue;
      const std::size_t end = line.find(' ', at);
      out.insert(line.substr(at, end == std::string::npos ? std::string::npos : end - at));
    }
    return out;
  }();
  return ids;
}

// The rule at the end of a version 2+ zone file: the text between its last
// two newlines.
std::optional<PosixRule> FooterRule(std::string_view id) {
  std::ifstream in(std::string(kZoneDir) + "/" + std::string(id), std::ios::binary);
  if (!in) return std::nullopt;
  std::string data;
  char buf[4096];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    data.append(buf, static_cast<std::size_t>(in.gcount()));
    if (data.size() > (1u << 20)) return std::nullopt;  // no zone file is this large
  }
  if (data.size() < 6 || data.compare(0, 4, "TZif") != 0 || data[4] < '2' || data.back() != '\n')
    return std::nullopt;
  const std::size_t open = data.rfind('\n', data.size() - 2);
  if (open == std::string::npos) return std::nullopt;
  return PosixRule::Parse(std::string_view(data).substr(open + 1, data.size() - open - 2));
}

}  // namespace

struct ZoneData {
  std::string id;
  const date::time_zone* tz = nullptr;
  std::optional<PosixRule> footer;
};

struct ZoneAccess {
  static const ZoneData& of(const TimeZone& z) { return *z.data_; }
};

bool IsZoneId(std::string_view id) {
  // "Factory" (offset 0, named "-00") is the database's zone of no place.
  if (!WellFormed(id) || id == "Factory") return false;
  const auto& ids = ZoneIds();
  if (ids.empty()) return id != "localtime" && id != "posixrules";
  return ids.count(id) > 0;
}

std::vector<std::string> ZoneIdList() {
  std::vector<std::string> list;
  for (const std::string& id : ZoneIds())
    if (IsZoneId(id)) list.push_back(id);
  return list;
}

std::optional<TimeZone> TimeZone::Find(std::string_view id) {
  // Zones are resolved once each and kept for the life of the program (the
  // database never changes while it runs); a person's zone is asked for at
  // every chart, so each thread also keeps its last answer.
  thread_local const ZoneData* last = nullptr;
  if (last != nullptr && id == last->id) return TimeZone{last};
  if (!IsZoneId(id)) return std::nullopt;
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<ZoneData>, std::less<>> zones;
  const std::lock_guard lock(mutex);
  auto found = zones.find(id);
  if (found == zones.end()) {
    auto data = std::make_unique<ZoneData>();
    data->id = std::string(id);
    try {
      data->tz = date::locate_zone(id);
      (void)data->tz->get_info(date::sys_seconds{});  // loads the transitions, or throws
    } catch (const std::exception&) {
      return std::nullopt;
    }
    data->footer = FooterRule(id);
    found = zones.emplace(data->id, std::move(data)).first;
  }
  last = found->second.get();
  return TimeZone{last};
}

std::string_view TimeZone::id() const { return data_->id; }

namespace {

// The period of the zone's clock holding the moment: from the file's list
// of changes, and past its last change from the rule at its end.
ClockPeriod PeriodAt(const ZoneData& z, UtcSeconds t) {
  const date::sys_info info = z.tz->get_info(t);
  const ClockPeriod listed{info.begin, info.end, info.offset, info.save != minutes{0}};
  // The library gives the last listed period no end.
  constexpr UtcSeconds kOpen = std::chrono::sys_days{std::chrono::year{9000} / 1 / 1};
  if (!z.footer || info.end < kOpen) return listed;
  ClockPeriod p = z.footer->PeriodAt(t);
  if (p.begin < info.begin) p.begin = info.begin;
  return p;
}

int Minutes(seconds s) { return static_cast<int>(duration_cast<minutes>(s).count()); }

// The files mark a period as daylight saving without saying by how much: the
// saving is the offset less that of the nearest standard period before it (or
// after it, when none lies before). Where the files mark the saving as
// negative (Dublin since 1971: winter marked as saving one hour less than
// summer), the zone's people know that period as their standard time and the
// other as the saving one.
ClockReading ReadingOf(const ZoneData& z, const ClockPeriod& period, UtcSeconds utc) {
  ClockReading r{utc, static_cast<int>(period.offset.count()), 0};
  const auto before = [&z](const ClockPeriod& p) { return PeriodAt(z, p.begin - seconds{1}); };
  const auto after = [&z](const ClockPeriod& p) { return PeriodAt(z, p.end); };
  if (period.saving) {
    ClockPeriod probe = period;
    for (int i = 0; i < 8 && probe.saving; ++i) probe = before(probe);
    if (probe.saving) {
      probe = period;
      for (int i = 0; i < 8 && probe.saving; ++i) probe = after(probe);
    }
    if (!probe.saving) r.dstMinutes = std::max(0, Minutes(period.offset - probe.offset));
    return r;
  }
  for (const ClockPeriod& n : {before(period), after(period)})
    if (n.saving && n.offset < period.offset) {
      r.dstMinutes = Minutes(period.offset - n.offset);
      break;
    }
  return r;
}

}  // namespace

ClockResolution ResolveClock(const TimeZone& zone, ClockTime clock) {
  const ZoneData& z = ZoneAccess::of(zone);
  // The clock time read as if it were universal time, to find the periods
  // near it; each period's offset then gives the moment it names.
  const seconds local = duration_cast<seconds>(clock.time_since_epoch());
  // Every period that could hold the clock time: offsets lie within a day.
  std::vector<ClockPeriod> near;
  for (ClockPeriod p = PeriodAt(z, UtcSeconds{local - hours{26}});; p = PeriodAt(z, p.end)) {
    near.push_back(p);
    if (p.end > UtcSeconds{local + hours{26}} || near.size() > 16) break;
  }
  const auto utcWith = [&](const ClockPeriod& p) { return UtcSeconds{local - p.offset}; };
  std::vector<const ClockPeriod*> holding;
  for (const ClockPeriod& p : near)
    if (p.begin <= utcWith(p) && utcWith(p) < p.end) holding.push_back(&p);

  ClockResolution r;
  const auto changeBetween = [&](const ClockPeriod& a, const ClockPeriod& b) {
    r.changedAt = ClockTime{std::chrono::floor<minutes>(b.begin.time_since_epoch() + a.offset)};
    r.changedTo = ClockTime{std::chrono::floor<minutes>(b.begin.time_since_epoch() + b.offset)};
  };
  if (holding.size() == 1) {
    r.readings[0] = r.readings[1] = ReadingOf(z, *holding[0], utcWith(*holding[0]));
    return r;
  }
  if (holding.size() >= 2) {
    r.state = ClockState::Overlap;
    r.readings[0] = ReadingOf(z, *holding[0], utcWith(*holding[0]));
    r.readings[1] = ReadingOf(z, *holding[1], utcWith(*holding[1]));
    changeBetween(*holding[0], *holding[1]);
    return r;
  }
  for (std::size_t i = 0; i + 1 < near.size(); ++i) {
    const ClockPeriod &a = near[i], &b = near[i + 1];
    if (utcWith(a) >= a.end && utcWith(b) < b.begin) {
      r.state = ClockState::Gap;
      r.readings[0] = ReadingOf(z, a, utcWith(a));
      r.readings[1] = ReadingOf(z, b, utcWith(b));
      changeBetween(a, b);
      return r;
    }
  }
  // Not reached for a consistent zone; read the clock with the period at it.
  r.readings[0] = r.readings[1] = ReadingOf(z, near.front(), utcWith(near.front()));
  return r;
}

ClockReading ReadingAt(const TimeZone& zone, UtcSeconds utc) {
  const ZoneData& z = ZoneAccess::of(zone);
  return ReadingOf(z, PeriodAt(z, utc), utc);
}

ClockTime ClockTimeAt(const TimeZone& zone, UtcSeconds utc) {
  return ClockTime{std::chrono::floor<minutes>(utc.time_since_epoch() + seconds{ReadingAt(zone, utc).utcOffsetSeconds})};
}

}  // namespace qelm
