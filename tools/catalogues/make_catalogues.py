#!/usr/bin/env python3
"""Generates the object catalogues that ship with Corvane Control.

The program offers targets from a list file "catalog.lst" and catalogue files
"<name>.gtc" (see data/catalogues/README.md for the formats). This script
builds them from public data carried by two Debian packages; nothing in the
generated files is typed by hand.

Regenerating (as root, or with sudo before apt-get):

    apt-get install -y --no-install-recommends kstars-data astronomical-almanac
    python3 tools/catalogues/make_catalogues.py            # writes data/catalogues/
    python3 tools/catalogues/make_catalogues.py --check    # only checks what is there

Only the data files of those packages are read, no program of theirs is run:
  /usr/share/kstars/OpenNGC.kscat   OpenNGC (Mattia Verga, CC-BY-SA-4.0) as an
                                    SQLite database: the Messier, NGC and IC objects
  /usr/share/aa/star.cat            the navigational stars (FK5) of the
                                    astronomical almanac by Stephen L. Moshier (GPL-2)

The output folder is an argument (default data/catalogues/ of this repository).
After writing, the files are read back and checked: record layout, field
ranges, counts against catalog.lst, at most MAX_RECORDS records per file.
Python 3 standard library only.
"""

import argparse
import math
import os
import re
import sqlite3
import sys
from dataclasses import dataclass
from typing import List, Optional, Tuple

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEFAULT_OUT = os.path.join(REPO, "data", "catalogues")
DEFAULT_OPENNGC = "/usr/share/kstars/OpenNGC.kscat"
DEFAULT_STARS = "/usr/share/aa/star.cat"

# The program keeps at most this many records of one catalogue file.
MAX_RECORDS = 401
# NGC and IC objects of this magnitude or brighter make the "bright" lists.
NGC_MAG_LIMIT = 10.0
# Stars of this magnitude or brighter (naked eye) make the star list.
STAR_MAG_LIMIT = 6.0
# Two star entries closer than this (arc seconds) are the same star.
SAME_STAR_ARCSEC = 60.0

EOL = "\r\n"

OPENNGC_ATTRIBUTION = ("OpenNGC by Mattia Verga, CC-BY-SA-4.0, "
                       "https://github.com/mattiaverga/OpenNGC")

# Object types as the OpenNGC database of kstars-data codes them.
OBJECT_TYPES = {
    0: "Star",
    3: "Open cluster",
    4: "Globular cluster",
    5: "Nebula",
    6: "Planetary nebula",
    7: "Supernova remnant",
    8: "Galaxy",
    13: "Star group",
    14: "Galaxy group",
    17: "Double star",
    255: "Other",
}
# Types that are deep-sky objects worth a "bright" list. Stars, double stars
# and entries of unknown type (nonexistent objects, duplicates) are left out.
DEEP_SKY_TYPES = {3, 4, 5, 6, 7, 8, 13, 14}

# Catalogue designations inside OpenNGC's name lists; the rest are common names.
DESIGNATION = re.compile(r"^(PGC|UGC A|UGC|NGC|IC|M) \d+\S*$")

# Greek letters as star.cat abbreviates them in Bayer designations.
GREEK = {
    "al": "alpha", "be": "beta", "ga": "gamma", "de": "delta", "ep": "epsilon",
    "ze": "zeta", "et": "eta", "th": "theta", "io": "iota", "ka": "kappa",
    "la": "lambda", "mu": "mu", "nu": "nu", "xi": "xi", "pi": "pi", "rh": "rho",
    "si": "sigma", "ta": "tau", "up": "upsilon", "ph": "phi", "ch": "chi",
    "ps": "psi",
}
# star.cat cuts some proper names short or abbreviates them; these are the
# names in full. Underscores stand for blanks in all others.
STAR_NAMES = {
    "Aldebara": "Aldebaran",
    "Zubenelgen": "Zubenelgenubi",
    "Kaus_Aust.": "Kaus Australis",
    "Al_na'ir": "Alnair",
    "Rigil": "Rigil Kentaurus",
}


class DataError(Exception):
    """The source data is not what this script understands."""


@dataclass
class Record:
    name: str
    ra_deg: float  # J2000
    dec_deg: float  # J2000
    constellation: str
    magnitude: Optional[float]
    description: str


# ---------------------------------------------------------------- formatting

def round_half_up(x: float) -> int:
    return int(math.floor(x + 0.5))


def format_ra(ra_deg: float) -> Tuple[str, str]:
    """Right ascension in degrees as ("hh", "mm.m"), rounded to tenths of a
    minute with the carries into hours and round the clock."""
    tenths = round_half_up((ra_deg % 360.0) / 15.0 * 600.0) % (24 * 600)
    hours, rest = divmod(tenths, 600)
    return "%02d" % hours, "%02d.%d" % divmod(rest, 10)


def format_dec(dec_deg: float) -> Tuple[str, str]:
    """Declination in degrees as ("+dd", "mm"), rounded to whole minutes.
    The sign is always written, also "-00" just south of the equator."""
    if not -90.0 <= dec_deg <= 90.0:
        raise ValueError("declination out of range: %r" % dec_deg)
    minutes = round_half_up(abs(dec_deg) * 60.0)
    sign = "-" if dec_deg < 0 and minutes > 0 else "+"
    degrees, minutes = divmod(minutes, 60)
    return "%s%02d" % (sign, degrees), "%02d" % minutes


def format_magnitude(mag: Optional[float]) -> str:
    if mag is None:
        return "-"
    text = "%.1f" % mag
    return "0.0" if text == "-0.0" else text


def record_line(rec: Record) -> str:
    ra_h, ra_m = format_ra(rec.ra_deg)
    dec_d, dec_m = format_dec(rec.dec_deg)
    fields = [rec.name, ra_h, ra_m, dec_d, dec_m, rec.constellation or "-",
              format_magnitude(rec.magnitude), rec.description]
    for f in fields[:7]:
        if not f or "," in f:
            raise ValueError("unusable field %r in %r" % (f, fields))
    return ",".join(fields)


# ------------------------------------------------------------------- OpenNGC

def common_names(long_name: Optional[str]) -> List[str]:
    """The common names in an OpenNGC name list, without catalogue numbers."""
    if not long_name:
        return []
    return [t.strip() for t in long_name.split(",")
            if t.strip() and not DESIGNATION.match(t.strip())]


def designations(long_name: Optional[str], prefix: str) -> List[str]:
    """The designations of one catalogue ("NGC", "IC", "M") in a name list."""
    if not long_name:
        return []
    pattern = re.compile(r"^%s \d+\S*$" % re.escape(prefix))
    return [t.strip() for t in long_name.split(",") if pattern.match(t.strip())]


def ngc_ic_name(catalog_identifier: str) -> Optional[str]:
    """"NGC0224" -> "NGC 224", "IC4715" -> "IC 4715"; None for others."""
    m = re.match(r"^(NGC|IC)0*(\d+)(.*)$", catalog_identifier or "")
    if not m:
        return None
    return "%s %s%s" % (m.group(1), m.group(2), m.group(3))


@dataclass
class DeepSkyObject:
    messier: Optional[int]  # Messier number, if any
    ngc_ic: Optional[str]  # "NGC 224", "IC 4715", if any
    type_code: int
    ra_deg: float
    dec_deg: float
    magnitude: Optional[float]
    names: List[str]  # common names


def read_openngc(path: str) -> Tuple[List[DeepSkyObject], str]:
    """All objects of the database, and a text naming its release."""
    if not os.path.exists(path):
        raise DataError("%s not found: install kstars-data" % path)
    db = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
    try:
        objects = []
        query = ("select name, long_name, catalog_identifier, type, ra, dec, magnitude "
                 "from cat")
        for name, long_name, ident, type_code, ra, dec, mag in db.execute(query):
            if type_code not in OBJECT_TYPES:
                raise DataError("unknown object type %r of %s" % (type_code, name))
            if ra is None or dec is None:
                raise DataError("%s has no position" % name)
            messier = None
            m = re.match(r"^M (\d+)$", name)
            if m:
                # Messier objects are stored under their M number; their NGC
                # or IC number is the catalogue identifier.
                messier = int(m.group(1))
                ngc_ic = ngc_ic_name(ident)
            else:
                ngc_ic = name
                # Some carry their M number only among the other names.
                extra = designations(long_name, "M")
                if len(extra) > 1:
                    raise DataError("%s has several M numbers: %r" % (name, extra))
                if extra:
                    messier = int(extra[0][2:])
            objects.append(DeepSkyObject(messier, ngc_ic, type_code, float(ra), float(dec),
                                         None if mag is None else float(mag),
                                         common_names(long_name)))
        release = "OpenNGC"
        row = db.execute("select name, source from catalogs where name = 'OpenNGC'").fetchone()
        if row:
            tag = re.search(r"releases/tag/([\w.-]+)", row[1] or "")
            if tag:
                release = "OpenNGC release %s" % tag.group(1)
        return objects, release
    finally:
        db.close()


def describe(obj: DeepSkyObject, cross_reference: Optional[str]) -> str:
    parts = [OBJECT_TYPES[obj.type_code]] + obj.names
    if cross_reference:
        parts.append(cross_reference)
    return ", ".join(parts)


def messier_records(objects: List[DeepSkyObject]) -> List[Record]:
    by_number = {}
    for obj in objects:
        if obj.messier is not None:
            if obj.messier in by_number:
                raise DataError("M%d appears twice" % obj.messier)
            by_number[obj.messier] = obj
    missing = [n for n in range(1, 111) if n not in by_number]
    if missing or len(by_number) != 110:
        raise DataError("Messier objects missing or extra: %r" % missing)
    return [Record("M%d" % n, by_number[n].ra_deg, by_number[n].dec_deg, "-",
                   by_number[n].magnitude, describe(by_number[n], by_number[n].ngc_ic))
            for n in range(1, 111)]


def number_key(name: str) -> Tuple[int, str]:
    m = re.match(r"^\S+ (\d+)(.*)$", name)
    return int(m.group(1)), m.group(2)


def bright_records(objects: List[DeepSkyObject], prefix: str) -> List[Record]:
    """NGC or IC objects (by prefix) of deep-sky types, NGC_MAG_LIMIT or
    brighter, in catalogue order. Messier objects are among them under their
    NGC or IC name, with the M number in the description."""
    chosen = [o for o in objects
              if o.ngc_ic and o.ngc_ic.split(" ")[0] == prefix
              and o.type_code in DEEP_SKY_TYPES
              and o.magnitude is not None and o.magnitude <= NGC_MAG_LIMIT]
    chosen.sort(key=lambda o: number_key(o.ngc_ic))
    return [Record(o.ngc_ic, o.ra_deg, o.dec_deg, "-", o.magnitude,
                   describe(o, "M%d" % o.messier if o.messier else None))
            for o in chosen]


def split_catalogue(name: str, records: List[Record]) -> List[Tuple[str, List[Record]]]:
    """One catalogue, or as few nearly equal parts as hold at most MAX_RECORDS
    each, named after the first and last catalogue numbers they hold."""
    if len(records) <= MAX_RECORDS:
        return [(name, records)]
    parts = -(-len(records) // MAX_RECORDS)
    size = -(-len(records) // parts)
    out = []
    for i in range(0, len(records), size):
        chunk = records[i:i + size]
        first = number_key(chunk[0].name)[0]
        last = number_key(chunk[-1].name)[0]
        out.append(("%s %d-%d" % (name, first, last), chunk))
    return out


# --------------------------------------------------------------------- stars

@dataclass
class CatalogueStar:
    epoch: float
    ra_deg: float
    dec_deg: float
    pm_ra_s_per_century: float
    pm_dec_arcsec_per_century: float
    magnitude: float
    label: str  # as in the file, e.g. "alLyr(Vega)"


def parse_star_line(line: str) -> Optional[CatalogueStar]:
    """One line of star.cat: epoch, RA h m s, Dec d m s, proper motions in
    RA (s/century) and Dec ("/century), radial velocity, parallax, visual
    magnitude, name; anything after the name is not used. Returns None for
    blank lines and the closing row of dashes."""
    fields = line.split()
    if not fields or set(line.strip()) == {"-"}:
        return None
    if len(fields) < 13:
        raise DataError("short star line: %r" % line)
    try:
        epoch = float(fields[0])
        h, m, s = (float(x) for x in fields[1:4])
        d, dm, ds = (abs(float(x)) for x in fields[4:7])
        pm_ra, pm_dec = float(fields[7]), float(fields[8])
        mag = float(fields[11])
    except ValueError:
        raise DataError("unreadable star line: %r" % line)
    if not (0 <= h < 24 and 0 <= m < 60 and 0 <= s < 60 and d <= 90 and dm < 60 and ds < 60):
        raise DataError("position out of range: %r" % line)
    # The sign belongs to the degrees text: "-00 30" is half a degree south.
    sign = -1.0 if fields[4].startswith("-") else 1.0
    return CatalogueStar(epoch, (h + m / 60 + s / 3600) * 15.0,
                         sign * (d + dm / 60 + ds / 3600), pm_ra, pm_dec, mag, fields[12])


def epoch_jd(epoch: float) -> float:
    """Julian date of a catalogue epoch. 1950 is the Besselian B1950.0 of the
    FK4 entries; every other epoch is a Julian year."""
    if epoch == 1950:
        return 2433282.4235
    return 2451545.0 + (epoch - 2000.0) * 365.25


def precess(ra_deg: float, dec_deg: float, jd_from: float, jd_to: float) -> Tuple[float, float]:
    """Rigorous precession of mean equatorial coordinates from the equinox of
    jd_from to that of jd_to with the IAU 1976 angles (Lieske 1977)."""
    big_t = (jd_from - 2451545.0) / 36525.0
    t = (jd_to - jd_from) / 36525.0
    arcsec = math.pi / (180.0 * 3600.0)
    base = 2306.2181 + 1.39656 * big_t - 0.000139 * big_t ** 2
    zeta = (base * t + (0.30188 - 0.000344 * big_t) * t ** 2 + 0.017998 * t ** 3) * arcsec
    z = (base * t + (1.09468 + 0.000066 * big_t) * t ** 2 + 0.018203 * t ** 3) * arcsec
    theta = ((2004.3109 - 0.85330 * big_t - 0.000217 * big_t ** 2) * t
             - (0.42665 + 0.000217 * big_t) * t ** 2 - 0.041833 * t ** 3) * arcsec
    ra, dec = math.radians(ra_deg), math.radians(dec_deg)
    a = math.cos(dec) * math.sin(ra + zeta)
    b = math.cos(theta) * math.cos(dec) * math.cos(ra + zeta) - math.sin(theta) * math.sin(dec)
    c = math.sin(theta) * math.cos(dec) * math.cos(ra + zeta) + math.cos(theta) * math.sin(dec)
    new_ra = math.degrees(math.atan2(a, b) + z) % 360.0
    new_dec = math.degrees(math.atan2(c, math.hypot(a, b)))
    return new_ra, new_dec


def j2000_position(star: CatalogueStar) -> Tuple[float, float]:
    """Position at epoch and equinox J2000: proper motion carried from the
    catalogue epoch to 2000, then precessed. FK4 entries are taken as they
    stand; the difference to FK5 is below a second of arc, far below what
    the catalogue files hold."""
    if star.epoch == 2000:
        return star.ra_deg, star.dec_deg
    jd = epoch_jd(star.epoch)
    centuries = (2451545.0 - jd) / 36525.0
    ra = star.ra_deg + star.pm_ra_s_per_century * centuries * 15.0 / 3600.0
    dec = star.dec_deg + star.pm_dec_arcsec_per_century * centuries / 3600.0
    return precess(ra, dec, jd, 2451545.0)


def star_names(label: str) -> Tuple[str, str, str]:
    """(name, constellation, Bayer designation) from a star.cat label such as
    "alLyr(Vega)", "th-1Eri(Acamar)" or "siOct"."""
    m = re.match(r"^([a-z]{2})(?:-(\d))?([A-Z][A-Za-z]{2})(?:\((.+)\))?$", label)
    if not m:
        if "(" in label:
            raise DataError("unreadable star name %r" % label)
        return STAR_NAMES.get(label, label.replace("_", " ")), "-", ""
    letter, index, constellation, proper = m.groups()
    if letter not in GREEK:
        raise DataError("unknown Greek letter in %r" % label)
    bayer = "%s%s %s" % (GREEK[letter], index or "", constellation)
    if proper:
        name = STAR_NAMES.get(proper, proper.replace("_", " "))
    else:
        name = bayer
    return name, constellation, bayer


def separation_arcsec(ra1: float, dec1: float, ra2: float, dec2: float) -> float:
    r1, d1, r2, d2 = (math.radians(x) for x in (ra1, dec1, ra2, dec2))
    c = (math.sin(d1) * math.sin(d2) + math.cos(d1) * math.cos(d2) * math.cos(r1 - r2))
    return math.degrees(math.acos(max(-1.0, min(1.0, c)))) * 3600.0


def star_records(lines: List[str], log=print) -> List[Record]:
    """The stars of STAR_MAG_LIMIT or brighter, sorted by name. An entry at
    the place of one read before it (the file repeats some stars at other
    epochs, as worked examples) is the same star and is left out."""
    kept = []  # (star, ra, dec)
    for line in lines:
        star = parse_star_line(line)
        if star is None:
            continue
        ra, dec = j2000_position(star)
        twin = next((k for k in kept
                     if separation_arcsec(ra, dec, k[1], k[2]) < SAME_STAR_ARCSEC), None)
        if twin:
            log("  %s (epoch %g) is %s again, %.1f\" apart: left out"
                % (star.label, star.epoch, twin[0].label,
                   separation_arcsec(ra, dec, twin[1], twin[2])))
            continue
        kept.append((star, ra, dec))
    records = []
    for star, ra, dec in kept:
        if star.magnitude > STAR_MAG_LIMIT:
            log("  %s (magnitude %g, epoch %g): fainter than %g, left out"
                % (star.label, star.magnitude, star.epoch, STAR_MAG_LIMIT))
            continue
        name, constellation, bayer = star_names(star.label)
        description = "Star, " + bayer if bayer and bayer != name else "Star"
        records.append(Record(name, ra, dec, constellation, star.magnitude, description))
    records.sort(key=lambda r: r.name.casefold())
    return records


# ------------------------------------------------------------- files, checks

def write_catalogue(folder: str, name: str, header: List[str], records: List[Record]) -> None:
    lines = ["; " + h if h else ";" for h in header] + [record_line(r) for r in records]
    with open(os.path.join(folder, name + ".gtc"), "w", encoding="ascii", newline="") as f:
        f.write(EOL.join(lines) + EOL)


def write_list(folder: str, catalogues: List[Tuple[str, int]]) -> None:
    with open(os.path.join(folder, "catalog.lst"), "w", encoding="ascii", newline="") as f:
        f.write("".join("%s,%d%s" % (name, count, EOL) for name, count in catalogues))


RECORD_FIELDS = [
    ("name", re.compile(r"^[^,]+$")),
    ("RA hours", re.compile(r"^([01]\d|2[0-3])$")),
    ("RA minutes", re.compile(r"^[0-5]\d\.\d$")),
    ("Dec degrees", re.compile(r"^[+-]([0-8]\d|90)$")),
    ("Dec minutes", re.compile(r"^[0-5]\d$")),
    ("constellation", re.compile(r"^([A-Z][A-Za-z]{2}|-)$")),
    ("magnitude", re.compile(r"^(-?\d+\.\d|-)$")),
]


def check_record(line: str) -> List[str]:
    """What is wrong with one record line, as the program splits it: the
    first seven commas end fields 0 to 6, field 7 is the rest."""
    parts = line.split(",", 7)
    if len(parts) != 8:
        return ["%d fields instead of 8" % len(parts)]
    problems = ["%s %r" % (what, value)
                for (what, pattern), value in zip(RECORD_FIELDS, parts)
                if not pattern.match(value)]
    if not parts[7].strip():
        problems.append("no description")
    if parts[3] in ("+90", "-90") and parts[4] != "00":
        problems.append("declination beyond the pole")
    if parts[3] == "-00" and parts[4] == "00":
        problems.append("negative zero declination")
    return problems


def check_folder(folder: str) -> List[str]:
    """Every fault of the catalogue list and the files it names."""
    problems = []
    list_path = os.path.join(folder, "catalog.lst")
    try:
        with open(list_path, "rb") as f:
            listing = f.read()
    except OSError as e:
        return ["catalog.lst: %s" % e]
    if not listing.endswith(b"\r\n") or listing.replace(b"\r\n", b"").count(b"\n") \
            or listing.replace(b"\r\n", b"").count(b"\r"):
        problems.append("catalog.lst: lines must end in CR LF")
    names = set()
    for line in listing.decode("ascii", "replace").split("\r\n")[:-1]:
        name, sep, count = line.rpartition(",")
        if not sep or not name or not count.strip().isdigit():
            problems.append("catalog.lst: bad line %r" % line)
            continue
        if name in names:
            problems.append("catalog.lst: %r listed twice" % name)
        names.add(name)
        if "/" in name or "\\" in name or name != name.strip():
            problems.append("catalog.lst: %r is no safe file name" % name)
            continue
        where = "%s.gtc" % name
        try:
            with open(os.path.join(folder, where), "rb") as f:
                raw = f.read()
        except OSError as e:
            problems.append("%s: %s" % (where, e))
            continue
        try:
            text = raw.decode("ascii")
        except UnicodeDecodeError:
            problems.append("%s: not plain ASCII" % where)
            continue
        if not text.endswith("\r\n") or "\n" in text.replace("\r\n", "") \
                or "\r" in text.replace("\r\n", ""):
            problems.append("%s: lines must end in CR LF" % where)
        lines = text.split("\r\n")[:-1]
        records = [ln for ln in lines if not ln.startswith(";")]
        if not any(ln.startswith(";") for ln in lines):
            problems.append("%s: no comment lines (attribution)" % where)
        if len(records) != int(count):
            problems.append("%s: %d records, catalog.lst says %s" % (where, len(records), count))
        if len(records) > MAX_RECORDS:
            problems.append("%s: %d records, more than %d" % (where, len(records), MAX_RECORDS))
        seen = set()
        for number, rec in enumerate(records, 1):
            for p in check_record(rec):
                problems.append("%s record %d: %s" % (where, number, p))
            key = rec.split(",", 1)[0]
            if key in seen:
                problems.append("%s record %d: %r appears twice" % (where, number, key))
            seen.add(key)
    if not names:
        problems.append("catalog.lst: no catalogue")
    return problems


# ----------------------------------------------------------------------- main

def generate(out: str, openngc: str, stars: str, log=print) -> List[Tuple[str, int]]:
    objects, release = read_openngc(openngc)
    if not os.path.exists(stars):
        raise DataError("%s not found: install astronomical-almanac" % stars)
    with open(stars, encoding="ascii") as f:
        star_lines = f.read().splitlines()

    generated_by = "Generated by tools/catalogues/make_catalogues.py from %s; do not edit."
    fields = "Fields: name, RA h, RA min, Dec deg, Dec min, constellation, magnitude, description."
    ngc_header = [
        generated_by % ("%s (OpenNGC.kscat of kstars-data)" % release),
        "Data: " + OPENNGC_ATTRIBUTION + ".",
        "This file is derived from OpenNGC and shared under CC-BY-SA-4.0 as well.",
        "Positions J2000. " + fields,
    ]
    star_header = [
        generated_by % "star.cat of astronomical-almanac",
        "Data: the navigational stars of the Fifth Fundamental Catalogue (FK5) as",
        "given in star.cat by Stephen L. Moshier, Copyright (c) 2005, distributed",
        "under the GNU General Public License version 2.",
        "Positions J2000. " + fields,
    ]

    catalogues = []  # (name, header, records)
    catalogues.append(("Messier", ["Messier objects M1 to M110."] + ngc_header,
                       messier_records(objects)))
    for prefix in ("NGC", "IC"):
        records = bright_records(objects, prefix)
        for name, part in split_catalogue("%s bright" % prefix, records):
            what = ("%s objects of magnitude %.1f or brighter (clusters, nebulae, galaxies)"
                    % (prefix, NGC_MAG_LIMIT))
            catalogues.append((name, [what + "."] + ngc_header, part))
    log("Stars:")
    records = star_records(star_lines, log)
    catalogues.append(("Bright stars", ["Stars of magnitude %.1f or brighter." % STAR_MAG_LIMIT]
                       + star_header, records))

    os.makedirs(out, exist_ok=True)
    for name, header, records in catalogues:
        write_catalogue(out, name, header, records)
        log("%-24s %4d records" % (name + ".gtc", len(records)))
    listed = [(name, len(records)) for name, _, records in catalogues]
    write_list(out, listed)
    return listed


def main(argv=None) -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("out", nargs="?", default=DEFAULT_OUT,
                        help="output folder (default: data/catalogues of this repository)")
    parser.add_argument("--openngc", default=DEFAULT_OPENNGC, help="OpenNGC.kscat to read")
    parser.add_argument("--stars", default=DEFAULT_STARS, help="star.cat to read")
    parser.add_argument("--check", action="store_true",
                        help="only check the files in the output folder")
    args = parser.parse_args(argv)
    try:
        if not args.check:
            generate(args.out, args.openngc, args.stars)
    except DataError as e:
        print("error: %s" % e, file=sys.stderr)
        return 1
    problems = check_folder(args.out)
    for p in problems:
        print("check: %s" % p, file=sys.stderr)
    if problems:
        return 1
    print("%s: all catalogues checked" % args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
