#!/usr/bin/python3
"""Reads a production drawing written as DXF with ezdxf, inserts exploded, and prints what a
workshop reads off it about the diameters.

Usage: dimension_texts.py FILE.dxf SYMBOL...
Output lines (tab-separated):
  DIM text      a dimension's text (a number written along the dimension line, turned 90
                degrees)
  FIELD symbol text   the value written beside SYMBOL in a data table (the first number
                      to its right on its row)
Exit codes: 0 read, 2 unreadable, 77 ezdxf missing."""
import sys

try:
    import ezdxf
except ImportError:
    print("ezdxf missing")
    sys.exit(77)


def texts(space, out):
    for e in space:
        if e.dxftype() == "INSERT":
            texts(e.virtual_entities(), out)
        elif e.dxftype() == "TEXT":
            out.append(e)


def is_number(text):
    try:
        float(text)
        return True
    except ValueError:
        return False


def main():
    try:
        doc = ezdxf.readfile(sys.argv[1])
    except Exception as exc:  # any failure to read is the writer's fault
        print("UNREADABLE\t%s" % exc)
        return 2
    found = []
    texts(doc.modelspace(), found)
    for e in found:
        turn = e.dxf.get("rotation", 0.0) % 360
        if abs(turn - 90) < 1e-6 and is_number(e.dxf.text.strip()):
            print("DIM\t%s" % e.dxf.text.strip())
    for symbol in sys.argv[2:]:
        for e in found:
            if e.dxf.text.strip() != symbol:
                continue
            y, x = e.dxf.insert.y, e.dxf.insert.x
            row = [t for t in found if abs(t.dxf.insert.y - y) < 1e-6 and t.dxf.insert.x > x
                   and is_number(t.dxf.text.strip())]
            if row:
                value = min(row, key=lambda t: t.dxf.insert.x)
                print("FIELD\t%s\t%s" % (symbol, value.dxf.text.strip()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
