#!/usr/bin/python3
"""Reads a CAD-code text file with Python's csv module (tab-separated) and checks every
line: a known keyword, the number of fields it takes, numbers that parse, blocks that open
and close, EOF last. --comma reads "," as the decimal mark. With --dump prints the drawing's
entities one per line for comparison with other formats.

Exit codes: 0 clean, 1 faults."""
import csv
import math
import re
import sys

# keyword -> (number of fields, indexes of fields that are text)
KEYWORDS = {
    "MINMAX": (4, ()),
    "SECTION BLOCKS": (0, ()),
    "SECTION ENTITIES": (0, ()),
    "BLOCK": (1, (0,)),
    "END OF BLOCK": (0, ()),
    "LINE": (4, ()),
    "CIRCLE": (3, ()),
    "ARC": (5, ()),
    "TEXT": (3, (2,)),
    "SOLID": (8, ()),
    "INSERT": (6, (0,)),
    "EOF": (0, ()),
}


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    comma = "--comma" in sys.argv
    number = re.compile(r"^-?\d+(,\d+)?$" if comma else r"^-?\d+(\.\d+)?$")
    faults, rows = [], []
    block = None
    seen_eof = False
    with open(args[0], newline="", encoding="cp1252", errors="strict") as f:
        for n, fields in enumerate(csv.reader(f, delimiter="\t", quoting=csv.QUOTE_NONE), 1):
            if seen_eof:
                faults.append("line %d after EOF" % n)
                break
            if not fields:
                faults.append("line %d empty" % n)
                continue
            keyword, values = fields[0], fields[1:]
            if keyword not in KEYWORDS:
                faults.append("line %d: unknown keyword %r" % (n, keyword))
                continue
            count, texts = KEYWORDS[keyword]
            if len(values) != count:
                faults.append("line %d: %s with %d fields, wants %d" % (n, keyword, len(values), count))
                continue
            nums = []
            for i, v in enumerate(values):
                if i in texts:
                    continue
                if not number.match(v):
                    faults.append("line %d: %r is no number" % (n, v))
                    v = "0"
                nums.append(float(v.replace(",", ".")))
            where = block or "@"
            if keyword == "BLOCK":
                if block:
                    faults.append("line %d: block inside block" % n)
                block = values[0].upper()
            elif keyword == "END OF BLOCK":
                if not block:
                    faults.append("line %d: END OF BLOCK without BLOCK" % n)
                block = None
            elif keyword == "EOF":
                seen_eof = True
            elif keyword in ("LINE", "CIRCLE"):
                rows.append([where, keyword] + nums)
            elif keyword == "ARC":
                x, y, r, a1, a2 = nums
                rows.append([where, "ARC", x, y, r,
                             x + r * math.cos(math.radians(a1)), y + r * math.sin(math.radians(a1)),
                             x + r * math.cos(math.radians(a2)), y + r * math.sin(math.radians(a2))])
            elif keyword == "TEXT":
                rows.append([where, "TEXT", nums[0], nums[1], values[2]])
            elif keyword == "SOLID":
                p = nums
                rows.append([where, "OUTLINE", p[0], p[1], p[2], p[3], p[6], p[7], p[4], p[5]])
            elif keyword == "INSERT":
                rows.append([where, "INSERT", values[0].upper()] + nums)
    if not seen_eof:
        faults.append("no EOF line")
    if block:
        faults.append("block %s not ended" % block)
    for fault in faults:
        print("FAULT", fault)
    print("entities", len(rows))
    if "--dump" in sys.argv:
        for row in rows:
            print("ENTITY\t" + "\t".join("%.6f" % v if isinstance(v, float) else str(v)
                                         for v in row))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
