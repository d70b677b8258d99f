#!/usr/bin/python3
"""Checks the program's apparent solar time against python3-ephem.

    /usr/bin/python3 tools/check_solar_time.py PATH/TO/solar_time_dump

For 1,200 whole minutes spread over 1901-2099 at longitudes all round the
globe, the apparent solar time is taken from ephem as the Sun's local hour
angle plus twelve hours (the local apparent sidereal time less the Sun's
apparent right ascension) and compared with what the program's birth
correction computes for a birth at that minute of universal time (universal
time + longitude / 15 h + its equation of time). Fails when any moment
differs by more than 10 seconds, or when the solar minute the chart is cast
with is not the minute that time lies in; prints the largest difference.
"""

import datetime
import math
import random
import subprocess
import sys

import ephem

LIMIT_SECONDS = 10.0
COUNT = 1200


def moments():
    rng = random.Random(19011999)
    # A day inside the calendar's years at each end: the solar time at any
    # longitude stays in them.
    start = datetime.datetime(1901, 1, 2, tzinfo=datetime.timezone.utc).timestamp()
    end = datetime.datetime(2099, 12, 30, 23, 59, tzinfo=datetime.timezone.utc).timestamp()
    for _ in range(COUNT):
        yield int(rng.uniform(start, end)) // 60 * 60, round(rng.uniform(-180.0, 180.0), 4)


def ephem_solar_seconds_of_day(t, longitude):
    obs = ephem.Observer()
    obs.lon = math.radians(longitude)
    obs.lat = 0.0
    obs.elevation = 0.0
    obs.pressure = 0.0
    obs.date = ephem.Date(datetime.datetime.fromtimestamp(t, datetime.timezone.utc).replace(tzinfo=None))
    sun = ephem.Sun(obs)
    hour_angle = (float(obs.sidereal_time()) - float(sun.g_ra)) % (2 * math.pi)
    return (hour_angle / (2 * math.pi) * 86400.0 + 43200.0) % 86400.0


def main(argv):
    if len(argv) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    cases = list(moments())
    feed = "".join(f"{t} {lon}\n" for t, lon in cases)
    out = subprocess.run([argv[0]], input=feed, capture_output=True, text=True, check=True).stdout.split("\n")
    worst = (0.0, None)
    for (t, lon), line in zip(cases, out):
        fields = line.split()
        if fields[0] == "refused":
            print(f"refused at {t} longitude {lon}: {line}")
            return 1
        exact, minute = float(fields[0]), int(fields[2])
        if minute != math.floor(exact / 60.0) * 60:
            print(f"solar minute {minute} is not the minute of {exact:.3f} at {t} longitude {lon}")
            return 1
        ours = exact % 86400.0
        theirs = ephem_solar_seconds_of_day(t, lon)
        diff = (ours - theirs + 43200.0) % 86400.0 - 43200.0
        if abs(diff) > abs(worst[0]):
            worst = (diff, (t, lon))
    when = datetime.datetime.fromtimestamp(worst[1][0], datetime.timezone.utc) if worst[1] else None
    print(f"{len(cases)} moments; largest difference {worst[0]:+.2f} s at {when} longitude {worst[1] and worst[1][1]}")
    return 0 if abs(worst[0]) <= LIMIT_SECONDS else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
