#!/usr/bin/env python3
"""Checks every CSV source in data-src/ against data-src/schemas.txt.

For each table: the header row equals the field names in order (less the square-code fields
that the build computes, see "squares" in schemas.txt); every row has one cell per column;
every text fits its field width in Windows-1252; numeric and integer cells are blank or whole
numbers that fit. Exits with status 1 and one line per fault when anything is wrong.
Only the Python standard library is needed.
"""

import argparse
import csv
import os
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def ReadSchemas(path):
    tables = []
    with open(path, encoding="utf-8") as f:
        lines = f.readlines()
    for number, line in enumerate(lines, start=1):
        parts = line.split()
        if not parts or parts[0].startswith("#"):
            continue
        if parts[0] == "table" and len(parts) == 5:
            tables.append({"name": parts[1], "level": int(parts[2]), "source": parts[3],
                           "target": parts[4], "fields": [], "computed": []})
        elif parts[0] == "field" and len(parts) in (4, 5) and tables:
            decimals = int(parts[4]) if len(parts) == 5 else 0
            tables[-1]["fields"].append((parts[1], parts[2], int(parts[3]), decimals))
        elif parts[0] == "squares" and len(parts) == 5 and tables:
            tables[-1]["computed"] = parts[1:3]
        else:
            raise SystemExit("%s:%d: cannot read %r" % (path, number, line.strip()))
    return tables


def CheckTable(folder, table):
    faults = []
    path = os.path.join(folder, table["source"])
    for name in table["computed"]:
        if name not in [f[0] for f in table["fields"]]:
            faults.append("%s: computed field %s is not a field" % (table["name"], name))
    columns = [f for f in table["fields"] if f[0] not in table["computed"]]
    names = [f[0] for f in columns]
    for name, ftype, width, _ in table["fields"]:
        if len(name) > 10:
            faults.append("%s: field name %s longer than 10" % (table["name"], name))
        if ftype == "I" and table["level"] != 7:
            faults.append("%s: integer field %s needs level 7" % (table["name"], name))
        if ftype == "C" and not 1 <= width <= 254:
            faults.append("%s: width of %s out of range" % (table["name"], name))
    with open(path, encoding="utf-8", newline="") as f:
        rows = list(csv.reader(f))
    if not rows or rows[0] != names:
        return faults + ["%s: header %s, expected %s" % (path, rows[:1], names)]
    for line, row in enumerate(rows[1:], start=2):
        if len(row) != len(names):
            faults.append("%s:%d: %d cells, expected %d" % (path, line, len(row), len(names)))
            continue
        for cell, (name, ftype, width, decimals) in zip(row, columns):
            where = "%s:%d: %s" % (path, line, name)
            try:
                encoded = cell.encode("cp1252")
            except UnicodeEncodeError:
                faults.append("%s: %r is not writable in Windows-1252" % (where, cell))
                continue
            if ftype == "C" and len(encoded) > width:
                faults.append("%s: %d characters in a field of %d" % (where, len(encoded),
                                                                      width))
            if ftype in ("N", "I") and cell != "":
                try:
                    value = int(cell)
                except ValueError:
                    faults.append("%s: %r is not a whole number" % (where, cell))
                    continue
                if ftype == "N" and len(str(value)) > width:
                    faults.append("%s: %r does not fit width %d" % (where, cell, width))
                if ftype == "I" and not -2**31 < value < 2**31:
                    faults.append("%s: %r does not fit 4 bytes" % (where, cell))
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--src", default=os.path.join(REPO, "data-src"))
    args = parser.parse_args()
    faults = []
    tables = ReadSchemas(os.path.join(args.src, "schemas.txt"))
    for table in tables:
        faults += CheckTable(args.src, table)
    for fault in faults:
        print(fault)
    print("%d tables checked, %d faults" % (len(tables), len(faults)))
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
