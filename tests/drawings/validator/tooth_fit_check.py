#!/usr/bin/python3
"""Measures the tooth outlines of a DXF file read with ezdxf, the way a user would measure them
in a CAD program: every tooth outline block ("EVOLV" + part digit) is followed through all
the inserts that place it, in world coordinates.

Usage: tooth_fit_check.py FILE.dxf [--radius PART R]... [--rack] [--texts]

Output lines (tab-separated, world units):
  PART p count cx cy rmin rmax  outline points of part p, their centroid (the wheel centre of a
                                whole wheel), smallest and largest distance from it
  WIDTH p R count mean min max  arcs on the circle of radius R about that centre where the
                                outline reaches beyond R (the teeth of a shaft, the spaces of a
                                hub), as arc lengths
  FIT crossings gap             points where an outline of part 1 crosses one of part 2, and the
                                smallest distance between the two
  TEXTS count over outside      texts of the model space, those whose box (length times height
                                times width factor) reaches over the wheels' outer circle and
                                those reaching out of the window ($EXTMIN, $EXTMAX)
  RACK ymin ymax width          the tool profile (the layer that holds its arcs): its lowest and
                                highest point and the width of its tooth on the line y = 0
Exit codes: 0 read, 2 unreadable, 77 ezdxf missing."""
import math
import sys

try:
    import ezdxf
    from ezdxf.math import Matrix44, Vec3
except ImportError:
    print("ezdxf missing")
    sys.exit(77)

ARC_STEP = math.radians(0.25)


def arc_points(centre, radius, start_deg, end_deg):
    start = math.radians(start_deg)
    end = math.radians(end_deg)
    while end <= start:
        end += 2 * math.pi
    n = max(2, int(math.ceil((end - start) / ARC_STEP)) + 1)
    return [(centre.x + radius * math.cos(start + (end - start) * i / (n - 1)),
             centre.y + radius * math.sin(start + (end - start) * i / (n - 1))) for i in range(n)]


def curves(entity):
    """Point lists of a LINE, ARC or POLYLINE in its own coordinates."""
    kind = entity.dxftype()
    if kind == "LINE":
        s, e = entity.dxf.start, entity.dxf.end
        return [[(s.x, s.y), (e.x, e.y)]]
    if kind == "ARC":
        return [arc_points(entity.dxf.center, entity.dxf.radius, entity.dxf.start_angle,
                           entity.dxf.end_angle)]
    if kind == "POLYLINE":
        out = []
        for piece in entity.virtual_entities():
            out += curves(piece)
        return out
    return []


def radial_centre_line(entity):
    # The centre line that a tooth block carries beside its outline (x = 0 at both ends).
    if entity.dxftype() != "LINE":
        return False
    return abs(entity.dxf.start.x) < 1e-9 and abs(entity.dxf.end.x) < 1e-9


def outline_layer(block):
    for e in block:
        if e.dxftype() in ("LINE", "ARC", "POLYLINE") and not radial_centre_line(e):
            return e.dxf.layer
    return None


def walk(doc, space, matrix, part, out):
    """Collects the world point lists of every tooth outline reached from space."""
    for e in space:
        if e.dxftype() != "INSERT":
            continue
        name = e.dxf.name.upper()
        block = doc.blocks.get(e.dxf.name)
        if block is None:
            continue
        m = e.matrix44() * matrix
        p = part
        if name.startswith("EVOLV") and name[5:] in ("1", "2"):
            p = int(name[5:])
            layer = outline_layer(block)
            for sub in block:
                if sub.dxf.layer != layer or radial_centre_line(sub):
                    continue
                for pts in curves(sub):
                    out.setdefault(p, []).append([tuple(m.transform(Vec3(x, y, 0)))[:2]
                                                  for x, y in pts])
        walk(doc, block, m, p, out)


def segments(polys):
    return [(a, b) for pts in polys for a, b in zip(pts, pts[1:]) if a != b]


def centre_of(polys):
    # Centroid of the outline weighted by length: the centre of a whole wheel by symmetry.
    sx = sy = total = 0.0
    for a, b in segments(polys):
        length = math.dist(a, b)
        sx += (a[0] + b[0]) / 2 * length
        sy += (a[1] + b[1]) / 2 * length
        total += length
    return (sx / total, sy / total) if total else (0.0, 0.0)


def circle_crossings(segs, c, r):
    angles = []
    for a, b in segs:
        ax, ay = a[0] - c[0], a[1] - c[1]
        dx, dy = b[0] - a[0], b[1] - a[1]
        qa = dx * dx + dy * dy
        qb = 2 * (ax * dx + ay * dy)
        qc = ax * ax + ay * ay - r * r
        disc = qb * qb - 4 * qa * qc
        if qa == 0 or disc < 0:
            continue
        for t in ((-qb - math.sqrt(disc)) / (2 * qa), (-qb + math.sqrt(disc)) / (2 * qa)):
            if 0 <= t < 1:
                angles.append(math.atan2(ay + t * dy, ax + t * dx) % (2 * math.pi))
    return sorted(angles)


def reach_along(segs, c, angle):
    """Farthest point of the outline on the ray from c at the angle."""
    ux, uy = math.cos(angle), math.sin(angle)
    best = 0.0
    for a, b in segs:
        ax, ay = a[0] - c[0], a[1] - c[1]
        bx, by = b[0] - c[0], b[1] - c[1]
        den = (bx - ax) * uy - (by - ay) * ux
        if den == 0:
            continue
        t = (ay * ux - ax * uy) / den
        if 0 <= t <= 1:
            px, py = ax + t * (bx - ax), ay + t * (by - ay)
            along = px * ux + py * uy
            if along > 0:
                best = max(best, along)
    return best


def widths(segs, c, r):
    angles = circle_crossings(segs, c, r)
    result = []
    for i, a in enumerate(angles):
        b = angles[(i + 1) % len(angles)]
        span = (b - a) % (2 * math.pi)
        if span < 1e-9:
            continue
        # Beside the middle: a ray through a vertex may slip between its two pieces.
        if max(reach_along(segs, c, a + f * span) for f in (0.4, 0.6)) > r:
            result.append(span * r)
    return result


def cells_of(seg, size):
    (x1, y1), (x2, y2) = seg
    for i in range(int(math.floor(min(x1, x2) / size)), int(math.floor(max(x1, x2) / size)) + 1):
        for j in range(int(math.floor(min(y1, y2) / size)),
                       int(math.floor(max(y1, y2) / size)) + 1):
            yield i, j


def cross(o, a, b):
    return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0])


def point_segment(p, a, b):
    dx, dy = b[0] - a[0], b[1] - a[1]
    q = dx * dx + dy * dy
    t = 0.0 if q == 0 else max(0.0, min(1.0, ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / q))
    return math.dist(p, (a[0] + t * dx, a[1] + t * dy))


def fit(segs1, segs2):
    """Crossings between the two outlines and their smallest distance, with a grid of cells so
    that only neighbouring pieces are compared."""
    xs = [p[0] for s in segs1 + segs2 for p in s]
    ys = [p[1] for s in segs1 + segs2 for p in s]
    size = max(max(xs) - min(xs), max(ys) - min(ys)) / 200 or 1.0
    grid = {}
    for k, s in enumerate(segs2):
        for cell in cells_of(s, size):
            grid.setdefault(cell, []).append(k)
    crossings = 0
    gap = math.inf
    for a, b in segs1:
        near = set()
        for i, j in cells_of((a, b), size):
            for di in (-1, 0, 1):
                for dj in (-1, 0, 1):
                    near.update(grid.get((i + di, j + dj), ()))
        for k in near:
            c, d = segs2[k]
            d1, d2 = cross(a, b, c), cross(a, b, d)
            d3, d4 = cross(c, d, a), cross(c, d, b)
            if d1 * d2 < 0 and d3 * d4 < 0:
                crossings += 1
            gap = min(gap, point_segment(a, c, d), point_segment(b, c, d), point_segment(c, a, b),
                      point_segment(d, a, b))
    return crossings, gap


def rack(doc):
    msp = doc.modelspace()
    arcs = [e for e in msp if e.dxftype() == "ARC"]
    if not arcs:
        return None
    layer = arcs[0].dxf.layer
    polys = []
    for e in msp:
        if e.dxf.layer == layer:
            polys += curves(e)
    ys = [p[1] for pts in polys for p in pts]
    xs = []
    for a, b in segments(polys):
        if (a[1] > 0) != (b[1] > 0):
            xs.append(a[0] + (b[0] - a[0]) * (0 - a[1]) / (b[1] - a[1]))
    left = max((x for x in xs if x < 0), default=math.nan)
    right = min((x for x in xs if x > 0), default=math.nan)
    return min(ys), max(ys), right - left


def text_corners(e):
    h = e.dxf.height
    length = len(e.dxf.text) * h * e.dxf.get("width", 1.0)
    a = math.radians(e.dxf.get("rotation", 0.0))
    p = e.dxf.insert
    ux, uy = math.cos(a), math.sin(a)
    return [(p.x + ux * s - uy * t, p.y + uy * s + ux * t) for s in (0, length) for t in (0, h)]


def texts(doc, centre, radius):
    lo, hi = doc.header["$EXTMIN"], doc.header["$EXTMAX"]
    count = over = outside = 0
    for e in doc.modelspace():
        if e.dxftype() != "TEXT" or not e.dxf.text.strip():
            continue
        count += 1
        corners = text_corners(e)
        xs = [c[0] for c in corners]
        ys = [c[1] for c in corners]
        # Nearest point of the (unturned) box to the centre: within the circle means over it.
        nx = min(max(centre[0], min(xs)), max(xs))
        ny = min(max(centre[1], min(ys)), max(ys))
        if math.dist((nx, ny), centre) < radius:
            over += 1
        if min(xs) < lo[0] - 1e-6 or max(xs) > hi[0] + 1e-6 or min(ys) < lo[1] - 1e-6 or \
                max(ys) > hi[1] + 1e-6:
            outside += 1
    return count, over, outside


def main():
    args = sys.argv[1:]
    try:
        doc = ezdxf.readfile(args[0])
    except Exception as exc:  # any failure to read is the writer's fault
        print("UNREADABLE\t%s" % exc)
        return 2
    radii = []
    want_rack = False
    want_texts = False
    i = 1
    while i < len(args):
        if args[i] == "--radius":
            radii.append((int(args[i + 1]), float(args[i + 2])))
            i += 3
        elif args[i] == "--texts":
            want_texts = True
            i += 1
        elif args[i] == "--rack":
            want_rack = True
            i += 1
        else:
            i += 1
    parts = {}
    walk(doc, doc.modelspace(), Matrix44(), 0, parts)
    centres = {}
    for p in sorted(parts):
        segs = segments(parts[p])
        c = centre_of(parts[p])
        centres[p] = c
        dist = [math.dist(c, q) for s in segs for q in s]
        print("PART\t%d\t%d\t%.6f\t%.6f\t%.6f\t%.6f" % (p, len(segs), c[0], c[1], min(dist),
                                                         max(dist)))
    for p, r in radii:
        if p not in parts:
            continue
        w = widths(segments(parts[p]), centres[p], r)
        if w:
            print("WIDTH\t%d\t%.6f\t%d\t%.6f\t%.6f\t%.6f" % (p, r, len(w), sum(w) / len(w), min(w),
                                                          max(w)))
        else:
            print("WIDTH\t%d\t%.6f\t0\tnan\tnan\tnan" % (p, r))
    if 1 in parts and 2 in parts:
        crossings, gap = fit(segments(parts[1]), segments(parts[2]))
        print("FIT\t%d\t%.6f" % (crossings, gap))
    if want_texts:
        c, radius = (0.0, 0.0), 0.0
        if parts:
            c = centres[min(parts)]
            radius = max(math.dist(c, q) for p in parts for s in segments(parts[p]) for q in s)
        print("TEXTS\t%d\t%d\t%d" % texts(doc, c, radius))
    if want_rack:
        r = rack(doc)
        if r:
            print("RACK\t%.6f\t%.6f\t%.6f" % r)
    return 0


if __name__ == "__main__":
    sys.exit(main())
