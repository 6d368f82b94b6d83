#!/usr/bin/python3
"""Joint drawings read by ezdxf. LIST of "file r1 R1 r2 R2 z1 z2" (root, tip radius, teeth): per
tooth block "OUTLINE file part turn below above crossings ends kink" (fillet turn, reach inside r
or beyond R; loose ends, largest fillet kink in degrees). --dims FILE SYMBOL...: "DIM" per number
turned 90 degrees, "FIELD" per number right of a SYMBOL, bare."""
import math, os, re, sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
try:
    import ezdxf
    from ezdxf.disassemble import recursive_decompose
    from tooth_fit_check import cross, curves, outline_layer, point_segment, radial_centre_line
except ImportError:
    print("ezdxf missing")
    sys.exit(77)

JOINT = 0.01  # mm about a piece's end where tangent pieces meet, apart in the file's rounding
MEET = 1e-4  # mm between two ends that are one point: the file's rounding, far below a step
number = re.compile(r"-?\d+(\.\d*)?$").match


def crossings(chains):
    # Chords sorted by their left end: only those overlapping in x can cross.
    segs = sorted((min(a[0], b[0]), max(a[0], b[0]), i, a, b)
                  for i, pts in enumerate(chains) for a, b in zip(pts, pts[1:]))
    ends = [q for pts in chains for q in (pts[0], pts[-1])]
    count = 0
    for x, (_, right, i, a, b) in enumerate(segs):
        for left, _, j, c, d in segs[x + 1:]:
            if left > right:
                break
            d3, d4 = cross(c, d, a), cross(c, d, b)
            if i != j and cross(a, b, c) * cross(a, b, d) < 0 and d3 * d4 < 0:
                s = [u + d3 / (d3 - d4) * (v - u) for u, v in zip(a, b)]
                count += min(math.dist(s, e) for e in ends) > JOINT
    return count


def turned(p, a):
    return (p[0] * math.cos(a) - p[1] * math.sin(a), p[0] * math.sin(a) + p[1] * math.cos(a))


def joints(chains, teeth, root):
    """Ends not met by exactly one other (neighbours: the block turned a pitch either way), and
    the largest kink at a fillet arc's root end (its flank end meets a chord, not a tangent)."""
    pitch = 2 * math.pi / abs(teeth)
    ends = []
    for k, (pts, fillet) in enumerate(chains):
        rootward = abs(math.hypot(*pts[0]) - root) <= abs(math.hypot(*pts[-1]) - root)
        for p, q, at_root in ((pts[0], pts[1], rootward), (pts[-1], pts[-2], not rootward)):
            ends.append((p, (q[0] - p[0], q[1] - p[1]), k, fillet and at_root))
    others = [(turned(p, a), turned(d, a), k if a == 0 else -1, f)
              for p, d, k, f in ends for a in (0, pitch, -pitch)]
    loose, kink = 0, 0.0
    for p, d, k, fillet in ends:
        met = [(e, f) for q, e, j, f in others if math.dist(p, q) <= MEET and (j != k or q != p)]
        loose += len(met) != 1
        for e, f in met if fillet else []:
            cos = abs(d[0] * e[0] + d[1] * e[1]) / (math.hypot(*d) * math.hypot(*e) or 1)
            kink = max(kink, math.degrees(math.acos(min(1.0, cos))))
    return loose, kink


def judge(path, band):
    doc = ezdxf.readfile(path)
    for part in (1, 2):
        block = doc.blocks.get("EVOLV%d" % part) or []
        layer = outline_layer(block)
        drawn = [p for e in block if e.dxf.layer == layer and not radial_centre_line(e)
                 for p in (e.virtual_entities() if e.dxftype() == "POLYLINE" else [e])]
        if drawn:
            turn = max([(p.dxf.end_angle - p.dxf.start_angle) % 360 for p in drawn
                        if p.dxftype() == "ARC" and p.dxf.center.magnitude > 1e-3] or [0])
            chains = [curves(p)[0] for p in drawn]
            near = min(point_segment((0, 0), *q) if p.dxftype() == "LINE" else
                       min(math.hypot(*x) for x in q) for p, q in zip(drawn, chains))
            far = max(math.hypot(*x) for q in chains for x in q)
            fillets = [p.dxftype() == "ARC" and p.dxf.center.magnitude > 1e-3 for p in drawn]
            pieces = [(q, f) for q, f in zip(chains, fillets) if math.dist(q[0], q[-1]) > MEET]
            yield "OUTLINE\t%s\t%d\t%.3f\t%.6f\t%.6f\t%d\t%d\t%.3f" % (
                path, part, turn, float(band[2 * part - 2]) - near,
                far - float(band[2 * part - 1]), crossings(chains),
                *joints(pieces, float(band[3 + part]), float(band[3 * part - 3])))


def dims(path, symbols):
    found = [(e.dxf.text.strip(), e.dxf.insert, e.dxf.get("rotation", 0.0) % 360) for e in
             recursive_decompose(ezdxf.readfile(path).modelspace()) if e.dxftype() == "TEXT"]
    yield from ("DIM\t" + t for t, _, turn in found if abs(turn - 90) < 1e-6 and number(t))
    for t, at, _ in found:
        row = [(p.x, s) for s, p, _ in found if t in symbols and abs(p.y - at.y) < 1e-6
               and p.x > at.x and number(s)]
        yield from ["FIELD\t%.10g" % float(min(row)[1])] if row else []


if __name__ == "__main__":  # a file ezdxf cannot read ends it with a traceback
    if sys.argv[1] == "--dims":
        print("\n".join(dims(sys.argv[2], sys.argv[3:])))
    else:
        # The path may hold blanks: the six numbers are the last words.
        for path, *band in (line.rsplit(None, 6) for line in open(sys.argv[1], encoding="utf-8")):
            print("\n".join(judge(path, band)))
