#!/usr/bin/python3
"""Writes tests/sky/planet_golden.csv, the reference positions that the planet
computation is checked against (test_planets reads the file when it runs).

The positions come from PyEphem (Debian's python3-ephem, whose libastro uses
the VSOP87 theory for the planets and a dedicated series for Pluto), an
independent and far more precise source than the program's mean orbital
elements. The build never runs this script; the file it writes is committed.

Regenerate with Debian's own interpreter (the package installs there):

    apt-get install -y --no-install-recommends python3-ephem
    /usr/bin/python3 tools/planets/make_golden.py

Which position is compared
--------------------------
The program computes the geometric geocentric direction (planet minus Earth
at one and the same instant) on the mean equator and equinox of J2000.0, with
no light-time, aberration, nutation or precession. PyEphem's astrometric
a_ra/a_dec are in that frame but include light-time: the planet is taken where
it was when its light left, which for Mercury or Venus near Earth differs from
the geometric direction by up to about half an arcminute. So the table holds
the geometric direction instead, built from PyEphem's parts:

  * body.hlon/hlat/sun_distance: the planet's heliocentric place at the
    instant itself (libastro works them out before the light-time pass),
    on the mean ecliptic and equinox of date;
  * Sun().hlon/hlat/earth_distance: the Earth's heliocentric place, likewise;
  * their difference turned into J2000.0 right ascension and declination by
    PyEphem's own ecliptic-to-equatorial conversion with precession.

As a check of that reading of PyEphem, the same construction with the planet
taken one light-time earlier must reproduce a_ra/a_dec; the script stops if
it misses by more than 2 arcseconds.

Times are universal time, as the program reads its clock; seconds are zero.

The file
--------
Lines starting with "#" are comments (the first ones say where the file came
from). Every other line is one position, comma-separated: planet index (the
program's list order, 0 Mercury to 8 Pluto; Earth, 2, has none), year, month,
day, hour, minute, right ascension in hours (9 decimals), declination in
degrees (8 decimals).
"""

import math
import os
import sys

import ephem

NAMES = ["Mercury", "Venus", "Earth", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto"]
EARTH = 2
STEP_DAYS = 229  # about 80 dates per planet between 2000 and 2050
END = ephem.Date("2051/01/01")
LIGHT_DAYS_PER_AU = 5.775518e-3
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "sky",
                   "planet_golden.csv")


def cartesian(lon, lat, r):
    return (r * math.cos(lat) * math.cos(lon), r * math.cos(lat) * math.sin(lon), r * math.sin(lat))


def heliocentric(index, when):
    body = getattr(ephem, NAMES[index])()
    body.compute(when)
    return cartesian(body.hlon, body.hlat, body.sun_distance), body.earth_distance


def earth_heliocentric(when):
    sun = ephem.Sun()
    sun.compute(when)
    return cartesian(sun.hlon, sun.hlat, sun.earth_distance)


def j2000_direction(planet, earth, when):
    """RA (radians) and Dec of planet - earth, both given on the ecliptic of date."""
    g = [p - e for p, e in zip(planet, earth)]
    lon = math.atan2(g[1], g[0])
    lat = math.atan2(g[2], math.hypot(g[0], g[1]))
    eq = ephem.Equatorial(ephem.Ecliptic(lon, lat, epoch=when), epoch=ephem.J2000)
    return float(eq.ra), float(eq.dec)


def separation_arcsec(ra1, dec1, ra2, dec2):
    c = math.sin(dec1) * math.sin(dec2) + math.cos(dec1) * math.cos(dec2) * math.cos(ra1 - ra2)
    return math.degrees(math.acos(max(-1.0, min(1.0, c)))) * 3600.0


def geometric(index, when):
    planet, distance = heliocentric(index, when)
    earth = earth_heliocentric(when)
    ra, dec = j2000_direction(planet, earth, when)

    # The same construction one light-time earlier must give PyEphem's
    # astrometric position, or this reading of its fields is wrong.
    retarded, _ = heliocentric(index, ephem.Date(when - distance * LIGHT_DAYS_PER_AU))
    ra_a, dec_a = j2000_direction(retarded, earth, when)
    body = getattr(ephem, NAMES[index])()
    body.compute(when, epoch=ephem.J2000)
    miss = separation_arcsec(ra_a, dec_a, float(body.a_ra), float(body.a_dec))
    if miss > 2.0:
        sys.exit("%s at %s: astrometric check misses by %.1f arcsec" % (NAMES[index], when, miss))
    return ra, dec


def rows():
    for index in range(len(NAMES)):
        if index == EARTH:
            continue
        k = 0
        while True:
            # Hours and minutes vary from row to row, dates differ per planet.
            day = ephem.Date("2000/01/01") + 17 * index + STEP_DAYS * k
            y, m, d, _, _, _ = ephem.Date(day).tuple()
            hour = (3 + 7 * k + 5 * index) % 24
            minute = (11 * k + 17 * index) % 60
            when = ephem.Date((y, m, d, hour, minute, 0))
            if when >= END:
                break
            ra, dec = geometric(index, when)
            yield index, y, m, d, hour, minute, math.degrees(ra) / 15.0, math.degrees(dec)
            k += 1


def main():
    lines = [
        "# Reference planet positions for test_planets. Written by",
        "# tools/planets/make_golden.py from PyEphem " + ephem.__version__ + "; do not edit.",
        "# Geometric geocentric positions (no light-time, aberration or nutation) on",
        "# the mean equator and equinox of J2000.0 at the given universal time.",
        "# planet index (0 Mercury .. 8 Pluto, 2 Earth absent), year, month, day, hour,",
        "# minute, right ascension in hours, declination in degrees",
    ]
    count = 0
    for r in rows():
        lines.append("%d,%d,%d,%d,%d,%d,%.9f,%.8f" % r)
        count += 1
    with open(OUT, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote %d rows to %s" % (count, os.path.normpath(OUT)))


if __name__ == "__main__":
    main()
