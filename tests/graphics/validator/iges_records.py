#!/usr/bin/python3
"""Checks the record structure of an IGES file the way the fixed ASCII form defines it:
every record 80 columns, sections in the order S G D P T, sequence numbers consecutive per
section, the T record's counts, directory entries in pairs whose parameter pointer and line
count match the P records, P back pointers, colour numbers 0..8 or negative pointers.
With --dump prints the drawing's entities one per line for comparison with other formats;
with --explode as well, every subfigure instance is replaced by its definition's entities
placed, turned and scaled, as a reader that transfers the instances sees them.

Exit codes: 0 clean, 1 faults."""
import math
import sys


def read_records(path):
    faults = []
    records = []
    with open(path, "rb") as f:
        data = f.read()
    lines = data.split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    for n, raw in enumerate(lines, 1):
        line = raw.decode("latin-1")
        if line.endswith("\r"):
            line = line[:-1]
        if len(line) != 80:
            faults.append("line %d has %d columns" % (n, len(line)))
            continue
        letter = line[72]
        try:
            seq = int(line[73:80])
        except ValueError:
            faults.append("line %d: bad sequence number %r" % (n, line[73:80]))
            continue
        records.append((letter, seq, line))
    return records, faults


def check(path):
    records, faults = read_records(path)
    order = []
    sections = {}
    for letter, seq, line in records:
        if letter not in "SGDPT":
            faults.append("unknown section letter %r" % letter)
            continue
        if not order or order[-1] != letter:
            order.append(letter)
        sections.setdefault(letter, []).append((seq, line))
    if "".join(order) not in ("SGDPT", "SGT", "SGDT"):
        faults.append("section order %s" % "".join(order))
    for letter, recs in sections.items():
        for i, (seq, _) in enumerate(recs, 1):
            if seq != i:
                faults.append("%s record %d numbered %d" % (letter, i, seq))
                break
    t = sections.get("T", [])
    if len(t) != 1:
        faults.append("%d T records" % len(t))
    else:
        text = t[0][1]
        for i, letter in enumerate("SGDP"):
            field = text[i * 8:(i + 1) * 8]
            want = "%s%07d" % (letter, len(sections.get(letter, [])))
            if field != want:
                faults.append("T record says %s, file has %s" % (field, want))
    d = [line for _, line in sections.get("D", [])]
    p = [line for _, line in sections.get("P", [])]
    if len(d) % 2:
        faults.append("odd number of D records")
    entities = {}
    for i in range(0, len(d) - 1, 2):
        seq = i + 1
        f1 = [d[i][k * 8:(k + 1) * 8].strip() for k in range(9)]
        f2 = [d[i + 1][k * 8:(k + 1) * 8].strip() for k in range(9)]
        if f1[0] != f2[0]:
            faults.append("D%d: entity types differ" % seq)
        try:
            pointer, count = int(f1[1]), int(f2[3])
        except ValueError:
            faults.append("D%d: bad parameter pointer or count" % seq)
            continue
        colour = int(f2[2] or 0)
        if colour > 8:
            faults.append("D%d: colour number %d outside 0..8" % (seq, colour))
        if pointer < 1 or pointer + count - 1 > len(p) or count < 1:
            faults.append("D%d: parameter records %d+%d outside P section" % (seq, pointer, count))
            continue
        text = ""
        for k in range(pointer - 1, pointer - 1 + count):
            rec = p[k]
            if rec[64:72].strip() != str(seq):
                faults.append("P%d: back pointer %r, entity D%d" % (k + 1, rec[64:72].strip(), seq))
            if rec[64] != " ":
                faults.append("P%d: data beyond column 64" % (k + 1))
            text += rec[:64].rstrip()
        if not text.endswith(";"):
            faults.append("D%d: parameters not ended by ';'" % seq)
        entities[seq] = {"type": int(f1[0]), "form": int(f2[4] or 0), "matrix": int(f1[6] or 0),
                         "status": d[i][64:72], "params": parse_params(text, faults, seq)}
    covered = sum(int(d[i + 1][24:32]) for i in range(0, len(d) - 1, 2)) if d else 0
    if covered != len(p):
        faults.append("directory covers %d P records, file has %d" % (covered, len(p)))
    return faults, entities


def parse_params(text, faults, seq):
    """Splits a parameter text at ',' and ';', reading Hollerith strings whole."""
    params = []
    i = 0
    current = ""
    while i < len(text):
        c = text[i]
        if c in ",;":
            params.append(current)
            current = ""
            i += 1
            if c == ";":
                break
            continue
        if c == "H" and current.isdigit():
            n = int(current)
            params.append(("H", text[i + 1:i + 1 + n]))
            i += 1 + n
            current = None
            if i >= len(text) or text[i] not in ",;":
                faults.append("D%d: Hollerith length %d does not end at a delimiter" % (seq, n))
                return params
            end = text[i]
            i += 1
            current = ""
            if end == ";":
                current = None
                break
            continue
        current += c
        i += 1
    if current:
        params.append(current)
    return params


def num(v):
    return float(v.replace("D", "E")) if v else 0.0


def dump(entities):
    rows = []
    members = {}
    names = {}
    for seq, e in entities.items():
        if e["type"] == 308:
            pr = e["params"]
            names[seq] = pr[2][1].upper()
            for m in pr[4:4 + int(pr[3])]:
                members[int(m)] = names[seq]
    for seq, e in sorted(entities.items()):
        t, pr, where = e["type"], e["params"], members.get(seq, "@")
        if t == 110:
            rows.append([where, "LINE", num(pr[1]), num(pr[2]), num(pr[4]), num(pr[5])])
        elif t == 100:
            zc, xc, yc, x1, y1, x2, y2 = (num(v) for v in pr[1:8])
            r = math.hypot(x1 - xc, y1 - yc)
            if (x1, y1) == (x2, y2):
                rows.append([where, "CIRCLE", xc, yc, r])
            else:
                rows.append([where, "ARC", xc, yc, r, x1, y1, x2, y2])
        elif t == 106:
            n = int(pr[2])
            pts = [(num(pr[4 + 2 * k]), num(pr[5 + 2 * k])) for k in range(n)]
            if pts and pts[0] == pts[-1]:
                pts = pts[:-1]
            rows.append([where, "OUTLINE"] + [c for pt in pts for c in pt])
        elif t == 212:
            rows.append([where, "TEXT", num(pr[10]), num(pr[11]), pr[13][1]])
        elif t == 408:
            x, y, s = num(pr[2]), num(pr[3]), num(pr[5]) if len(pr) > 5 else 1.0
            angle = 0.0
            if e["matrix"]:
                m = [num(v) for v in entities[e["matrix"]]["params"][1:13]]
                x, y = m[0] * x + m[1] * y + m[3], m[4] * x + m[5] * y + m[7]
                angle = math.degrees(math.atan2(m[4], m[0]))
            rows.append([where, "INSERT", names.get(int(pr[1]), "?"), x, y, angle, s, s])
    return rows


def explode(entities):
    """Rows of the top-level entities with every instance resolved, all in world coordinates."""
    members = {}
    for seq, e in entities.items():
        if e["type"] == 308:
            pr = e["params"]
            members[seq] = [int(m) for m in pr[4:4 + int(pr[3])]]
    inside = {m for ms in members.values() for m in ms}
    rows = []

    def apply(t, x, y):
        return t[0] * x + t[1] * y + t[4], t[2] * x + t[3] * y + t[5]

    def compose(a, b):  # a after b
        return (a[0] * b[0] + a[1] * b[2], a[0] * b[1] + a[1] * b[3],
                a[2] * b[0] + a[3] * b[2], a[2] * b[1] + a[3] * b[3],
                a[0] * b[4] + a[1] * b[5] + a[4], a[2] * b[4] + a[3] * b[5] + a[5])

    def emit(seq, t, depth):
        e = entities[seq]
        pr = e["params"]
        scale = math.sqrt(abs(t[0] * t[3] - t[1] * t[2]))
        if e["type"] == 408:
            x, y = num(pr[2]), num(pr[3])
            s = num(pr[5]) if len(pr) > 5 and pr[5] else 1.0
            inst = (s, 0.0, 0.0, s, x, y)
            if e["matrix"]:
                m = [num(v) for v in entities[e["matrix"]]["params"][1:13]]
                inst = compose((m[0], m[1], m[4], m[5], m[3], m[7]), inst)
            if depth < 32:
                for m in members.get(int(pr[1]), []):
                    emit(m, compose(t, inst), depth + 1)
            return
        for row in dump({seq: e}):
            kind, v = row[1], row[2:]
            if kind in ("LINE",):
                p1, p2 = apply(t, v[0], v[1]), apply(t, v[2], v[3])
                rows.append(["@", kind, p1[0], p1[1], p2[0], p2[1]])
            elif kind == "CIRCLE":
                c = apply(t, v[0], v[1])
                rows.append(["@", kind, c[0], c[1], v[2] * scale])
            elif kind == "ARC":
                c, p1, p2 = apply(t, v[0], v[1]), apply(t, v[3], v[4]), apply(t, v[5], v[6])
                rows.append(["@", kind, c[0], c[1], v[2] * scale, p1[0], p1[1], p2[0], p2[1]])
            elif kind == "OUTLINE":
                pts = [apply(t, v[k], v[k + 1]) for k in range(0, len(v), 2)]
                rows.append(["@", kind] + [c for pt in pts for c in pt])
            elif kind == "TEXT":
                p1 = apply(t, v[0], v[1])
                rows.append(["@", kind, p1[0], p1[1], v[2]])

    for seq in sorted(entities):
        e = entities[seq]
        if seq in inside or e["type"] in (124, 308):
            continue
        emit(seq, (1.0, 0.0, 0.0, 1.0, 0.0, 0.0), 0)
    return rows


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    faults, entities = check(args[0])
    for f in faults:
        print("FAULT", f)
    print("entities", len(entities))
    if "--dump" in sys.argv and not faults:
        for row in explode(entities) if "--explode" in sys.argv else dump(entities):
            print("ENTITY\t" + "\t".join("%.6f" % v if isinstance(v, float) else str(v)
                                         for v in row))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
