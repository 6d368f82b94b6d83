#!/usr/bin/python3
"""Reads a DXF file with ezdxf as strictly as it can and reports every fault a CAD program
would trip over. With --dump, prints the drawing's entities one per line for comparison
with the same drawing in other formats.

Exit codes: 0 clean, 1 faults found, 2 unreadable, 77 ezdxf missing."""
import collections
import math
import sys

try:
    import ezdxf
    from ezdxf.audit import AuditError
except ImportError:
    print("ezdxf missing")
    sys.exit(77)

# Repairs that audit() makes quietly but that mean our writer produced a broken reference.
OURS = {
    AuditError.UNDEFINED_LINETYPE,
    AuditError.UNDEFINED_TEXT_STYLE,
    AuditError.UNDEFINED_BLOCK,
    AuditError.INVALID_BLOCK_REFERENCE_CYCLE,
    AuditError.MISSING_REQUIRED_SEQEND,
    AuditError.INVALID_LAYER_NAME,
    AuditError.INVALID_COLOR_INDEX,
    AuditError.INVALID_VERTEX_COUNT,
}


def num(v):
    return "%.6f" % (0.0 if abs(v) < 5e-7 else v)


def dump_entity(container, e, out, explode):
    t = e.dxftype()
    if t == "LINE":
        out.append([container, "LINE", e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y])
    elif t == "CIRCLE":
        out.append([container, "CIRCLE", e.dxf.center.x, e.dxf.center.y, e.dxf.radius])
    elif t == "ARC":
        c, r = e.dxf.center, e.dxf.radius
        a1, a2 = math.radians(e.dxf.start_angle), math.radians(e.dxf.end_angle)
        out.append([container, "ARC", c.x, c.y, r, c.x + r * math.cos(a1), c.y + r * math.sin(a1),
                    c.x + r * math.cos(a2), c.y + r * math.sin(a2)])
    elif t == "TEXT":
        out.append([container, "TEXT", e.dxf.insert.x, e.dxf.insert.y, e.dxf.text])
    elif t == "SOLID":
        # The outline of a SOLID runs through its corners 1, 2, 4, 3.
        pts = [e.dxf.vtx0, e.dxf.vtx1, e.dxf.vtx3, e.dxf.vtx2]
        out.append([container, "OUTLINE"] + [c for p in pts for c in (p.x, p.y)])
    elif t == "INSERT":
        out.append([container, "INSERT", e.dxf.name.upper(), e.dxf.insert.x, e.dxf.insert.y,
                    e.dxf.rotation, e.dxf.xscale, e.dxf.yscale])
    elif t == "POLYLINE":
        if explode:
            for v in e.virtual_entities():
                dump_entity(container, v, out, explode)
        else:
            out.append([container, "POLYLINE", len(e.vertices)])
    else:
        out.append([container, t])


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    dump = "--dump" in sys.argv
    explode = "--explode" in sys.argv
    try:
        doc = ezdxf.readfile(args[0], errors="strict")
    except Exception as exc:  # DXFStructureError, UnicodeDecodeError, IOError
        print("unreadable:", type(exc).__name__, exc)
        return 2
    auditor = doc.audit()
    bad = ["audit error %s: %s" % (e.code, e.message) for e in auditor.errors]
    bad += ["audit fix %s: %s" % (f.code, f.message) for f in auditor.fixes if f.code in OURS]
    layers = {layer.dxf.name.upper() for layer in doc.layers}
    msp = doc.modelspace()
    spaces = [("@", msp)]
    for block in doc.blocks:
        if block.name.upper() in ("$MODEL_SPACE", "$PAPER_SPACE", "*MODEL_SPACE", "*PAPER_SPACE"):
            continue
        spaces.append((block.name.upper(), block))
    for name, space in spaces:
        for e in space:
            if e.dxf.layer.upper() not in layers:
                bad.append("undefined layer %r in %s %s" % (e.dxf.layer, name, e.dxftype()))
            if e.dxftype() == "POLYLINE":
                for v in e.vertices:
                    if v.dxf.layer.upper() not in layers:
                        bad.append("undefined layer %r on a vertex" % v.dxf.layer)
    counts = collections.Counter(e.dxftype() for e in msp)
    print("version", doc.dxfversion, "entities", dict(sorted(counts.items())))
    for b in bad:
        print("FAULT", b)
    if "--extents" in sys.argv:
        from ezdxf import bbox
        ext = bbox.extents(msp)
        print("extents %.6f %.6f %.6f %.6f" % (ext.extmin.x, ext.extmin.y, ext.extmax.x, ext.extmax.y))
    if dump:
        out = []
        for name, space in spaces:
            for e in space:
                dump_entity(name, e, out, explode)
        for row in out:
            print("ENTITY\t" + "\t".join(num(v) if isinstance(v, float) else str(v) for v in row))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
