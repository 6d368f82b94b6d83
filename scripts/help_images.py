#!/usr/bin/env python3
"""Draws the help pictures of data/ as HP-GL/2 files: the start picture, "null" (an entry
without a picture of its own), the joint with its diameters, the measurement over and between
balls, the span measurement and the tool profile. The help window is 160 x 120 mm; HP-GL
plotter units are 0.025 mm. Run it from the repository to write the files again:
    python3 scripts/help_images.py data
"""
import math
import os
import sys

UNIT = 40  # plotter units per mm
OUTLINE, DIMENSION, BALL = 5, 1, 6  # pens: blue outlines, red dimensions, magenta balls


class Picture:
    def __init__(self):
        self.out = ["IN;"]

    def pen(self, n):
        self.out.append(f"SP{n};")

    @staticmethod
    def _xy(p):
        return f"{round(p[0] * UNIT)},{round(p[1] * UNIT)}"

    def line(self, points):
        self.out.append(f"PU{self._xy(points[0])};")
        self.out.append("PD" + ",".join(self._xy(p) for p in points[1:]) + ";")

    def circle(self, centre, r):
        self.out.append(f"PU{self._xy(centre)};CI{round(r * UNIT)};")

    def arc(self, centre, r, start_deg, sweep_deg):
        a = math.radians(start_deg)
        start = (centre[0] + r * math.cos(a), centre[1] + r * math.sin(a))
        self.out.append(f"PU{self._xy(start)};PD;AA{self._xy(centre)},{sweep_deg:g};PU;")

    def dashed_arc(self, centre, r, start_deg, end_deg, dash_deg=1.5):
        a = start_deg
        while a < end_deg:
            self.arc(centre, r, a, min(dash_deg, end_deg - a))
            a += 2 * dash_deg

    def text(self, x, y, text, height=3.5):
        width = height * 0.7
        self.out.append(f"SI{width / 10:g},{height / 10:g};PU{self._xy((x, y))};LB{text}\x03")

    def arrow(self, a, b):
        """Dimension line from a to b with arrow heads at both ends."""
        self.line([a, b])
        for tip, tail in ((a, b), (b, a)):
            dx, dy = tail[0] - tip[0], tail[1] - tip[1]
            length = math.hypot(dx, dy) or 1.0
            ux, uy = dx / length, dy / length
            for side in (1, -1):
                px = tip[0] + 2.5 * ux - side * 0.9 * uy
                py = tip[1] + 2.5 * uy + side * 0.9 * ux
                self.line([(px, py), tip])

    def save(self, path):
        with open(path, "w", newline="\n") as f:
            f.write("\n".join(self.out) + "\nSP0;\n")


def polar(centre, r, deg):
    a = math.radians(deg)
    return (centre[0] + r * math.cos(a), centre[1] + r * math.sin(a))


def shaft_teeth(p, c, z, rf, rff, ra, first_deg, last_deg, root_half, tip_half):
    """External teeth between two angles: root arc, fillet, straight flank, tip arc."""
    pitch = 360.0 / z
    k = math.ceil((first_deg - last_deg) / pitch)
    centres = []
    t = 90.0 - pitch * math.floor((90.0 - first_deg) / pitch)
    while t <= last_deg:
        centres.append(t)
        t += pitch
    for t in centres:
        left, right = t + root_half, t - root_half
        p.line([polar(c, rf, right), polar(c, rff, right), polar(c, ra, t - tip_half)])
        p.arc(c, ra, t - tip_half, 2 * tip_half)
        p.line([polar(c, ra, t + tip_half), polar(c, rff, left), polar(c, rf, left)])
    for a, b in zip(centres, centres[1:]):
        p.arc(c, rf, a + root_half, b - a - 2 * root_half)
    return centres


def full_shaft(p, c, z, rf, rff, ra, root_half, tip_half, offset=0.0):
    pitch = 360.0 / z
    for i in range(z):
        t = offset + i * pitch
        left, right = t + root_half, t - root_half
        p.line([polar(c, rf, right), polar(c, rff, right), polar(c, ra, t - tip_half)])
        p.arc(c, ra, t - tip_half, 2 * tip_half)
        p.line([polar(c, ra, t + tip_half), polar(c, rff, left), polar(c, rf, left)])
        p.arc(c, rf, left, pitch - 2 * root_half)


def full_hub(p, c, z, rf, rff, ra, root_half, tip_half, offset=0.0):
    """Internal teeth pointing to the centre: tip at ra (inner), root at rf (outer)."""
    pitch = 360.0 / z
    for i in range(z):
        t = offset + i * pitch
        p.line([polar(c, rf, t - root_half), polar(c, rff, t - root_half),
                polar(c, ra, t - tip_half)])
        p.arc(c, ra, t - tip_half, 2 * tip_half)
        p.line([polar(c, ra, t + tip_half), polar(c, rff, t + root_half),
                polar(c, rf, t + root_half)])
        p.arc(c, rf, t + root_half, pitch - 2 * root_half)


def start_picture():
    p = Picture()
    c = (100, 58)
    p.pen(OUTLINE)
    full_shaft(p, c, 16, 30, 31.0, 37, 6.0, 3.5)
    full_hub(p, c, 16, 39, 38.0, 32, 6.5, 4.5, offset=11.25)
    p.circle(c, 48)
    p.circle(c, 12)
    p.pen(DIMENSION)
    p.line([(c[0] - 54, c[1]), (c[0] + 54, c[1])])
    p.line([(c[0], c[1] - 54), (c[0], c[1] + 54)])
    p.text(8, 100, "VUKO", 9)
    p.text(8, 90, "involute spline", 4)
    p.text(8, 84, "shaft and hub", 4)
    return p


def null_picture():
    p = Picture()
    p.pen(OUTLINE)
    p.line([(10, 10), (150, 10), (150, 110), (10, 110), (10, 10)])
    p.text(58, 58, "no image", 5)
    return p


def joint_picture():
    p = Picture()
    c = (80, -90)
    scale = 0.85
    rf1, rff1, r, ra1 = (scale * v for v in (175, 178, 185, 193))
    ra2, rff2, rf2 = (scale * v for v in (180, 194.5, 197))
    rball = scale * 186.5
    p.pen(OUTLINE)
    centres = shaft_teeth(p, c, 48, rf1, rff1, ra1, 72, 108, 2.3, 1.2)
    pitch = 7.5
    for t in [x + pitch / 2 for x in centres[:-1]]:
        p.line([polar(c, rf2, t - 2.3), polar(c, rff2, t - 2.3), polar(c, ra2, t - 1.4)])
        p.arc(c, ra2, t - 1.4, 2.8)
        p.line([polar(c, ra2, t + 1.4), polar(c, rff2, t + 2.3), polar(c, rf2, t + 2.3)])
    for a, b in zip(centres[:-1], centres[1:-1]):
        p.arc(c, rf2, a + pitch / 2 + 2.3, pitch - 4.6)
    p.pen(BALL)
    p.circle(polar(c, rball, centres[2] + pitch / 2), 2.2)
    p.pen(DIMENSION)
    right = [("df1", rf1), ("da2", ra2), ("da1", ra1)]
    left = [("dFf1", rff1), ("d", r), ("df2", rf2)]
    for name, radius in right:
        p.dashed_arc(c, radius, 66, 72)
        x, y = polar(c, radius, 66)
        p.text(x + 1.5, y - 1.5, name)
    for name, radius in left:
        p.dashed_arc(c, radius, 108, 114)
        x, y = polar(c, radius, 114)
        p.text(x - 4.0 - 2.5 * len(name), y - 1.5, name)
    p.dashed_arc(c, r, 72, 108, 0.8)
    bx, by = polar(c, rball, centres[2] + pitch / 2)
    p.line([(bx + 2, by + 2), (bx + 14, by + 24)])
    p.text(bx + 15, by + 24, "DM")
    p.text(8, 112, "Spline joint: shaft 1, hub 2", 4)
    p.text(8, 30, "d    reference diameter", 3)
    p.text(8, 25, "da   tip diameter", 3)
    p.text(8, 20, "df   root diameter", 3)
    p.text(8, 15, "dFf  form diameter (end of the involute)", 3)
    p.text(8, 10, "DM   measuring ball", 3)
    return p


def balls_picture():
    p = Picture()
    shaft, hub = (42, 58), (118, 58)
    ball = 2.8
    p.pen(OUTLINE)
    full_shaft(p, shaft, 12, 20, 21, 26, 6.5, 3.5, offset=15)
    p.circle(shaft, 6)
    full_hub(p, hub, 12, 27, 26, 21, 6.5, 3.5, offset=15)
    p.circle(hub, 34)
    p.pen(BALL)
    outer = 24.0
    inner = 23.6
    for side in (0, 180):
        p.circle(polar(shaft, outer, side), ball)
        p.circle(polar(hub, inner, side), ball)
    p.pen(DIMENSION)
    m1 = outer + ball
    top = shaft[1] + 36
    for sx in (-1, 1):
        x = shaft[0] + sx * m1
        p.line([(x, shaft[1] + 3), (x, top + 2)])
    p.arrow((shaft[0] - m1, top), (shaft[0] + m1, top))
    p.text(shaft[0] - 3, top + 2, "M1")
    m2 = inner - ball
    low = hub[1] - 44
    for sx in (-1, 1):
        x = hub[0] + sx * m2
        p.line([(x, hub[1] - 3), (x, low - 2)])
    p.arrow((hub[0] - m2, low), (hub[0] + m2, low))
    p.text(hub[0] - 3, low + 2, "M2")
    bx, by = polar(shaft, outer, 0)
    p.line([(bx + 2, by - 2), (bx + 10, by - 18)])
    p.text(bx + 10, by - 22, "DM")
    p.text(8, 112, "Dimension over balls M1 (shaft), between balls M2 (hub)", 3.5)
    p.text(8, 6, "DM  ball diameter", 3)
    return p


def span_picture():
    p = Picture()
    c = (80, -45)
    rf, rff, r, ra = 95, 97, 100, 106
    p.pen(OUTLINE)
    centres = shaft_teeth(p, c, 24, rf, rff, ra, 45, 135, 5.2, 2.6)
    p.pen(DIMENSION)
    spanned = [75, 90, 105]
    # The jaws touch the outer flanks of the first and last tooth spanned near the pitch circle.
    half = 5.2 - (5.2 - 2.6) * (r - rff) / (ra - rff)
    xl, yl = polar(c, r, spanned[-1] + half)
    xr, yr = polar(c, r, spanned[0] - half)
    for x, y in ((xl, yl), (xr, yr)):
        p.line([(x, y - 14), (x, y + 22)])
    top = max(yl, yr) + 18
    p.arrow((xl, top), (xr, top))
    p.text((xl + xr) / 2 - 2, top + 2, "W")
    for number, t in enumerate(reversed(spanned), start=1):
        x, y = polar(c, rf - 7, t)
        p.text(x - 1, y - 2, str(number), 3)
    p.text(72, 30, "k = 3", 4)
    p.text(8, 112, "Span measurement W over k teeth (shaft)", 3.5)
    p.text(8, 8, "k  number of teeth spanned", 3)
    return p


def tool_picture():
    p = Picture()
    ref = 60.0  # reference line
    ha, hf = 12.0, 9.0  # tool addendum (down to the tip) and dedendum
    pitch = 40.0
    first = 17.0  # centre of the first tooth
    alpha = 30.0
    rho = 3.0
    t = math.tan(math.radians(alpha))
    p.pen(OUTLINE)
    points = []
    for i in range(4):
        x0 = first + i * pitch  # tooth centre
        tip_half = pitch / 4 - ha * t
        root_half = pitch / 4 + hf * t
        points += [(x0 - root_half, ref + hf), (x0 - tip_half, ref - ha),
                   (x0 + tip_half, ref - ha), (x0 + root_half, ref + hf)]
    p.line(points)
    p.line([(points[0][0], ref + hf), (points[0][0], ref + hf + 14),
            (points[-1][0], ref + hf + 14), (points[-1][0], ref + hf)])
    p.pen(DIMENSION)
    p.line([(4, ref), (156, ref)])
    p.text(146, ref - 4.5, "ref.", 3)
    x0 = first + 2 * pitch
    tip_half = pitch / 4 - ha * t
    # The tip rounding with its radius.
    corner = (x0 + tip_half, ref - ha)
    p.circle((corner[0] - rho * 0.6, corner[1] + rho), rho)
    p.line([(corner[0] - rho * 0.6, corner[1] + rho), (corner[0] + 14, corner[1] - 8)])
    p.text(corner[0] + 15, corner[1] - 10, "rhoaP0")
    xd = x0 + pitch / 2
    p.arrow((xd, ref), (xd, ref - ha))
    p.text(xd + 2, ref - ha / 2, "haP0")
    p.arrow((xd, ref), (xd, ref + hf))
    p.text(xd + 2, ref + hf / 2, "hfP0")
    # The pressure angle between the normal to the line and the flank.
    xf = x0 - pitch / 4
    p.line([(xf, ref), (xf, ref - 18)])
    p.arc((xf, ref), 14, 270, alpha)
    p.text(xf - 16, ref - 12, "alpha")
    p.arrow((first + pitch * 0.75, ref + hf + 20), (first + pitch * 1.75, ref + hf + 20))
    p.text(first + pitch * 1.25 - 2, ref + hf + 22, "p")
    p.text(8, 112, "Tool profile (basic rack), factors per module mn", 3.5)
    p.text(8, 14, "haP0  tool addendum: the root of the part", 3)
    p.text(8, 9, "hfP0  tool dedendum: the tip of the part", 3)
    p.text(8, 4, "rhoaP0  tip radius: the root fillet", 3)
    return p


PICTURES = {
    "joint": (joint_picture, "Spline joint: d, da, df, dFf, DM"),
    "balls": (balls_picture, "Dimension over and between balls M, DM"),
    "span": (span_picture, "Span measurement W over k teeth"),
    "tool": (tool_picture, "Tool profile haP0, hfP0, rhoaP0, alpha"),
    "start": (start_picture, "Start picture"),
    "null": (null_picture, "No image"),
}


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else "data"
    for name, (draw, _) in PICTURES.items():
        draw().save(os.path.join(target, name + ".plt"))
    with open(os.path.join(target, "vuko.dbh"), "w", newline="\n") as f:
        for name, (_, description) in PICTURES.items():
            if name != "null":
                f.write(f'"{name}","{description}"\n')


if __name__ == "__main__":
    main()
