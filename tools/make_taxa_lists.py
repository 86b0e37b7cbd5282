#!/usr/bin/env python3
"""Builds the annotated taxa lists and the additional name lists from the TWN desmid names.

Reads  ../shared/data/twn-desmids.csv (beside the repository; --twn to change), the desmid
       part of TWN (Taxa Waterbeheer Nederland): name, author, level, parent, name to use
       instead, status.
Writes data-src/TaxaListAnnotatedNL.csv and data-src/TaxaListAnnotatedEU.csv (the ten fields
       of the annotated taxa list, in table order), data/Lib/AdditionalTaxalistNL.csv and
       data/Lib/AdditionalTaxalistEU.csv.

One record per distinct name. TWN tells homonyms and different concepts of one name apart
with a bracketed number ("Cosmarium ornatum [2]"); samples carry the bare name, so the
number is removed and one entry per name is kept, chosen in this order: a preferred name
(status 10) before a synonym (20), a dubious name (30) and names not to be used (91, 92);
then an entry whose author is a real author citation before a "sensu" concept; then the
lowest bracketed number. CUR_NAME is the name itself for a preferred name and otherwise the
name to use instead (followed through further synonyms), or the name itself when TWN gives
none. The list holds no ecological values: TROPHIC_ST, ACIDITY, LIFE_FORM, R, S, R_L and
NEG_VAR stay blank, since TWN has none and the program must never pretend to have them.

The tables are written in Windows-1252. The few letters of authors' names outside it
(Czech and Polish diacritics such as in "Růžička") are folded to their base letter; the
script fails on any other character that does not fit.
"""

import argparse
import csv
import os
import re
import sys
import unicodedata

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

FIELDS = ["TAXON_NAME", "CUR_NAME", "AUTHOR_NAM", "TROPHIC_ST", "ACIDITY", "LIFE_FORM", "R",
          "S", "R_L", "NEG_VAR"]

STATUS_ORDER = {"10": 0, "20": 1, "30": 2, "91": 3, "92": 4}

# Letters without a decomposition into base letter + accent.
EXTRA_FOLDS = {"ł": "l", "Ł": "L", "đ": "d", "Đ": "D", "ı": "i"}

NO_DESMIDS = ["Geen sieralgen", "No Desmids"]

# The homonym number; one source name ends in "[2]]".
MARKER = re.compile(r"\s*\[\d+\]+\s*$")


def ToWindows1252(text):
    """The text with every character outside Windows-1252 folded to its base letter."""
    out = []
    for ch in text:
        try:
            ch.encode("cp1252")
            out.append(ch)
            continue
        except UnicodeEncodeError:
            pass
        folded = EXTRA_FOLDS.get(ch)
        if folded is None:
            folded = "".join(c for c in unicodedata.normalize("NFKD", ch)
                             if not unicodedata.combining(c))
        try:
            folded.encode("cp1252")
        except UnicodeEncodeError:
            raise SystemExit("cannot write %r (in %r) in Windows-1252" % (ch, text))
        if not folded:
            raise SystemExit("cannot write %r (in %r) in Windows-1252" % (ch, text))
        out.append(folded)
    return "".join(out)


def BareName(name):
    """The name without its homonym number, blanks trimmed and runs of blanks made one."""
    return " ".join(MARKER.sub("", name).split())


def MarkerNumber(name):
    m = re.search(r"\[(\d+)\]+\s*$", name)
    return int(m.group(1)) if m else 0


def ReadTwn(path):
    with open(path, encoding="utf-8", newline="") as f:
        rows = list(csv.DictReader(f))
    expected = {"taxonname", "author", "taxonlevel", "parentname", "refername", "status"}
    if not rows or not expected <= set(rows[0].keys()):
        raise SystemExit("%s: not the expected columns %s" % (path, sorted(expected)))
    return rows


def Rank(row):
    status = STATUS_ORDER.get(row["status"].strip(), 9)
    sensu = 1 if row["author"].strip().lower().startswith("sensu") else 0
    return (status, sensu, MarkerNumber(row["taxonname"]))


def BuildRecords(rows):
    groups = {}
    for row in rows:
        name = BareName(row["taxonname"])
        if name:
            groups.setdefault(name, []).append(row)

    chosen = {name: min(entries, key=Rank) for name, entries in groups.items()}

    direct = {}
    for name, row in chosen.items():
        refer = BareName(row["refername"])
        if row["status"].strip() == "10" or not refer:
            direct[name] = name
        else:
            direct[name] = refer

    def Current(name):
        seen = {name}
        current = direct[name]
        # Follow a name to use instead that is itself a synonym in the list.
        while current in direct and direct[current] != current and current not in seen:
            seen.add(current)
            current = direct[current]
        return current

    records = []
    for name in sorted(chosen, key=lambda n: (n.casefold(), n)):
        row = chosen[name]
        records.append({
            "TAXON_NAME": ToWindows1252(name),
            "CUR_NAME": ToWindows1252(Current(name)),
            # The source escapes quotes in author citations: (\'pinicolum\').
            "AUTHOR_NAM": ToWindows1252(" ".join(row["author"].replace("\\'", "'").split())),
        })
    return records, groups


def WriteTable(path, records):
    with open(path, "w", encoding="utf-8", newline="") as f:
        out = csv.writer(f, lineterminator="\n")
        out.writerow(FIELDS)
        for r in records:
            out.writerow([r.get(field, "") for field in FIELDS])


def AdditionalNames(records, rows):
    """The no-desmids entries and "<genus> spec." for every preferred genus: an
    undetermined specimen is recorded that way, and the nature value lists such names apart
    as not counted."""
    genera = sorted({BareName(r["taxonname"]) for r in rows
                     if r["taxonlevel"] == "Genus" and r["status"].strip() == "10"},
                    key=str.casefold)
    names = NO_DESMIDS + [g + " spec." for g in genera]
    return sorted(dict.fromkeys(names), key=lambda n: (n.casefold(), n))


def WriteLines(path, lines):
    # The program writes its text files in UTF-8 with CR LF; ship them the same way.
    with open(path, "w", encoding="utf-8", newline="") as f:
        for line in lines:
            f.write(line + "\r\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--twn", default=os.path.join(os.path.dirname(REPO), "shared", "data",
                                                      "twn-desmids.csv"))
    parser.add_argument("--out", default=REPO, help="repository root to write into")
    args = parser.parse_args()

    rows = ReadTwn(args.twn)
    records, groups = BuildRecords(rows)
    src = os.path.join(args.out, "data-src")
    lib = os.path.join(args.out, "data", "Lib")
    os.makedirs(src, exist_ok=True)
    os.makedirs(lib, exist_ok=True)
    for country in ("NL", "EU"):
        WriteTable(os.path.join(src, "TaxaListAnnotated%s.csv" % country), records)
    extra = AdditionalNames(records, rows)
    for country in ("NL", "EU"):
        WriteLines(os.path.join(lib, "AdditionalTaxalist%s.csv" % country), extra)

    longest = {f: max(len(r[f]) for r in records) for f in ("TAXON_NAME", "CUR_NAME",
                                                           "AUTHOR_NAM")}
    print("%d source rows, %d names (%d names had more than one TWN entry)"
          % (len(rows), len(records), sum(1 for g in groups.values() if len(g) > 1)),
          file=sys.stderr)
    print("longest: " + ", ".join("%s %d" % kv for kv in longest.items()), file=sys.stderr)
    print("%d additional names" % len(extra), file=sys.stderr)


if __name__ == "__main__":
    main()
