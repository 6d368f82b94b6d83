#!/usr/bin/python3
"""Reads the tooth outlines of a DXF file with ezdxf and prints each polyline's vertices and
the pieces ezdxf makes of them (bulges turned into arcs by ezdxf itself).

Output lines (tab-separated): POLYLINE count, V x y bulge, LINE x1 y1 x2 y2,
ARC cx cy r start end (degrees, counter-clockwise). Exit codes: 0 read, 2 unreadable,
77 ezdxf missing."""
import sys

try:
    import ezdxf
except ImportError:
    print("ezdxf missing")
    sys.exit(77)


def main():
    try:
        doc = ezdxf.readfile(sys.argv[1])
    except Exception as e:  # any failure to read is the writer's fault
        print("UNREADABLE\t%s" % e)
        return 2
    for e in doc.modelspace():
        if e.dxftype() not in ("POLYLINE", "LWPOLYLINE"):
            continue
        if e.dxftype() == "POLYLINE":
            points = [(v.dxf.location.x, v.dxf.location.y, v.dxf.bulge) for v in e.vertices]
        else:
            points = [(x, y, b) for x, y, _s, _e, b in e.get_points()]
        print("POLYLINE\t%d" % len(points))
        for x, y, b in points:
            print("V\t%.9f\t%.9f\t%.9f" % (x, y, b))
        for piece in e.virtual_entities():
            if piece.dxftype() == "LINE":
                s, t = piece.dxf.start, piece.dxf.end
                print("LINE\t%.9f\t%.9f\t%.9f\t%.9f" % (s.x, s.y, t.x, t.y))
            elif piece.dxftype() == "ARC":
                c = piece.dxf.center
                print("ARC\t%.9f\t%.9f\t%.9f\t%.9f\t%.9f" % (
                    c.x, c.y, piece.dxf.radius, piece.dxf.start_angle, piece.dxf.end_angle))
    return 0


if __name__ == "__main__":
    sys.exit(main())
