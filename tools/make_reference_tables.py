#!/usr/bin/env python3
"""Writes the small reference tables whose rows are kept in this script.

Writes data-src/Biotoopcodes.csv      biotope codes (CODE, BIOTOOP)
       data-src/Frequentieklassen.csv frequency classes of squares
       data/Lib/FieldNames.csv        user field names of the record filter

Only the Python standard library is needed.
"""

import argparse
import csv
import math
import os

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Biotope codes. The biotope box of the main window stores the first five characters of the
# chosen line, so every CODE has at most five characters. Descriptions are the public Dutch
# names of the water types of the Water Framework Directive (KRW, national typology) and of
# the Natura 2000 habitat types of waters and mires.
BIOTOPES = [
    # Stagnant waters (KRW M-types).
    ("M1a", "Zoete sloten (gebufferd)"),
    ("M1b", "Niet-zoete sloten (gebufferd)"),
    ("M2", "Zwak gebufferde sloten"),
    ("M3", "Gebufferde (regionale) kanalen"),
    ("M6a", "Grote ondiepe kanalen zonder scheepvaart"),
    ("M6b", "Grote ondiepe kanalen met scheepvaart"),
    ("M7a", "Grote diepe kanalen zonder scheepvaart"),
    ("M7b", "Grote diepe kanalen met scheepvaart"),
    ("M8", "Gebufferde laagveensloten"),
    ("M10", "Laagveen vaarten en kanalen"),
    ("M11", "Kleine ondiepe gebufferde plassen"),
    ("M12", "Kleine ondiepe zwak gebufferde plassen (vennen)"),
    ("M13", "Kleine ondiepe zure plassen (vennen)"),
    ("M14", "Grote ondiepe gebufferde plassen"),
    ("M16", "Diepe gebufferde meren"),
    ("M20", "Matig grote diepe gebufferde meren"),
    ("M21", "Grote diepe gebufferde meren"),
    ("M23", "Grote ondiepe kalkrijke plassen"),
    ("M25", "Ondiepe laagveenplassen"),
    ("M27", "Matig grote ondiepe laagveenplassen"),
    ("M30", "Zwak brakke wateren"),
    # Slowly flowing waters (KRW R-types) where desmids are found.
    ("R4", "Permanente langzaam stromende bovenloop op zand"),
    ("R5", "Langzaam stromende middenloop/benedenloop op zand"),
    ("R6", "Langzaam stromend riviertje op zand/klei"),
    ("R12", "Langzaam stromende midden/benedenloop op veenbodem"),
    # Natura 2000 habitat types of waters and mires.
    ("H2190", "Vochtige duinvalleien"),
    ("H3110", "Zeer zwak gebufferde vennen"),
    ("H3130", "Zwak gebufferde vennen"),
    ("H3140", "Kranswierwateren"),
    ("H3150", "Meren met krabbenscheer en fonteinkruiden"),
    ("H3160", "Zure vennen"),
    ("H4010", "Vochtige heiden"),
    ("H7110", "Actieve hoogvenen"),
    ("H7120", "Herstellende hoogvenen"),
    ("H7140", "Overgangs- en trilvenen"),
    ("H7150", "Pioniervegetaties met snavelbiezen"),
    ("H7230", "Kalkmoerassen"),
]

# Frequency classes. The hour-square classes follow the frequency classes of the Dutch
# distribution atlases, counted in hour-squares (5 x 5 km) of about 1,670 land
# hour-squares; each class from class 3 on spans twice the squares of the one before.
LAND_HOUR_SQUARES = 1670
CLASS_FIRST_COUNT = [0, 1, 4, 13, 26, 51, 101, 201, 401, 801]  # first count of class 0..9
CLASS_NAMES = ["Afwezig", "Zeer zeldzaam", "Zeer zeldzaam", "Zeldzaam", "Zeldzaam",
               "Vrij zeldzaam", "Vrij algemeen", "Algemeen", "Zeer algemeen",
               "Uiterst algemeen"]


def HourSquareBound(first_count):
    """The program compares the unrounded per-mille value 1000 u / U with the bound, so the
    bound is the smallest whole per mille above the highest count of the class below."""
    if first_count == 0:
        return 0
    return math.floor(1000 * (first_count - 1) / LAND_HOUR_SQUARES) + 1


def KmSquareBound(first_count):
    """The program rounds the km-square value up to a whole per mille (Round(1000 k / K
    + 0.5)), so the bound is the first count's share rounded up: the same share of all
    squares as the hour-square class of the same number."""
    if first_count == 0:
        return 0
    return math.ceil(1000 * first_count / LAND_HOUR_SQUARES)


# User field names of the record filter: the name a user writes in a rule row, the field of
# the locations table it reads, and whether the field holds a number or text. Dutch and
# English names side by side; a name is looked up ignoring letter case.
FIELD_NAMES = [
    ("Locatie", "LOCATIE", "tekst"),
    ("Location", "LOCATIE", "text"),
    ("Locatiecode", "LOCCODE", "tekst"),
    ("LocationCode", "LOCCODE", "text"),
    ("Jaar", "JAAR", "getal"),
    ("Year", "JAAR", "number"),
    ("Maand", "MAAND", "getal"),
    ("Month", "MAAND", "number"),
    ("Dag", "DAG", "getal"),
    ("Day", "DAG", "number"),
    ("pH", "PH", "getal"),
    ("EGV", "GELEIDING", "getal"),
    ("Geleiding", "GELEIDING", "getal"),
    ("EC", "GELEIDING", "number"),
    ("Conductivity", "GELEIDING", "number"),
    ("Watertemperatuur", "WATERTEMP", "getal"),
    ("Temperatuur", "WATERTEMP", "getal"),
    ("WaterTemperature", "WATERTEMP", "number"),
    ("Temperature", "WATERTEMP", "number"),
    ("Zuurgraad", "ZUURGRAAD", "tekst"),
    ("Acidity", "ZUURGRAAD", "text"),
    ("Biotoop", "WTYPE", "tekst"),
    ("Watertype", "WTYPE", "tekst"),
    ("Biotope", "WTYPE", "text"),
    ("Analist", "ANALIST", "tekst"),
    ("Analyst", "ANALIST", "text"),
    ("Eigenaar", "OWNER", "tekst"),
    ("Owner", "OWNER", "text"),
    ("Herbarium", "HERBARIUM", "tekst"),
    ("Monstersoort", "MONSTERSRT", "tekst"),
    ("SampleType", "MONSTERSRT", "text"),
    ("Abundantiemaat", "AMAAT", "tekst"),
    ("AbundanceMeasure", "AMAAT", "text"),
    ("Opmerking", "OPMLOCATIE", "tekst"),
    ("Remark", "OPMLOCATIE", "text"),
    ("X", "COORDX", "tekst"),
    ("Y", "COORDY", "tekst"),
    ("ID", "ID", "getal"),
]

LOCATION_FIELDS = {"ID", "LOCATIE", "DAG", "MAAND", "JAAR", "ZUURGRAAD", "OPMLOCATIE",
                   "COORDX", "COORDY", "MONSTERSRT", "ANALIST", "OWNER", "LOCCODE", "PH",
                   "GELEIDING", "WATERTEMP", "WTYPE", "HERBARIUM", "AMAAT"}


def WriteCsv(path, header, rows):
    with open(path, "w", encoding="utf-8", newline="") as f:
        out = csv.writer(f, lineterminator="\n")
        out.writerow(header)
        out.writerows(rows)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", default=REPO, help="repository root to write into")
    args = parser.parse_args()
    src = os.path.join(args.out, "data-src")
    lib = os.path.join(args.out, "data", "Lib")
    os.makedirs(src, exist_ok=True)
    os.makedirs(lib, exist_ok=True)

    codes = [code for code, _ in BIOTOPES]
    assert len(set(codes)) == len(codes), "duplicate biotope code"
    assert all(len(code) <= 5 for code in codes), "a biotope code is longer than 5"
    WriteCsv(os.path.join(src, "Biotoopcodes.csv"), ["CODE", "BIOTOOP"], BIOTOPES)

    rows = []
    for cls, first in enumerate(CLASS_FIRST_COUNT):
        rows.append([CLASS_NAMES[cls], cls, KmSquareBound(first), CLASS_NAMES[cls], cls,
                     HourSquareBound(first)])
    WriteCsv(os.path.join(src, "Frequentieklassen.csv"),
             ["KOMSCHR", "KFK", "KMHOKKEN", "UOMSCHR", "UFK", "UURHOKKEN"], rows)

    assert all(field in LOCATION_FIELDS for _, field, _ in FIELD_NAMES)
    names = [name.lower() for name, _, _ in FIELD_NAMES]
    assert len(set(names)) == len(names), "duplicate user field name"
    # Names without blanks or commas need no quotes; lines end in CR LF like the program's
    # own text files.
    with open(os.path.join(lib, "FieldNames.csv"), "w", encoding="utf-8", newline="") as f:
        for row in FIELD_NAMES:
            assert not any(" " in cell or "," in cell or '"' in cell for cell in row)
            f.write(",".join(row) + "\r\n")


if __name__ == "__main__":
    main()
