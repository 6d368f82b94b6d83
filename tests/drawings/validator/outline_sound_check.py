#!/usr/bin/python3
"""Judges the tooth outline blocks ("EVOLV1" shaft, "EVOLV2" hub) of DXF files read with ezdxf:
each block holds one tooth about the wheel centre (0, 0) at true size, so its pieces can be
measured as drawn. Pieces are taken exactly (lines and arcs, no flattening).

Usage: outline_sound_check.py LIST [PROCESSES]
LIST holds one line per file: path, then the shaft's root and tip radius and the hub's tip and
root radius (the band each outline must keep to).

Output, one line per outline found (tab-separated):
  OUTLINE path part pieces turn below above crossings
turn: the largest turn of an arc not centred on the wheel centre (a fillet), degrees;
below/above: how far the outline reaches inside the band's inner or beyond its outer radius
(0 when it keeps to the band); crossings: places where two pieces of the outline cross.
Exit codes: 0 read, 2 a file unreadable, 77 ezdxf missing."""
import math
import os
import sys
from multiprocessing import Pool

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
try:
    import ezdxf
    from tooth_fit_check import outline_layer, point_segment, radial_centre_line
except ImportError:
    print("ezdxf missing")
    sys.exit(77)

ENDS = 1e-4  # pieces meeting within this distance count as joined (6 decimals in the file)
# Two meeting points closer than this are one point where the pieces touch: a fillet and the
# line or circle it is tangent to meet at one point, which the file's rounding splits in two.
TOUCH = 2e-3


def pieces_of(entity, out):
    kind = entity.dxftype()
    if kind == "LINE":
        s, e = entity.dxf.start, entity.dxf.end
        out.append(("L", (s.x, s.y), (e.x, e.y)))
    elif kind == "ARC":
        c = entity.dxf.center
        a1 = math.radians(entity.dxf.start_angle)
        a2 = math.radians(entity.dxf.end_angle)
        while a2 <= a1:
            a2 += 2 * math.pi
        out.append(("A", (c.x, c.y), entity.dxf.radius, a1, a2))
    elif kind == "POLYLINE":
        for piece in entity.virtual_entities():
            pieces_of(piece, out)


def ends(p):
    if p[0] == "L":
        return [p[1], p[2]]
    c, r = p[1], p[2]
    return [(c[0] + r * math.cos(a), c[1] + r * math.sin(a)) for a in (p[3], p[4])]


def on_arc(p, angle):
    span = p[4] - p[3]
    return (angle - p[3]) % (2 * math.pi) <= span + 1e-12


def radius_range(p):
    """Nearest and farthest distance of a piece from the wheel centre."""
    r_ends = [math.hypot(*q) for q in ends(p)]
    if p[0] == "L":
        return point_segment((0.0, 0.0), p[1], p[2]), max(r_ends)
    (cx, cy), r = p[1], p[2]
    dc = math.hypot(cx, cy)
    lo, hi = min(r_ends), max(r_ends)
    away = math.atan2(cy, cx)
    if on_arc(p, away):
        hi = max(hi, dc + r)
    if on_arc(p, away + math.pi):
        lo = min(lo, abs(dc - r))
    return lo, hi


def line_points(a, b, c, d):
    rx, ry = b[0] - a[0], b[1] - a[1]
    sx, sy = d[0] - c[0], d[1] - c[1]
    den = rx * sy - ry * sx
    if den == 0:
        return []
    t = ((c[0] - a[0]) * sy - (c[1] - a[1]) * sx) / den
    u = ((c[0] - a[0]) * ry - (c[1] - a[1]) * rx) / den
    return [(a[0] + t * rx, a[1] + t * ry)] if 0 <= t <= 1 and 0 <= u <= 1 else []


def circle_line(c, r, a, b):
    dx, dy = b[0] - a[0], b[1] - a[1]
    fx, fy = a[0] - c[0], a[1] - c[1]
    qa = dx * dx + dy * dy
    qb = 2 * (fx * dx + fy * dy)
    qc = fx * fx + fy * fy - r * r
    disc = qb * qb - 4 * qa * qc
    if qa == 0 or disc < 0:
        return []
    root = math.sqrt(disc)
    if root / qa * math.sqrt(qa) < TOUCH:
        root = 0.0
    return [(a[0] + t * dx, a[1] + t * dy) for t in ((-qb - root) / (2 * qa),
                                                    (-qb + root) / (2 * qa)) if 0 <= t <= 1][:1 if root == 0 else 2]


def circle_circle(c1, r1, c2, r2):
    d = math.dist(c1, c2)
    if d == 0 or d > r1 + r2 or d < abs(r1 - r2):
        return []
    a = (r1 * r1 - r2 * r2 + d * d) / (2 * d)
    h = math.sqrt(max(0.0, r1 * r1 - a * a))
    if 2 * h < TOUCH:
        h = 0.0
    mx = c1[0] + a * (c2[0] - c1[0]) / d
    my = c1[1] + a * (c2[1] - c1[1]) / d
    ox, oy = -(c2[1] - c1[1]) / d * h, (c2[0] - c1[0]) / d * h
    return [(mx + ox, my + oy), (mx - ox, my - oy)][:1 if h == 0 else 2]


def meeting_points(p, q):
    if p[0] == "L" and q[0] == "L":
        return line_points(p[1], p[2], q[1], q[2])
    if p[0] == "L":
        p, q = q, p
    if q[0] == "L":
        pts = circle_line(p[1], p[2], q[1], q[2])
    else:
        pts = [s for s in circle_circle(p[1], p[2], q[1], q[2])
               if on_arc(q, math.atan2(s[1] - q[1][1], s[0] - q[1][0]))]
    return [s for s in pts if on_arc(p, math.atan2(s[1] - p[1][1], s[0] - p[1][0]))]


def length(p):
    return math.dist(p[1], p[2]) if p[0] == "L" else p[2] * (p[4] - p[3])


def crossings(pieces):
    """Points where two pieces meet other than at an end they share. Two pieces tangent at
    their shared end may meet a little beside it in the file's rounded numbers: a hundredth of
    the longer piece is still the joint."""
    count = 0
    all_ends = [ends(p) for p in pieces]
    for i in range(len(pieces)):
        for j in range(i + 1, len(pieces)):
            shared = [e for e in all_ends[i] if any(math.dist(e, f) < ENDS for f in all_ends[j])]
            joint = max(ENDS, 0.01 * max(length(pieces[i]), length(pieces[j])))
            for s in meeting_points(pieces[i], pieces[j]):
                if not any(math.dist(s, e) < joint for e in shared):
                    count += 1
    return count


def judge(item):
    path, bands = item
    try:
        doc = ezdxf.readfile(path)
    except Exception as exc:  # any failure to read is the writer's fault
        return ["UNREADABLE\t%s\t%s" % (path, exc)]
    lines = []
    for part in (1, 2):
        block = doc.blocks.get("EVOLV%d" % part)
        if block is None:
            continue
        layer = outline_layer(block)
        pieces = []
        for e in block:
            if e.dxf.layer == layer and not radial_centre_line(e):
                pieces_of(e, pieces)
        if not pieces:
            continue
        inner, outer = bands[part - 1]
        lo = min(radius_range(p)[0] for p in pieces)
        hi = max(radius_range(p)[1] for p in pieces)
        turn = max([math.degrees(p[4] - p[3]) for p in pieces
                    if p[0] == "A" and math.hypot(*p[1]) > 1e-3 * p[2]] or [0.0])
        lines.append("OUTLINE\t%s\t%d\t%d\t%.3f\t%.6f\t%.6f\t%d" % (
            path, part, len(pieces), turn, max(0.0, inner - lo), max(0.0, hi - outer),
            crossings(pieces)))
    return lines


def main():
    items = []
    with open(sys.argv[1]) as f:
        for line in f:
            fields = line.split()
            if len(fields) == 5:
                v = [float(x) for x in fields[1:]]
                items.append((fields[0], ((v[0], v[1]), (v[2], v[3]))))
    processes = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    if processes > 1:
        with Pool(processes) as pool:
            results = pool.map(judge, items, chunksize=4)
    else:
        results = [judge(i) for i in items]
    bad = False
    for lines in results:
        for line in lines:
            bad = bad or line.startswith("UNREADABLE")
            print(line)
    return 2 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
