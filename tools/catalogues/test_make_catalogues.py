#!/usr/bin/env python3
"""Tests of the catalogue generator and of the catalogue files it wrote."""

import os
import shutil
import sqlite3
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(REPO, "tools", "catalogues"))

import make_catalogues as mc  # noqa: E402

# Lines as star.cat has them: theta Persei at J2000 (FK5) and at B1950 (FK4).
THETA_PER_2000 = ("2000 02 44 11.986  49 13 42.48   3.425   -8.95  25.0 0.0770   4.12 "
                  "thPer                746")
THETA_PER_1950 = "1950 02 40 46.276  49 01  6.45   3.42    -8.3   0   0 0.49 thPer"


def star_line(ra, dec, mag, label, epoch="2000"):
    return "%s %s %s 0.0 0.0 0.0 0.0 %s %s 1" % (epoch, ra, dec, mag, label)


class Formatting(unittest.TestCase):
    def test_positions_round_with_carries(self):
        cases = [
            # ra degrees, dec degrees, expected RA h, RA min, Dec deg, Dec min
            (10.684791666666664, 41.26905555555555, "00", "42.7", "+41", "16"),
            ((5 + 59.96 / 60) * 15, 0.0, "06", "00.0", "+00", "00"),
            ((23 + 59.97 / 60) * 15, 10.0, "00", "00.0", "+10", "00"),
            (15.0, -0.5, "01", "00.0", "-00", "30"),
            (15.0, -0.01, "01", "00.0", "-00", "01"),
            (15.0, -0.004, "01", "00.0", "+00", "00"),
            (15.0, 41.9999, "01", "00.0", "+42", "00"),
            (15.0, -5.99999, "01", "00.0", "-06", "00"),
            (15.0, 90.0, "01", "00.0", "+90", "00"),
        ]
        for ra, dec, *expected in cases:
            with self.subTest(ra=ra, dec=dec):
                self.assertEqual(list(mc.format_ra(ra) + mc.format_dec(dec)), expected)

    def test_magnitudes(self):
        for mag, text in [(None, "-"), (4.36, "4.4"), (-1.46, "-1.5"), (-0.04, "0.0")]:
            with self.subTest(mag=mag):
                self.assertEqual(mc.format_magnitude(mag), text)

class Precession(unittest.TestCase):
    def test_known_example(self):
        # theta Persei from J2000 to 2028 Nov 13.19 (proper motion already
        # applied), the worked example of Meeus, Astronomical Algorithms 21.b.
        ra, dec = mc.precess(41.054063, 49.227750, 2451545.0, 2462088.69)
        self.assertAlmostEqual(ra, 41.547214, places=5)
        self.assertAlmostEqual(dec, 49.348483, places=5)

    def test_b1950_entry_lands_on_its_j2000_twin(self):
        old = mc.parse_star_line(THETA_PER_1950)
        new = mc.parse_star_line(THETA_PER_2000)
        ra, dec = mc.j2000_position(old)
        self.assertLess(mc.separation_arcsec(ra, dec, new.ra_deg, new.dec_deg), 2.0)
        self.assertEqual(mc.j2000_position(new), (new.ra_deg, new.dec_deg))


class Stars(unittest.TestCase):
    def test_lines_and_names(self):
        cases = [
            # line, name, constellation, description, dec sign
            (star_line("06 45  8.871", "-16 42 57.99", "-1.46", "alCMa(Sirius)"),
             "Sirius", "CMa", "Star, alpha CMa", -1),
            (star_line("14 50 52.713", "-16 02 30.42", "2.75", "al-2Lib(Zubenelgen)"),
             "Zubenelgenubi", "Lib", "Star, alpha2 Lib", -1),
            (star_line("21 08 46.202", "-88 57 23.38", "5.47", "siOct"),
             "sigma Oct", "Oct", "Star", -1),
            (star_line("05 36 12.809", "-00 12  7.02", "1.70", "epOri(Kaus_Aust.)"),
             "Kaus Australis", "Ori", "Star, epsilon Ori", -1),
        ]
        for line, name, constellation, description, sign in cases:
            with self.subTest(line=line):
                (rec,) = mc.star_records([line], log=lambda *a: None)
                self.assertEqual((rec.name, rec.constellation, rec.description),
                                 (name, constellation, description))
                self.assertEqual(rec.dec_deg > 0, sign > 0)

    def test_repeats_and_faint_stars_are_left_out_and_the_rest_sorted(self):
        lines = [
            THETA_PER_2000,
            star_line("18 36 56.332", "38 47  1.17", "0.03", "alLyr(Vega)"),
            THETA_PER_1950,
            star_line("18 36 56.300", "38 47  1.00", "0", "AA_page_B1"),
            star_line("17 55 23.000", "4 33 18.00", "9.54", "Barnard", epoch="1950"),
            "",
            "------",
        ]
        names = [r.name for r in mc.star_records(lines, log=lambda *a: None)]
        self.assertEqual(names, ["theta Per", "Vega"])

    def test_unreadable_lines_stop_the_run(self):
        for line in ["2000 02 44 11.986 49 13 42.48 3.4 -8.9 25.0 0.07 4.12",
                     star_line("02 61 11.986", "49 13 42.48", "4.1", "thPer"),
                     star_line("02 44 11.986", "49 13 42.48", "4.1", "qqPer(Odd)"),
                     star_line("02 44 11.986", "49 13 42.48", "4.1", "thPer(Odd")]:
            with self.subTest(line=line):
                with self.assertRaises(mc.DataError):
                    mc.star_records([line], log=lambda *a: None)


def make_openngc(path, extra_bright_ngc=0):
    """A small database laid out like kstars-data's OpenNGC.kscat."""
    db = sqlite3.connect(path)
    db.execute("create table cat(name, long_name, catalog_identifier, type INT, ra REAL, "
               "dec REAL, magnitude REAL)")
    db.execute("create table catalogs(name, source)")
    db.execute("insert into catalogs values ('OpenNGC', "
               "'<a href=''https://example.org/releases/tag/v20990101''>x</a>')")
    rows = []
    for n in range(1, 111):
        if n == 31:
            rows.append(("M 31", "Andromeda Galaxy, PGC 2557, UGC 454, NGC 224", "NGC0224", 8,
                         10.684791666666664, 41.26905555555555, 4.36))
        elif n == 24:
            rows.append(("M 24", "Small Sgr Star Cloud, IC 4715", "IC4715", 13, 274.23, -18.51,
                         4.5))
        elif n != 102:
            rows.append(("M %d" % n, "NGC %d" % (8000 + n), "NGC%04d" % (8000 + n), 4,
                         n * 3.0, -10.0, 12.0))
    rows += [
        ("NGC 5866", "PGC 53933, UGC 9723, M 102", "NGC5866", 8, 226.62, 55.76, 10.7),
        ("NGC 1990", "Alnilam", "NGC1990", 0, 84.05, -1.2, 1.51),  # a star
        ("NGC 7000", "North America Nebula", "NGC7000", 5, 314.75, 44.53, 4.0),
        ("NGC 7001", "", "NGC7001", 8, 315.0, 0.0, 10.01),  # too faint
        ("NGC 7002", "", "NGC7002", 255, 315.0, 0.0, 5.0),  # unknown type
        ("NGC 7003", "", "NGC7003", 3, 315.0, -0.5, None),  # no magnitude
    ]
    rows += [("NGC %d" % (1000 + i), "", "NGC%04d" % (1000 + i), 3, i * 0.4, 20.0, 9.0)
             for i in range(extra_bright_ngc)]
    db.executemany("insert into cat values (?, ?, ?, ?, ?, ?, ?)", rows)
    db.commit()
    db.close()


class Generation(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.stars = os.path.join(self.dir, "star.cat")
        with open(self.stars, "w") as f:
            f.write("\n".join([THETA_PER_2000, THETA_PER_1950, "------"]) + "\n")

    def tearDown(self):
        shutil.rmtree(self.dir)

    def run_generator(self, extra_bright_ngc=0):
        db = os.path.join(self.dir, "OpenNGC.kscat")
        if os.path.exists(db):
            os.remove(db)
        make_openngc(db, extra_bright_ngc)
        out = os.path.join(self.dir, "out")
        listed = mc.generate(out, db, self.stars, log=lambda *a: None)
        self.assertEqual([p for p in mc.check_folder(out) if "Mine.gtc" not in p], [])
        return out, listed

    def records(self, out, name):
        with open(os.path.join(out, name + ".gtc"), "rb") as f:
            lines = f.read().decode("ascii").split("\r\n")[:-1]
        return [ln for ln in lines if not ln.startswith(";")]

    def test_catalogues_from_a_small_database(self):
        out, listed = self.run_generator()
        self.assertEqual(listed, [("Messier", 110), ("NGC bright", 2), ("IC bright", 1),
                                  ("Bright stars", 1)])
        with open(os.path.join(out, "catalog.lst"), "rb") as f:
            self.assertEqual(f.read(), b"Messier,110\r\nNGC bright,2\r\nIC bright,1\r\n"
                                       b"Bright stars,1\r\n")
        messier = self.records(out, "Messier")
        self.assertEqual([r.split(",")[0] for r in messier], ["M%d" % n for n in range(1, 111)])
        self.assertEqual(messier[30], "M31,00,42.7,+41,16,-,4.4,Galaxy, Andromeda Galaxy, NGC 224")
        self.assertTrue(messier[101].startswith("M102,15,06.5,+55,46,-,10.7,Galaxy, NGC 5866"))
        self.assertEqual(self.records(out, "NGC bright"), [
            "NGC 224,00,42.7,+41,16,-,4.4,Galaxy, Andromeda Galaxy, M31",
            "NGC 7000,20,59.0,+44,32,-,4.0,Nebula, North America Nebula"])
        self.assertEqual(self.records(out, "IC bright"),
                         ["IC 4715,18,16.9,-18,31,-,4.5,Star group, Small Sgr Star Cloud, M24"])
        self.assertEqual(self.records(out, "Bright stars"),
                         ["theta Per,02,44.2,+49,14,Per,4.1,Star"])
        with open(os.path.join(out, "Messier.gtc")) as f:
            header = f.read()
        self.assertIn(mc.OPENNGC_ATTRIBUTION, header)
        self.assertIn("OpenNGC release v20990101", header)

    def test_large_sets_are_split_and_old_parts_removed(self):
        out, _ = self.run_generator()
        with open(os.path.join(out, "Mine.gtc"), "w") as f:
            f.write("X,00,00.0,+00,00,-,-,Star\r\n")
        out, listed = self.run_generator(extra_bright_ngc=850)
        self.assertFalse(os.path.exists(os.path.join(out, "NGC bright.gtc")))
        self.assertTrue(os.path.exists(os.path.join(out, "Mine.gtc")))
        parts = [(n, c) for n, c in listed if n.startswith("NGC")]
        self.assertEqual([c for _, c in parts], [284, 284, 284])
        self.assertEqual(parts[0][0], "NGC bright 224-1282")
        self.assertEqual(parts[2][0], "NGC bright 1567-7000")

    def test_a_missing_messier_object_stops_the_run(self):
        db = os.path.join(self.dir, "OpenNGC.kscat")
        make_openngc(db)
        con = sqlite3.connect(db)
        con.execute("delete from cat where name = 'M 7'")
        con.commit()
        con.close()
        with self.assertRaises(mc.DataError):
            mc.generate(os.path.join(self.dir, "out"), db, self.stars, log=lambda *a: None)


class Checks(unittest.TestCase):
    GOOD = "M31,00,42.7,+41,16,And,3.4,Galaxy, Andromeda Galaxy"

    def test_bad_records_are_found(self):
        self.assertEqual(mc.check_record("M2,21,33.5,-00,49,-,-,Globular cluster"), [])
        for line in ["M31,00,42.7,+41,16,And,3.4",  # seven fields
                     ",00,42.7,+41,16,And,3.4,Galaxy",  # empty name
                     "M31,24,42.7,+41,16,And,3.4,Galaxy",
                     "M31,00,60.0,+41,16,And,3.4,Galaxy",
                     "M31,00,42.7,41,16,And,3.4,Galaxy",  # sign missing
                     "M31,00,42.7,+41,60,And,3.4,Galaxy",
                     "M31,00,42.7,-00,00,And,3.4,Galaxy",
                     "M31,00,42.7,+90,01,And,3.4,Galaxy",
                     "M31,00,42.7,+41,16,And,bright,Galaxy",
                     "M31,00,42.7,+41,16,And,3.4, "]:
            with self.subTest(line=line):
                self.assertNotEqual(mc.check_record(line), [])

    def test_faults_of_a_folder_are_found(self):
        def folder(listing, body, comment=True):
            d = tempfile.mkdtemp()
            self.addCleanup(shutil.rmtree, d)
            with open(os.path.join(d, "catalog.lst"), "wb") as f:
                f.write(listing)
            text = ("; from somewhere\r\n" if comment else "") + body
            with open(os.path.join(d, "Test.gtc"), "wb") as f:
                f.write(text.encode("ascii"))
            return d

        good = self.GOOD + "\r\n"
        self.assertEqual(mc.check_folder(folder(b"Test,1\r\n", good)), [])
        many = "".join("X%d,00,00.0,+00,00,-,-,Star\r\n" % i for i in range(402))
        for listing, body, comment in [
                (b"Test,2\r\n", good, True),  # count does not match
                (b"Test,1\r\n", self.GOOD + "\n", True),  # LF only in the catalogue
                (b"Test,1\r\n", good, False),  # no attribution
                (b"Other,1\r\n", good, True),  # file missing, Test.gtc not listed
                (b"Test,1\r\nTest,1\r\n", good, True),  # listed twice
                (b"Test,402\r\n", many, True),  # more than the program keeps
                (b"Test,2\r\n", good + good, True)]:  # the same object twice
            with self.subTest(listing=listing, body=body[:40], comment=comment):
                self.assertNotEqual(mc.check_folder(folder(listing, body, comment)), [])

class ShippedFiles(unittest.TestCase):
    """The generated files kept in the repository."""
    FOLDER = os.path.join(REPO, "data", "catalogues")

    def test_they_pass_the_checks(self):
        self.assertEqual(mc.check_folder(self.FOLDER), [])


if __name__ == "__main__":
    unittest.main()
