#!/usr/bin/env python3
"""Tests of the data generators and of the committed data they made.

Run from anywhere: python3 tools/test_tools.py   (standard library only)
"""

import csv
import os
import sys
import tempfile
import unittest

TOOLS = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(TOOLS)
sys.path.insert(0, TOOLS)

import check_data_src  # noqa: E402
import make_demo_data as demo  # noqa: E402
import make_reference_tables as ref  # noqa: E402
import make_taxa_lists as taxa  # noqa: E402


def ReadCsv(name):
    with open(os.path.join(REPO, "data-src", name), encoding="utf-8", newline="") as f:
        return list(csv.DictReader(f))


def ProgramClass(table, kind, value):
    """The program's class lookup: a record's bound is the smallest value of its class, and a
    share above 0 (a taxon with records) never gets class 0."""
    bound = 1 if kind == "km" else 3
    cls = table[0][0]
    for i in range(len(table) - 1):
        if cls == 9 or table[i + 1][bound] > value:
            break
        cls = table[i + 1][0]
    if value > 0 and cls == 0:
        cls = next(row[0] for row in table if row[0] != 0)
    return cls


def AtlasClass(count):
    return max(c for c, first in enumerate(ref.CLASS_FIRST_COUNT) if count >= first)


class FrequencyClassTest(unittest.TestCase):
    def setUp(self):
        self.table = [(int(r["KFK"]), int(r["KMHOKKEN"]), int(r["UFK"]), int(r["UURHOKKEN"]))
                      for r in ReadCsv("Frequentieklassen.csv")]
        self.table = [(kfk, km, ufk, hour) for kfk, km, ufk, hour in self.table]

    def test_classes_zero_to_nine_with_rising_bounds(self):
        self.assertEqual([row[0] for row in self.table], list(range(10)))
        self.assertEqual([row[2] for row in self.table], list(range(10)))
        for column in (1, 3):
            bounds = [row[column] for row in self.table]
            self.assertEqual(bounds, sorted(set(bounds)))

    def test_hour_squares_of_the_atlas_scale_fall_in_their_class(self):
        # Only the three boundaries between two whole per mille (told in the notice) miss.
        misses = []
        for u in range(0, ref.LAND_HOUR_SQUARES + 1):
            got = ProgramClass(self.table, "hour", 1000 * u / ref.LAND_HOUR_SQUARES)
            if got != AtlasClass(u):
                misses.append(u)
        self.assertEqual(misses, [13, 801])

    def test_km_squares_take_the_same_share_rounded_up(self):
        for total in (1670, 5000, 36700):
            for k in range(0, total + 1, max(1, total // 2000)):
                p = round(1000 * k / total + 0.5)  # halves to the even neighbour
                got = ProgramClass(self.table, "km", p)
                share = k / total
                expected = max(c for c, first in enumerate(ref.CLASS_FIRST_COUNT)
                               if share >= first / ref.LAND_HOUR_SQUARES)
                with self.subTest(total=total, k=k):
                    # Exact to one per mille: never a class too low, at most one too high
                    # within a per mille below the boundary.
                    self.assertIn(got - expected, (0, 1))
                    if got != expected:
                        first = ref.CLASS_FIRST_COUNT[got] / ref.LAND_HOUR_SQUARES
                        self.assertGreater(1000 * share, 1000 * first - 1)
            self.assertEqual(ProgramClass(self.table, "km", round(1000 / total + 0.5)), 1)
            self.assertEqual(ProgramClass(self.table, "km", round(0.5)), 0)


class TaxaListTest(unittest.TestCase):
    ROWS = [
        # taxonname, author, level, parent, refername, status
        ("Cosmarium ornatum [1]", "sensu A 1900", "Species", "", "", "10"),
        ("Cosmarium ornatum [2]", "J. Ralfs 1848", "Species", "", "", "10"),
        ("Cosmarium ornatum [3]", "sensu B 1950", "Species", "", "Cosmarium oldus", "20"),
        ("Cosmarium oldus", "X 1800", "Species", "", "Cosmarium newer [1]", "20"),
        ("Cosmarium newer [1]", "Y 1900", "Species", "", "", "10"),
        ("Cosmarium dubium", "Z 1850", "Species", "", "", "30"),
        ("Closterium  Ehrenbergii", "Ř 1838", "Species", "", "", "10"),
    ]

    def Records(self):
        rows = [dict(zip(["taxonname", "author", "taxonlevel", "parentname", "refername",
                          "status"], r)) for r in self.ROWS]
        records, _ = taxa.BuildRecords(rows)
        return {r["TAXON_NAME"]: r for r in records}

    def test_one_record_per_bare_name(self):
        records = self.Records()
        self.assertEqual(sorted(records), ["Closterium Ehrenbergii", "Cosmarium dubium",
                                           "Cosmarium newer", "Cosmarium oldus",
                                           "Cosmarium ornatum"])
        # A preferred entry with a real author beats a "sensu" concept and a synonym.
        self.assertEqual(records["Cosmarium ornatum"]["AUTHOR_NAM"], "J. Ralfs 1848")
        self.assertEqual(records["Cosmarium ornatum"]["CUR_NAME"], "Cosmarium ornatum")

    def test_current_name_of_synonyms_and_names_without_one(self):
        records = self.Records()
        self.assertEqual(records["Cosmarium oldus"]["CUR_NAME"], "Cosmarium newer")
        self.assertEqual(records["Cosmarium dubium"]["CUR_NAME"], "Cosmarium dubium")

    def test_text_is_written_in_windows_1252(self):
        self.assertEqual(self.Records()["Closterium Ehrenbergii"]["AUTHOR_NAM"], "R 1838")
        self.assertEqual(taxa.ToWindows1252("Růžička ł é"), "Ružicka l é")
        with self.assertRaises(SystemExit):
            taxa.ToWindows1252("名")

    def test_shipped_lists(self):
        nl = ReadCsv("TaxaListAnnotatedNL.csv")
        self.assertEqual(nl, ReadCsv("TaxaListAnnotatedEU.csv"))
        self.assertEqual(list(nl[0].keys()), taxa.FIELDS)
        names = [r["TAXON_NAME"] for r in nl]
        self.assertEqual(len(names), len(set(names)))
        for r in nl:
            self.assertNotRegex(r["TAXON_NAME"], r"\[\d+\]|^ | $|  ")
            self.assertTrue(r["CUR_NAME"])
            for field in taxa.FIELDS[3:]:
                self.assertEqual(r[field], "", "no ecological values may be invented")
        with open(os.path.join(REPO, "data", "Lib", "AdditionalTaxalistNL.csv"), "rb") as f:
            lines = f.read().decode("utf-8").split("\r\n")
        self.assertEqual(lines[-1], "")
        self.assertIn("Geen sieralgen", lines)
        self.assertIn("No Desmids", lines)


class DemoDataTest(unittest.TestCase):
    # The square codes are not in the sources: the build computes them with the program's own
    # rules, and tests/core/shippeddata_test.cpp checks them (and that every event lies on a
    # km-square of KmHokkenNL) on the tables it writes.
    def test_samples_repeat_their_location(self):
        locations = {r["ID"]: r for r in ReadCsv("demo-locations.csv")}
        samples = ReadCsv("demo-samples.csv")
        biotopes = {r["CODE"] for r in ReadCsv("Biotoopcodes.csv")}
        self.assertEqual(sorted(int(i) for i in locations), list(range(len(locations))))
        self.assertTrue(250 <= len(locations) <= 350)
        self.assertNotIn("KXY", samples[0])
        per_event = {}
        for s in samples:
            loc = locations[s["ID"]]
            self.assertEqual(s["DATUM"], "%s-%s-%s" % (loc["JAAR"], loc["MAAND"], loc["DAG"]))
            per_event.setdefault(s["ID"], []).append(s["DESMID"])
        self.assertEqual(set(per_event), set(locations))
        for event, names in per_event.items():
            if names == [demo.NO_DESMIDS]:
                continue
            genus_only = [n for n in names if n.endswith(" spec.")]
            self.assertTrue(15 <= len(names) - len(genus_only) <= 40, event)
        for loc in locations.values():
            self.assertIn(loc["WTYPE"], biotopes)
            self.assertTrue(1975 <= int(loc["JAAR"]) <= 2024)
            self.assertTrue(3.5 <= float(loc["PH"].replace(",", ".")) <= 8.0)
            self.assertTrue(20 <= int(loc["GELEIDING"]) <= 800)

    def test_settings_files(self):
        with open(os.path.join(REPO, "data", "Data", "Demo.ini"), "rb") as f:
            text = f.read().decode("utf-8")
        self.assertEqual(text, "[Coordinates]\r\nSystem=km-based\r\n[Distribution Map]\r\n"
                               "MapName=Nederland_0_625_280_300_.png\r\n[Squares]\r\n"
                               "Coordinates=KmHokkenNL\r\n")
        self.assertTrue(os.path.exists(os.path.join(REPO, "data", "Maps",
                                                    "Nederland_0_625_280_300_.png")))
        with open(os.path.join(REPO, "data", "Data", "VLX.ini"), "rb") as f:
            lines = f.read().decode("utf-8").split("\r\n")
        self.assertEqual(lines[:2], ["[Database]", "DefaultDatabase=Demo"])
        self.assertNotIn("Photo Folder", "".join(lines))


class BaseMapTest(unittest.TestCase):
    def test_calibration_and_known_places(self):
        image = demo.MapImage(os.path.join(REPO, "data", "Maps",
                                           "NederlandZonderRaster_0_625_280_300_.png"))
        self.assertEqual((image.width, image.height), (2800, 3250))
        for name, (x, y) in {"Amersfoort": (155, 463), "Groningen": (233, 582),
                             "Maastricht": (176.5, 317.5), "Zwolle": (203, 502)}.items():
            with self.subTest(place=name):
                self.assertTrue(image.IsDutchLand(x, y))
        for name, (x, y) in {"North Sea": (40, 560), "IJsselmeer": (150, 545),
                             "Markermeer": (140, 505), "Germany": (260, 420),
                             "Belgium": (120, 340)}.items():
            with self.subTest(place=name):
                self.assertFalse(image.IsDutchLand(x, y))


class SchemaTest(unittest.TestCase):
    def test_every_source_fits_its_table(self):
        src = os.path.join(REPO, "data-src")
        tables = check_data_src.ReadSchemas(os.path.join(src, "schemas.txt"))
        self.assertEqual({t["name"] for t in tables},
                         {"TaxaListAnnotatedNL", "TaxaListAnnotatedEU", "Biotoopcodes",
                          "Frequentieklassen", "KmHokkenNL", "Demo1", "Demo2"})
        for table in tables:
            with self.subTest(table=table["name"]):
                self.assertEqual(check_data_src.CheckTable(src, table), [])

    def test_computed_square_codes_have_no_column(self):
        schema = ("table S 7 s.csv Data/S.dbf\nfield ID I 4\nfield KXY C 7\nfield UXY C 7\n"
                  "field DESMID C 80\nsquares %s UXY L km-based\n")
        cases = [
            # square-code fields, CSV text, faults expected
            ("KXY", "ID,DESMID\n1,Closterium\n", False),
            ("KXY", "ID,KXY,UXY,DESMID\n1,162-458,160-455,Closterium\n", True),
            ("KYX", "ID,KXY,DESMID\n1,162-458,Closterium\n", True),
        ]
        for computed, text, faulty in cases:
            with self.subTest(computed=computed, text=text), \
                    tempfile.TemporaryDirectory() as folder:
                with open(os.path.join(folder, "schemas.txt"), "w", encoding="utf-8") as f:
                    f.write(schema % computed)
                with open(os.path.join(folder, "s.csv"), "w", encoding="utf-8") as f:
                    f.write(text)
                table, = check_data_src.ReadSchemas(os.path.join(folder, "schemas.txt"))
                self.assertEqual(bool(check_data_src.CheckTable(folder, table)), faulty)

    def test_field_names_map_to_location_fields(self):
        with open(os.path.join(REPO, "data", "Lib", "FieldNames.csv"), "rb") as f:
            lines = f.read().decode("utf-8").split("\r\n")
        self.assertEqual(lines[-1], "")
        fields = {line.split(",")[1] for line in lines[:-1]}
        self.assertLessEqual(fields, ref.LOCATION_FIELDS)
        users = {line.split(",")[0].lower() for line in lines[:-1]}
        for name in ("ph", "egv", "ec", "locatie", "location", "jaar", "year", "maand", "dag",
                     "analist", "eigenaar", "owner", "biotoop", "watertype", "zuurgraad",
                     "acidity", "herbarium", "monstersoort", "locatiecode",
                     "watertemperatuur", "opmerking"):
            self.assertIn(name, users)


if __name__ == "__main__":
    unittest.main()
