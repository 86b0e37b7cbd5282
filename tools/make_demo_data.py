#!/usr/bin/env python3
"""Generates the demonstration database "Demo": synthetic sampling events to try every window.

Reads  data-src/TaxaListAnnotatedNL.csv  (names to draw from)
       data-src/KmHokkenNL.csv           (the km-squares with Dutch land or inland water)
       data-src/Biotoopcodes.csv         (the biotope codes used must exist there)
       data/Lib/AdditionalTaxalistNL.csv (the "genus spec." names)
       data/Maps/Nederland_0_625_280_300_.png (sites are placed on Dutch land only)
Writes data-src/demo-locations.csv       the locations table Demo1, fields in table order
       data-src/demo-samples.csv         the samples table Demo2, fields in table order but
                                         for the square codes KXY and UXY
       data/Data/Demo.ini                the database's settings file
       data/Data/VLX.ini                 program settings naming Demo as the default database

Everything is invented: the sites, names of places and people, measurements and the taxa
found. The names of the taxa are real (drawn at random from the taxa list), their
combinations are not. A fixed seed makes every run write the same files; only the Python
standard library is used.

The coordinates are RD in km (decimal point or comma) or in metres. The square codes KXY and
UXY of the samples are not written here: the build computes them from the coordinates with
the program's own rules (tools/makedata, the "squares" line of data-src/schemas.txt), and
refuses coordinates whose codes would depend on the interface language.
"""

import argparse
import csv
import math
import os
import random
import struct
import zlib

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

SEED = 20240611
SITE_COUNT = 80
NO_DESMIDS = "Geen sieralgen"
MAP_NAME = "Nederland_0_625_280_300_.png"
SQUARE_TABLE = "KmHokkenNL"

LOCATION_FIELDS = ["ID", "LOCATIE", "DAG", "MAAND", "JAAR", "ZUURGRAAD", "OPMLOCATIE",
                   "COORDX", "COORDY", "MONSTERSRT", "ANALIST", "OWNER", "LOCCODE", "PH",
                   "GELEIDING", "WATERTEMP", "WTYPE", "HERBARIUM", "AMAAT"]
SAMPLE_FIELDS = ["ID", "DATUM", "DESMID", "ABUND", "DL", "ZYGO", "FOTO", "ZEKER", "OPMDESMID",
                 "DESMIDINFO"]

# Kinds of sites: name, biotope codes, pH range, conductivity range (uS/cm), and whether
# the kind belongs on the sandy soils of the east and south or on the peat and clay of the
# west and north.
KINDS = [
    ("Ven", ["H3160", "M13"], (3.5, 5.0), (20, 90), "sand"),
    ("Ven", ["H3130", "M12", "H3110"], (4.8, 6.5), (30, 160), "sand"),
    ("Veenput", ["H7110", "H7120"], (3.6, 4.8), (20, 80), "sand"),
    ("Heideplas", ["H4010", "M12"], (3.8, 5.5), (20, 110), "sand"),
    ("Trilveen", ["H7140"], (5.5, 7.2), (100, 400), "peat"),
    ("Laagveensloot", ["M8"], (6.5, 7.8), (250, 800), "peat"),
    ("Sloot", ["M1a", "M2"], (6.0, 8.0), (150, 800), "peat"),
    ("Laagveenplas", ["M25", "M27", "H3150"], (7.0, 8.0), (300, 800), "peat"),
    ("Duinvallei", ["H2190"], (6.0, 7.8), (150, 600), "dune"),
    ("Plas", ["M11", "M14"], (6.8, 8.0), (200, 800), "any"),
]

ANALYSTS = ["A. Verbeek", "B. de Graaf", "C. Hoekstra", "D. Mulder", "E. van Dijk"]
OWNERS = ["Natuurbeheerder", "Waterschap", "Gemeente", "Provincie", "Particulier"]
SAMPLE_KINDS = ["knijp", "knijp", "plankton", "knijp en plankton"]
REMARKS = ["", "", "", "", "Lage waterstand", "Oever met veenmos", "Na maaien van de oever",
           "Veel draadalgen", "Begroeid met blaasjeskruid", "IJs aan de rand",
           "Troebel water", "Drijftillen langs de oever"]
TAXON_REMARKS = ["enkele cellen", "veel cellen", "afwijkende vorm", "alleen lege cellen",
                 "in het plankton"]

def ReadCsv(path):
    with open(path, encoding="utf-8", newline="") as f:
        return list(csv.DictReader(f))


def WriteCsv(path, fields, rows):
    with open(path, "w", encoding="utf-8", newline="") as f:
        out = csv.writer(f, lineterminator="\n")
        out.writerow(fields)
        for row in rows:
            out.writerow([row.get(field, "") for field in fields])


def WriteIni(path, sections):
    """Settings file in the program's own layout: "[section]" and "key=value" lines, UTF-8,
    CR LF."""
    with open(path, "w", encoding="utf-8", newline="") as f:
        for section, keys in sections:
            f.write("[%s]\r\n" % section)
            for key, value in keys:
                f.write("%s=%s\r\n" % (key, value))


def DecimalText(rng, value, decimals):
    text = "%.*f" % (decimals, value)
    return text.replace(".", ",") if rng.random() < 0.3 else text


def Region(x, y):
    """A rough soil region of a km-square, only to place kinds of sites plausibly: the
    sandy east and south, the clay and peat of the west and north, the coastal dunes."""
    if (x > 135 and y < 560) or (y < 420 and x > 70):
        return "sand"
    if x < 100 and y > 440:
        return "dune"
    return "peat"


class MapImage:
    """The base map, read with the standard library (8-bit palette or RGB PNG, not
    interlaced), to tell land from water at a site."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        assert data[:8] == b"\x89PNG\r\n\x1a\n", path
        pos, idat, palette = 8, b"", None
        while pos < len(data):
            length, kind = struct.unpack(">I4s", data[pos:pos + 8])
            body = data[pos + 8:pos + 8 + length]
            if kind == b"IHDR":
                self.width, self.height, depth, colour, _, _, interlace = struct.unpack(
                    ">IIBBBBB", body)
                assert depth == 8 and colour in (2, 3) and interlace == 0, path
                self.channels = 3 if colour == 2 else 1
            elif kind == b"PLTE":
                palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
            elif kind == b"IDAT":
                idat += body
            pos += 12 + length
        raw = zlib.decompress(idat)
        stride = self.width * self.channels
        rows, prev = [], bytearray(stride)
        for r in range(self.height):
            start = r * (stride + 1)
            kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
            bpp = self.channels
            for i in range(stride):
                a = line[i - bpp] if i >= bpp else 0
                b = prev[i]
                c = prev[i - bpp] if i >= bpp else 0
                if kind == 1:
                    line[i] = (line[i] + a) & 255
                elif kind == 2:
                    line[i] = (line[i] + b) & 255
                elif kind == 3:
                    line[i] = (line[i] + (a + b) // 2) & 255
                elif kind == 4:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                    line[i] = (line[i] + pred) & 255
            rows.append(bytes(line))
            prev = line
        self.rows, self.palette = rows, palette

    def Colour(self, col, row):
        if self.channels == 1:
            return self.palette[self.rows[row][col]]
        return tuple(self.rows[row][col * 3:col * 3 + 3])

    def IsDutchLand(self, x_km, y_km):
        """True when the map shows Dutch land (white) at the position and around it."""
        col, row = int(x_km * 10), int((625 - y_km) * 10)
        for dc in (-3, 0, 3):
            for dr in (-3, 0, 3):
                if min(self.Colour(col + dc, row + dr)) < 245:
                    return False
        return True


def MakeSites(rng, squares, taxa, base_map):
    by_region = {"sand": [], "peat": [], "dune": []}
    for x, y in squares:
        by_region[Region(x, y)].append((x, y))
    # Dune slacks lie near the coast: keep the westernmost squares of each row of the dune
    # region.
    westmost = {}
    for x, y in by_region["dune"]:
        if y not in westmost or x < westmost[y]:
            westmost[y] = x
    by_region["dune"] = [(x, y) for x, y in by_region["dune"] if x <= westmost[y] + 2]

    sites = []
    counters = {}
    for n in range(SITE_COUNT):
        kind = KINDS[n % len(KINDS)]
        name, codes, ph_range, ec_range, soil = kind
        pool = squares if soil == "any" else by_region[soil]
        while True:
            sx, sy = rng.choice(pool)
            x, y = sx + rng.uniform(0.05, 0.95), sy + rng.uniform(0.05, 0.95)
            if base_map.IsDutchLand(x, y):
                break
        letter = "ABCDEFGHJK"[n % 10]
        counters[letter] = counters.get(letter, 0) + 1
        code = "%s%02d" % (letter, counters[letter])
        flora = rng.sample(taxa, 90)
        sites.append({
            "name": "%s %s" % (name, code),
            "loccode": "DEMO-" + code,
            "x": x,
            "y": y,
            "codes": codes,
            "ph": ph_range,
            "ec": ec_range,
            "analyst": rng.choice(ANALYSTS),
            "owner": rng.choice(OWNERS),
            "flora": flora,
            # Two sites are written in km with a point and two decimals, some in metres, the
            # others in km with a point or a comma. (The two fixed ones take no random draw;
            # giving them one would change every value drawn after it.)
            "notation": "fixed" if n in (7, 33) else ("m" if rng.random() < 0.15 else "km"),
        })
    return sites


def Coordinates(rng, site):
    if site["notation"] == "fixed":
        return "%.2f" % site["x"], "%.2f" % site["y"]
    if site["notation"] == "m":
        return "%d" % round(site["x"] * 1000), "%d" % round(site["y"] * 1000)
    return DecimalText(rng, site["x"], 2), DecimalText(rng, site["y"], 2)


def Temperature(month):
    """A plausible water temperature for the month, in degrees C."""
    return 11.5 - 8.5 * math.cos((month - 1.5) / 12 * 2 * math.pi)


def MakeEvents(rng, sites, genus_spec):
    events = []
    months = [3, 4, 4, 5, 5, 5, 6, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11]
    for index, site in enumerate(sites):
        visits = rng.choice([1, 2, 2, 3, 3, 4, 4, 5, 6, 8])
        years = sorted(rng.sample(range(1975, 2025), visits))
        for year in years:
            month = rng.choice(months)
            day = rng.randint(1, 28)
            low, high = site["ph"]
            ph = rng.uniform(low, high)
            ec = rng.randint(*site["ec"])
            acidity = ("Zuur" if ph < 5.0 else "Zwak zuur" if ph < 6.5 else
                       "Neutraal-alkalisch")
            if rng.random() < 0.1:
                acidity = ""
            measure = "1,2 of 3 (dood=0)" if rng.random() < 0.7 else "Aanwezig"
            x_text, y_text = Coordinates(rng, site)
            events.append({
                "site": index,
                "LOCATIE": site["name"],
                "DAG": "%02d" % day,
                "MAAND": "%02d" % month,
                "JAAR": "%d" % year,
                "ZUURGRAAD": acidity,
                "OPMLOCATIE": rng.choice(REMARKS),
                "COORDX": x_text,
                "COORDY": y_text,
                "MONSTERSRT": rng.choice(SAMPLE_KINDS),
                "ANALIST": site["analyst"] if rng.random() < 0.8 else rng.choice(ANALYSTS),
                "OWNER": site["owner"],
                "LOCCODE": site["loccode"],
                "PH": DecimalText(rng, ph, 1),
                "GELEIDING": "%d" % ec,
                "WATERTEMP": DecimalText(rng, Temperature(month) + rng.uniform(-2, 2), 1),
                "WTYPE": rng.choice(site["codes"]),
                "HERBARIUM": "",
                "AMAAT": measure,
            })
    # Physical order: as a recorder would enter them, oldest first.
    events.sort(key=lambda e: (e["JAAR"], e["MAAND"], e["DAG"], e["LOCATIE"]))
    for number, event in enumerate(events):
        event["ID"] = number
        if rng.random() < 0.25:
            event["HERBARIUM"] = "DEMO-H%04d" % (number + 1)

    # A few events in which no desmids were found.
    for event in rng.sample(events[1:-1], 6):
        event["nodesmids"] = True

    samples = []
    for event in events:
        date = event["JAAR"] + "-" + event["MAAND"] + "-" + event["DAG"]
        base = {"ID": event["ID"], "DATUM": date}
        if event.get("nodesmids"):
            samples.append(dict(base, DESMID=NO_DESMIDS))
            continue
        site = sites[event["site"]]
        names = rng.sample(site["flora"], rng.randint(15, 40))
        if rng.random() < 0.15:
            names.append(rng.choice(genus_spec))
        for name in sorted(names, key=str.casefold):
            samples.append(dict(base, DESMID=name, **Marks(rng, event["AMAAT"])))
    return events, samples


def Marks(rng, measure):
    marks = {}
    if measure == "Aanwezig":
        marks["ABUND"] = "+"
    else:
        marks["ABUND"] = rng.choices(["1", "2", "3", "0"], [55, 25, 10, 10])[0]
    if marks["ABUND"] == "0":
        marks["DL"] = "D"
    else:
        marks["DL"] = rng.choices(["L", "", "D", "O"], [60, 25, 5, 10])[0]
    marks["ZYGO"] = "+" if rng.random() < 0.03 else ""
    marks["FOTO"] = rng.choices(["", "F", "T"], [92, 5, 3])[0]
    marks["ZEKER"] = rng.choices(["", "CF", "N"], [93, 5, 2])[0]
    marks["OPMDESMID"] = rng.choice(TAXON_REMARKS) if rng.random() < 0.03 else ""
    return marks


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", default=REPO, help="repository root to write into")
    args = parser.parse_args()
    src = os.path.join(args.out, "data-src")
    data = os.path.join(args.out, "data", "Data")
    os.makedirs(data, exist_ok=True)

    taxa = [r["TAXON_NAME"] for r in ReadCsv(os.path.join(src, "TaxaListAnnotatedNL.csv"))
            if r["TAXON_NAME"] == r["CUR_NAME"] and len(r["TAXON_NAME"].split()) >= 2
            and " sect. " not in r["TAXON_NAME"] and " subgenus " not in r["TAXON_NAME"]
            and "(" not in r["TAXON_NAME"]]
    squares = [(int(r["XCOORD"]), int(r["YCOORD"]))
               for r in ReadCsv(os.path.join(src, "KmHokkenNL.csv"))]
    biotopes = {r["CODE"] for r in ReadCsv(os.path.join(src, "Biotoopcodes.csv"))}
    with open(os.path.join(args.out, "data", "Lib", "AdditionalTaxalistNL.csv"),
              encoding="utf-8") as f:
        genus_spec = [line.strip() for line in f if line.strip().endswith(" spec.")]

    base_map = MapImage(os.path.join(args.out, "data", "Maps", MAP_NAME))
    rng = random.Random(SEED)
    sites = MakeSites(rng, squares, taxa, base_map)
    events, samples = MakeEvents(rng, sites, genus_spec)

    # Self-check: the biotope codes exist. (The square of every event is checked on the
    # tables the build writes, by the program's own rules: tests/core/shippeddata_test.cpp.)
    for event in events:
        assert event["WTYPE"] in biotopes, event["WTYPE"]

    WriteCsv(os.path.join(src, "demo-locations.csv"), LOCATION_FIELDS, events)
    WriteCsv(os.path.join(src, "demo-samples.csv"), SAMPLE_FIELDS, samples)
    WriteIni(os.path.join(data, "Demo.ini"), [
        ("Coordinates", [("System", "km-based")]),
        ("Distribution Map", [("MapName", MAP_NAME)]),
        ("Squares", [("Coordinates", SQUARE_TABLE)]),
    ])
    WriteIni(os.path.join(data, "VLX.ini"), ProgramSettings())
    metres = sum(1 for e in events if sites[e["site"]]["notation"] == "m")
    print("%d sites, %d events (%d in metres), %d samples, %d without desmids"
          % (len(sites), len(events), metres, len(samples),
             sum(1 for e in events if e.get("nodesmids"))))


def ProgramSettings():
    """VLX.ini as the program writes it with every default and Demo as the default database.
    "Photo Folder" is left out on purpose: its default is a folder in the user's own home,
    which a shipped file cannot know, and a missing key takes the default."""
    return [
        ("Database", [("DefaultDatabase", "Demo")]),
        ("Common", [("Analist", ""), ("Backup Folder", ""), ("LastUsedMapDir", ""),
                    ("Language", "EN"), ("BoxplotOrientation", "0")]),
        ("Abundance", [("Conversion", "4")]),
        ("Sort", [("Order", "0")]),
        ("TaxaList", [("Number", "0")]),
        ("Taxon", [("AddInfo", "0")]),
        ("Distribution Map", [("Top", "0"), ("Left", "0")]),
        ("Period", [("BeginJaar", "1900"), ("EindJaar", "2011"), ("SeparatieJaar", "1990")]),
        ("Forms", [("MainTop", "237"), ("MainLeft", "457"), ("MainWidth", "738"),
                   ("MainHeight", "566"), ("DistTop", "212"), ("DistLeft", "365"),
                   ("DistWidth", "1024"), ("DistHeight", "566"), ("DistState", "0")]),
        ("Density colors", [("Klasse0", "clRed"), ("Klasse1", "$0080FFFF"),
                            ("Klasse2", "$0060CFDF"), ("Klasse3", "$00409FBF"),
                            ("Klasse4", "$002070A0"), ("Klasse5", "$00004080"),
                            ("Raster", "clSilver")]),
    ]


if __name__ == "__main__":
    main()
