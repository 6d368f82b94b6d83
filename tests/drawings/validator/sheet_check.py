#!/usr/bin/python3
"""Reads a drawing sheet written as DXF with ezdxf, as strictly as it can, and prints what it
holds so that a test can compare it with what the program drew.

Output lines (tab-separated): HEADER extmin/extmax, BBOX of the model space, FAULT lines,
then one line per entity: SPACE name, kind and its values (lines as x1 y1 x2 y2, texts as x y
text, inserts as name x y).

Exit codes: 0 clean, 1 faults found, 2 unreadable, 77 ezdxf missing."""
import sys

try:
    import ezdxf
    from ezdxf import bbox
    from ezdxf.audit import AuditError
except ImportError:
    print("ezdxf missing")
    sys.exit(77)

# Quiet repairs of audit() that mean the writer produced a broken reference.
BROKEN = {
    AuditError.UNDEFINED_LINETYPE,
    AuditError.UNDEFINED_TEXT_STYLE,
    AuditError.UNDEFINED_BLOCK,
    AuditError.INVALID_BLOCK_REFERENCE_CYCLE,
    AuditError.MISSING_REQUIRED_SEQEND,
    AuditError.INVALID_LAYER_NAME,
    AuditError.INVALID_COLOR_INDEX,
    AuditError.INVALID_VERTEX_COUNT,
}


def fmt(v):
    return "%.4f" % (0.0 if abs(v) < 5e-5 else v)


def entity_row(e):
    t = e.dxftype()
    if t == "LINE":
        s, n = e.dxf.start, e.dxf.end
        return ["LINE", fmt(s.x), fmt(s.y), fmt(n.x), fmt(n.y)]
    if t == "TEXT":
        p = e.dxf.insert
        return ["TEXT", fmt(p.x), fmt(p.y), e.dxf.text]
    if t == "INSERT":
        p = e.dxf.insert
        return ["INSERT", e.dxf.name.upper(), fmt(p.x), fmt(p.y)]
    return [t]


def main():
    try:
        doc = ezdxf.readfile(sys.argv[1], errors="strict")
    except Exception as exc:
        print("unreadable:", type(exc).__name__, exc)
        return 2
    auditor = doc.audit()
    faults = ["audit error %s: %s" % (e.code, e.message) for e in auditor.errors]
    faults += ["audit fix %s: %s" % (f.code, f.message) for f in auditor.fixes if f.code in BROKEN]
    layers = {layer.dxf.name.upper() for layer in doc.layers}
    spaces = [("@", doc.modelspace())]
    for block in doc.blocks:
        if block.name.upper() in ("$MODEL_SPACE", "$PAPER_SPACE", "*MODEL_SPACE", "*PAPER_SPACE"):
            continue
        spaces.append((block.name.upper(), block))
    rows = []
    for name, space in spaces:
        for e in space:
            if e.dxf.layer.upper() not in layers:
                faults.append("undefined layer %r in %s" % (e.dxf.layer, name))
            rows.append(["ENTITY", name] + entity_row(e))
    header = doc.header
    if "$EXTMIN" in header and "$EXTMAX" in header:
        lo, hi = header["$EXTMIN"], header["$EXTMAX"]
        print("HEADER\t%s\t%s\t%s\t%s" % (fmt(lo[0]), fmt(lo[1]), fmt(hi[0]), fmt(hi[1])))
    ext = bbox.extents(doc.modelspace())
    if ext.has_data:
        print("BBOX\t%s\t%s\t%s\t%s" % (fmt(ext.extmin.x), fmt(ext.extmin.y), fmt(ext.extmax.x),
                                        fmt(ext.extmax.y)))
    for f in faults:
        print("FAULT\t" + f)
    for r in rows:
        print("\t".join(r))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
