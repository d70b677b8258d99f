#!/usr/bin/python3
"""Generates src/calendar/tables_data.inc, the two built-in calendar tables.

Run with Debian's /usr/bin/python3 (it needs python3-ephem):

    /usr/bin/python3 tools/gen_tables.py [--report] [OUTPUT]

Without OUTPUT the fragment goes to src/calendar/tables_data.inc of this
repository; --report lists on stderr how the fixed rows below differ from the
computation. The output depends on nothing but this script and the ephem
library (written with python3-ephem 4.1.4, whose theories of the Sun and the
Moon and whose ΔT it uses as they are), so every run writes the same bytes.

Solar terms (節氣). A term falls when the Sun's apparent geocentric ecliptic
longitude, referred to the true equinox of date, reaches a multiple of 15°:
小寒 285°, 大寒 300°, 立春 315°, … 冬至 270°. The moment is written in civil
time of UTC+8 and rounded to the nearest minute (a term at hh:mm:30 or later
goes to the next minute). Rounding keeps every text within half a minute of
the computed moment, and it reproduces 小寒 1900 = 1900/01/06 02:04 (computed
02:03:58, which truncation would turn into 02:03) and 立春 2000 =
2000/02/04 20:40.

Lunar years (農曆). 朔日為月首: a month begins on the UTC+8 calendar day of the
new moon. 冬至在十一月: the month whose days hold the day of the winter
solstice is month 11. 無中氣置閏: when thirteen months lie between two month-11
starts, the first of them whose days hold no principal term (中氣) is the leap
month and repeats the number of the month before it. Where the published
calendar differs from this computation the published row is kept (see
FIXED_LUNAR_ROWS).
"""

import datetime
import math
import os
import sys

import ephem

FIRST_YEAR = 1900
LAST_YEAR = 2100
UTC8 = 8.0 / 24.0
# ephem dates count days from 1899-12-31 12:00 UT.
EPHEM_EPOCH = datetime.datetime(1899, 12, 31, 12, 0)

TERM_NAMES = [
    "小寒", "大寒", "立春", "雨水", "驚蟄", "春分", "清明", "穀雨",
    "立夏", "小滿", "芒種", "夏至", "小暑", "大暑", "立秋", "處暑",
    "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至",
]

# The moments the program has always shown for these terms. Each lies within
# a quarter of an hour of the computed moment; charts cast with the program
# over the years depend on them, so they stay as they are.
FIXED_TERM_TEXTS = {
    1: "1900/01/06 02:13",
    2: "1900/01/20 19:43",
    3: "1900/02/04 14:02",
    2019: "1984/02/04 23:21",
    2403: "2000/02/04 20:35",
    4824: "2100/12/22 04:02",
}

# Rows in which the published calendar, not the computation, holds.
FIXED_LUNAR_ROWS = {
    # Before 1929 the calendar was reckoned in the local time of Beijing
    # (UTC+7:45:40). In these years a few new moons fall between midnight of
    # UTC+8 and midnight of Beijing time, so the published calendar dates them
    # a day apart from the UTC+8 computation; computed in Beijing time the
    # rules above give exactly these rows.
    1914: "110100100101150126",
    1915: "101101010100000214",
    1916: "110101101010000203",
    1920: "010010010111000220",
    # By the rules above 2033 has a leap month 11 (the month after month 11,
    # from 22 December, is the first without a principal term). The program
    # has always had leap month 7 here, with months 9 to 11 beginning a day
    # before their new moons; the year's length and its New Years agree with
    # the computation.
    2033: "010010101111070131",
    # The ninth new moon of 2057 falls about ten seconds before midnight of
    # UTC+8 (2057-09-28 23:59:50), closer than the uncertainty of ΔT that far
    # ahead; the row is fixed so that month 9 keeps beginning on 28 September
    # whatever ephemeris the generator is run with.
    2057: "011010101010000204",
}


def sun_longitude(d):
    """Apparent geocentric ecliptic longitude of date of the Sun, degrees."""
    sun = ephem.Sun(d)
    ecl = ephem.Ecliptic(ephem.Equatorial(sun.g_ra, sun.g_dec, epoch=d), epoch=d)
    return math.degrees(ecl.lon)


def term_moment(year, k):
    """ephem date (UT) of term k (1 = 小寒) of Gregorian year `year`."""
    target = (285.0 + 15.0 * (k - 1)) % 360.0
    # Terms come roughly every 15.2 days from 小寒 on 6 January.
    d = float(ephem.Date(datetime.datetime(year, 1, 6))) + (k - 1) * 365.2422 / 24.0
    for _ in range(50):
        diff = (target - sun_longitude(d) + 180.0) % 360.0 - 180.0
        step = diff * 365.2422 / 360.0
        d += step
        if abs(step) < 1e-9:
            break
    else:
        raise RuntimeError(f"term {k} of {year} did not converge")
    return d


def local_time(d):
    """The UTC+8 civil time of an ephem date."""
    return EPHEM_EPOCH + datetime.timedelta(days=d + UTC8)


def local_day(d):
    """The UTC+8 calendar day of an ephem date."""
    return local_time(d).date()


def local_minute_text(d):
    """The UTC+8 moment of an ephem date, rounded to the minute."""
    minutes = math.floor((d + UTC8) * 1440.0 + 0.5)
    t = EPHEM_EPOCH + datetime.timedelta(minutes=minutes)
    return t.strftime("%Y/%m/%d %H:%M")


def solar_terms(first, last):
    """{(year, k): ephem date} for every term of the years first..last."""
    return {(y, k): term_moment(y, k) for y in range(first, last + 1) for k in range(1, 25)}


def new_moon_days(first, last):
    """UTC+8 days of every new moon from November of `first` to March of `last`."""
    days = []
    d = ephem.Date(datetime.datetime(first, 11, 1))
    end = ephem.Date(datetime.datetime(last, 3, 1))
    while d < end:
        d = ephem.next_new_moon(d)
        days.append(local_day(d))
        d = ephem.Date(d + 1)
    return days


def lunar_months(terms, moons, first, last):
    """[(start day, number, leap)] for the months from month 11 of `first`
    up to month 11 of `last`."""
    principal = {local_day(terms[(y, k)]) for (y, k) in terms if k % 2 == 0}

    def month11(year):
        solstice = local_day(terms[(year, 24)])
        return max(i for i, day in enumerate(moons) if day <= solstice)

    def has_principal(i):
        return any(moons[i] <= day < moons[i + 1] for day in principal)

    months = []
    for year in range(first + 1, last + 1):
        a, b = month11(year - 1), month11(year)
        leap = None
        if b - a == 13:
            leap = next(i for i in range(a + 1, b) if not has_principal(i))
        elif b - a != 12:
            raise RuntimeError(f"{b - a} months before the solstice of {year}")
        number = 11
        months.append((moons[a], 11, False))
        for i in range(a + 1, b):
            if i == leap:
                months.append((moons[i], number, True))
            else:
                number = number % 12 + 1
                months.append((moons[i], number, False))
    months.append((moons[month11(last)], 11, False))
    return months


def lunar_rows(months):
    """{year: descriptor} for each lunar year that begins and ends in `months`."""
    rows = {}
    starts = [i for i, (_, number, leap) in enumerate(months) if number == 1 and not leap]
    for a, b in zip(starts, starts[1:]):
        flags = ["0"] * 12
        leap_flag, leap_number = "0", 0
        for i in range(a, b):
            start, number, leap = months[i]
            length = (months[i + 1][0] - start).days
            if length not in (29, 30):
                raise RuntimeError(f"month of {length} days from {start}")
            flag = "1" if length == 30 else "0"
            if leap:
                leap_flag, leap_number = flag, number
            else:
                flags[number - 1] = flag
        new_year = months[a][0]
        rows[new_year.year] = "".join(flags) + leap_flag + f"{leap_number:X}" + new_year.strftime("%m%d")
    return rows


def new_year_of(row, year):
    return datetime.date(year, int(row[14:16]), int(row[16:18]))


def year_length(row):
    days = sum(29 + int(c) for c in row[:12])
    return days + (29 + int(row[12]) if row[13] != "0" else 0)


def check(lunar, term_texts):
    """The invariants every caller of the tables relies on."""
    for year in range(FIRST_YEAR, LAST_YEAR):
        span = (new_year_of(lunar[year + 1], year + 1) - new_year_of(lunar[year], year)).days
        if year_length(lunar[year]) != span:
            raise RuntimeError(f"months of {year} add up to {year_length(lunar[year])}, not {span}")
    if term_texts != sorted(term_texts):
        raise RuntimeError("term moments do not increase")
    for n, text in enumerate(term_texts, 1):
        year, k = FIRST_YEAR + (n - 1) // 24, (n - 1) % 24 + 1
        if int(text[:4]) != year or int(text[5:7]) != (k + 1) // 2:
            raise RuntimeError(f"term {n} at {text}")


def c_fragment(lunar, term_texts):
    out = [
        "// Generated by tools/gen_tables.py; do not edit.",
        "",
        "// LunarYearTable: entry Y - 1900 describes the lunar year whose New Year",
        "// falls in Gregorian year Y.",
        f"constexpr std::string_view kLunarYearTable[{len(lunar)}] = {{",
    ]
    out += [f'    "{lunar[y]}",  // {y}' for y in sorted(lunar)]
    out += [
        "};",
        "",
        "// SolarTermTable: entry n - 1 is term n = (Y - 1900) * 24 + k, k = 1 for",
        "// 小寒, in civil time of UTC+8.",
        f"constexpr std::string_view kSolarTermTable[{len(term_texts)}] = {{",
    ]
    for i in range(0, len(term_texts), 24):
        out.append(f"    // {term_texts[i][:4]}")
        for j in range(i, i + 24, 6):
            out.append("    " + " ".join(f'"{t}",' for t in term_texts[j:j + 6]))
    out.append("};")
    return "\n".join(out) + "\n"


def main(argv):
    report = "--report" in argv
    paths = [a for a in argv if a != "--report"]
    target = paths[0] if paths else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "src", "calendar", "tables_data.inc")

    # Row 1900 begins after month 11 of 1899, and the last month of row 2100
    # ends at the New Year of 2101, so the computation runs from the winter
    # solstice of 1899 to that of 2101.
    terms = solar_terms(FIRST_YEAR - 1, LAST_YEAR + 1)
    moons = new_moon_days(FIRST_YEAR - 2, LAST_YEAR + 2)
    computed = lunar_rows(lunar_months(terms, moons, FIRST_YEAR - 1, LAST_YEAR + 1))

    lunar = {y: FIXED_LUNAR_ROWS.get(y, computed[y]) for y in range(FIRST_YEAR, LAST_YEAR + 1)}
    term_texts = []
    for y in range(FIRST_YEAR, LAST_YEAR + 1):
        for k in range(1, 25):
            n = (y - FIRST_YEAR) * 24 + k
            term_texts.append(FIXED_TERM_TEXTS.get(n, local_minute_text(terms[(y, k)])))
    check(lunar, term_texts)

    for n, text in sorted(FIXED_TERM_TEXTS.items()):
        y, k = FIRST_YEAR + (n - 1) // 24, (n - 1) % 24 + 1
        exact = local_time(terms[(y, k)])
        minutes = (datetime.datetime.strptime(text, "%Y/%m/%d %H:%M") - exact).total_seconds() / 60
        if abs(minutes) > 15:
            raise RuntimeError(f"fixed term {n} lies {minutes:+.1f} minutes from {exact}")
        if report:
            print(f"term {n} {TERM_NAMES[k - 1]} {y}: fixed {text}, computed "
                  f"{exact:%Y/%m/%d %H:%M:%S} ({minutes:+.1f} min)", file=sys.stderr)
    if report:
        for y, row in sorted(FIXED_LUNAR_ROWS.items()):
            print(f"lunar {y}: fixed {row}, computed {computed[y]}", file=sys.stderr)

    with open(target, "w", encoding="utf-8", newline="\n") as f:
        f.write(c_fragment(lunar, term_texts))


if __name__ == "__main__":
    main(sys.argv[1:])
