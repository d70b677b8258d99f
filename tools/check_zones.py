#!/usr/bin/python3
"""Checks the program's zone clocks against Python's zoneinfo, 2037-2099.

    /usr/bin/python3 tools/check_zones.py PATH/TO/zone_dump

The zone files list their changes only to 2037; later years follow the rule
each file ends with, which Python's zoneinfo applies. For every zone and link
of the system's tzdata.zi (every zone a user can give) the offset is compared
on the 1st and the 16th of every month, 2037-2099; at every change found
between two such days (to the second, by bisection) the offsets on both sides
are compared and the clock time in the middle of the change must be a gap
(clocks put forward) or an overlap (put back) with the offsets of both sides.
The saving the program states is never negative. Fails on any difference and
prints the first few.
"""

import datetime
import subprocess
import sys
import zoneinfo

ZONE_DIR = "/usr/share/zoneinfo"
FIRST_YEAR, LAST_YEAR = 2037, 2099


def zone_ids():
    ids = []
    with open(f"{ZONE_DIR}/tzdata.zi", encoding="utf-8") as f:
        for line in f:
            fields = line.split()
            if fields and fields[0] == "Z":
                ids.append(fields[1])
            elif fields and fields[0] == "L":
                ids.append(fields[2])
    # "Factory" (offset 0, named "-00") stands for no zone at all: not a place's.
    return sorted(set(ids) - {"Factory"})


def offset(zone, t):
    return int(datetime.datetime.fromtimestamp(t, zone).utcoffset().total_seconds())


def probes():
    for year in range(FIRST_YEAR, LAST_YEAR + 1):
        for month in range(1, 13):
            for day in (1, 16):
                yield int(datetime.datetime(year, month, day, 12, tzinfo=datetime.timezone.utc).timestamp())


def main(argv):
    if len(argv) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    queries, expected = [], []
    changes = 0
    for zid in zone_ids():
        zone = zoneinfo.ZoneInfo(zid)
        times = list(probes())
        previous = None
        for t in times:
            now = offset(zone, t)
            if previous is not None and now != previous[1]:
                lo, hi = previous[0], t  # offset(lo) is the old one, offset(hi) the new
                while hi - lo > 1:
                    mid = (lo + hi) // 2
                    if offset(zone, mid) == previous[1]:
                        lo = mid
                    else:
                        hi = mid
                old, new = previous[1], offset(zone, hi)
                queries += [f"{zid} {hi - 1}", f"{zid} {hi}"]
                expected += [("offset", old), ("offset", new)]
                middle = hi + min(old, new) + abs(new - old) // 2
                local = datetime.datetime.fromtimestamp(middle // 60 * 60, datetime.timezone.utc)
                queries.append(f"{zid} @{local.year} {local.month} {local.day} {local.hour} {local.minute}")
                expected.append(("gap" if new > old else "overlap", old, new))
                changes += 1
            queries.append(f"{zid} {t}")
            expected.append(("offset", now))
            previous = (t, now)
    out = subprocess.run([argv[0]], input="\n".join(queries) + "\n", capture_output=True, text=True,
                         check=True).stdout.splitlines()
    faults = []
    for query, want, got in zip(queries, expected, out):
        fields = got.split()
        if want[0] == "offset":
            ok = fields[0] != "none" and int(fields[0]) == want[1] and int(fields[1]) >= 0
        else:
            ok = fields[0] == want[0] and int(fields[1]) == want[1] and int(fields[2]) == want[2]
        if not ok:
            faults.append(f"{query}: zoneinfo {want}, program {got}")
    if len(out) != len(queries):
        faults.append(f"{len(queries)} queries, {len(out)} answers")
    print(f"{len(zone_ids())} zones, {len(queries)} probes, {changes} clock changes {FIRST_YEAR}-{LAST_YEAR}; "
          f"{len(faults)} differences")
    for f in faults[:20]:
        print(f)
    return 0 if not faults else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
