#!/usr/bin/python3
"""Reads a DXF file with ezdxf and prints the model space with every INSERT and POLYLINE
exploded into world coordinates, one entity per line, for comparison with what the screen
drew. With --extents, prints the bounding box of that geometry (texts left out) instead, one
line per file named. With --make-r12 FILE, writes a small R12 drawing with ezdxf itself instead (handles and
other group codes our writer never uses), to be read back by the program's block reader.

Output lines: ENTITY, "@", kind, then numbers (and the text of a TEXT):
  LINE x1 y1 x2 y2 | CIRCLE cx cy r | ARC cx cy r xs ys xe ye | TEXT x y text |
  OUTLINE four corners in outline order (a SOLID's corners 1, 2, 4, 3)

Exit codes: 0 done, 2 unreadable, 77 ezdxf missing."""
import math
import sys

try:
    import ezdxf
except ImportError:
    print("ezdxf missing")
    sys.exit(77)


def num(v):
    return "%.6f" % (0.0 if abs(v) < 5e-7 else v)


def flatten(entity, out, depth=0):
    t = entity.dxftype()
    if t in ("INSERT", "POLYLINE", "LWPOLYLINE"):
        if depth > 16:
            raise RuntimeError("inserts nested too deep")
        for v in entity.virtual_entities():
            flatten(v, out, depth + 1)
        return
    if t == "LINE":
        s, e = entity.dxf.start, entity.dxf.end
        out.append(["LINE", s.x, s.y, e.x, e.y])
    elif t == "CIRCLE":
        c = entity.dxf.center
        out.append(["CIRCLE", c.x, c.y, entity.dxf.radius])
    elif t == "ARC":
        c, r = entity.dxf.center, entity.dxf.radius
        a1, a2 = math.radians(entity.dxf.start_angle), math.radians(entity.dxf.end_angle)
        out.append(["ARC", c.x, c.y, r, c.x + r * math.cos(a1), c.y + r * math.sin(a1),
                    c.x + r * math.cos(a2), c.y + r * math.sin(a2)])
    elif t == "TEXT":
        p = entity.dxf.insert
        out.append(["TEXT", p.x, p.y, entity.dxf.text])
    elif t == "SOLID":
        pts = [entity.dxf.vtx0, entity.dxf.vtx1, entity.dxf.vtx3, entity.dxf.vtx2]
        out.append(["OUTLINE"] + [c for p in pts for c in (p.x, p.y)])
    else:
        out.append([t])


def arc_points(cx, cy, r, a1, a2):
    """End points of an arc from a1 to a2 (radians, counter-clockwise) and the quadrant points
    it passes: what bounds it."""
    pts = [(cx + r * math.cos(a1), cy + r * math.sin(a1)), (cx + r * math.cos(a2), cy + r * math.sin(a2))]
    sweep = (a2 - a1) % (2 * math.pi)
    for k in range(4):
        q = k * math.pi / 2
        if (q - a1) % (2 * math.pi) <= sweep:
            pts.append((cx + r * math.cos(q), cy + r * math.sin(q)))
    return pts


def extents(rows):
    """Bounding box of the geometry (texts left out)."""
    pts = []
    for row in rows:
        kind, v = row[0], row[1:]
        if kind == "LINE":
            pts += [(v[0], v[1]), (v[2], v[3])]
        elif kind == "CIRCLE":
            pts += [(v[0] - v[2], v[1] - v[2]), (v[0] + v[2], v[1] + v[2])]
        elif kind == "ARC":
            a1 = math.atan2(v[4] - v[1], v[3] - v[0])
            a2 = math.atan2(v[6] - v[1], v[5] - v[0])
            pts += arc_points(v[0], v[1], v[2], a1, a2)
        elif kind == "OUTLINE":
            pts += [(v[i], v[i + 1]) for i in range(0, 8, 2)]
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return min(xs), min(ys), max(xs), max(ys)


def make_r12(path):
    doc = ezdxf.new("R12")
    msp = doc.modelspace()
    doc.layers.new("3", dxfattribs={"color": 3})
    msp.add_line((1, 2), (11, 7), dxfattribs={"layer": "3"})
    msp.add_circle((20, 5), 4)
    msp.add_arc((40, 5), 6, 30, 250)
    msp.add_text("ezdxf", dxfattribs={"insert": (5, 20), "height": 2.5, "rotation": 30})
    msp.add_solid([(50, 0), (60, 0), (50, 8), (60, 8)])
    # A closed outline with a quarter-circle corner (bulge tan(90/4)) and a clockwise one.
    msp.add_polyline2d([(0, 30, 0), (10, 30, math.tan(math.radians(90) / 4)), (10, 40, 0),
                        (20, 40, -math.tan(math.radians(60) / 4)), (30, 50, 0)],
                       format="xyb", close=True)
    doc.saveas(path)


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    if "--make-r12" in sys.argv:
        make_r12(args[0])
        return 0
    if "--extents" in sys.argv:
        # One line per file, in the order given.
        for path in args:
            try:
                doc = ezdxf.readfile(path, errors="strict")
            except Exception as exc:  # DXFStructureError, UnicodeDecodeError, IOError
                print("unreadable:", path, type(exc).__name__, exc)
                return 2
            out = []
            for e in doc.modelspace():
                flatten(e, out)
            print("extents %.6f %.6f %.6f %.6f" % extents(out))
        return 0
    try:
        doc = ezdxf.readfile(args[0], errors="strict")
    except Exception as exc:  # DXFStructureError, UnicodeDecodeError, IOError
        print("unreadable:", type(exc).__name__, exc)
        return 2
    out = []
    for e in doc.modelspace():
        flatten(e, out)
    for row in out:
        print("ENTITY\t@\t" + "\t".join(num(v) if isinstance(v, float) else str(v) for v in row))
    return 0


if __name__ == "__main__":
    sys.exit(main())
