#!/usr/bin/env python3
"""Draws docs/images/report-quantities.svg: where tenso-report's ReH, ReL, Rp0.2, Agt, Ag, At and A
lie on a stress-strain curve. Schematic (the elastic part is widened so that it can be seen).
Run from anywhere:  python3 docs/images/report_quantities.py"""
import math
import os

W, H, PAD = 380, 280, 40
SLOPE = 9.0  # pixels of stress per pixel of strain on the elastic line (schematic)


def px(x, y, left):
    return left + PAD + x, H - PAD - y


def path(points, left):
    return " ".join(f"{'M' if k == 0 else 'L'}{px(x, y, left)[0]:.1f},{px(x, y, left)[1]:.1f}"
                    for k, (x, y) in enumerate(points))


def text(x, y, s, left, anchor="start", dy=0):
    X, Y = px(x, y, left)
    return f'<text x="{X:.1f}" y="{Y + dy:.1f}" text-anchor="{anchor}">{s}</text>'


def line(a, b, left, cls):
    (x1, y1), (x2, y2) = px(*a, left), px(*b, left)
    return f'<line x1="{x1:.1f}" y1="{y1:.1f}" x2="{x2:.1f}" y2="{y2:.1f}" class="{cls}"/>'


def dot(x, y, left):
    X, Y = px(x, y, left)
    return f'<circle cx="{X:.1f}" cy="{Y:.1f}" r="3.5"/>'


def axes(left, title):
    out = [line((0, 0), (W - 2 * PAD + 10, 0), left, "axis"), line((0, 0), (0, H - 2 * PAD + 10), left, "axis")]
    out.append(text(W - 2 * PAD + 10, 0, "strain", left, "end", 16))
    out.append(text(-6, H - 2 * PAD, "R", left, "end"))
    out.append(text((W - 2 * PAD) / 2, H - 2 * PAD + 14, title, left, "middle"))
    return out


def yield_point_panel(left):
    reh, rel, rm, rf = 150.0, 128.0, 185.0, 150.0
    ey = reh / SLOPE
    pts = [(0, 0), (ey, reh), (ey + 2, 124), (ey + 5, 134)]
    x = ey + 5
    for k in range(6):  # serrations of the plateau
        x += 4
        pts += [(x, 129 + (k % 2)), (x + 2, 134)]
        x += 2
    x_end = x
    xm = 190.0
    for k in range(1, 21):
        t = k / 20
        pts.append((x_end + (xm - x_end) * t, 134 + (rm - 134) * (1 - (1 - t) ** 2.5)))
    xf = 270.0
    for k in range(1, 11):
        t = k / 10
        pts.append((xm + (xf - xm) * t, rm - (rm - rf) * t ** 1.8))
    pts += [(xf + 3, 20), (xf + 5, 0)]
    out = axes(left, "with a yield point")
    out.append(f'<path d="{path(pts, left)}" class="curve"/>')
    out += [dot(ey, reh, left), text(ey - 4, reh + 6, "ReH", left, "end")]
    out += [dot(ey + 2, 124, left), text(ey + 16, 112, "first minimum: left out", left, "start")]
    out += [dot(ey + 11, 129, left), text(ey + 14, 142, "ReL (lowest of the rest)", left, "start")]
    out += [dot(xm, rm, left), text(xm, rm + 8, "Rm", left, "middle")]
    out += [line((xm, rm), (xm, 0), left, "guide"), text(xm, 0, "Agt", left, "middle", 14)]
    out += [line((xm, rm), (xm - rm / SLOPE, 0), left, "elastic"), text(xm - rm / SLOPE - 2, 0, "Ag", left, "end", 14)]
    out += [dot(xf, rf, left), text(xf + 4, rf + 6, "Rf", left, "start")]
    out += [line((xf, rf), (xf, 0), left, "guide"), text(xf + 2, 0, "At", left, "start", 14)]
    out += [line((xf, rf), (xf - rf / SLOPE, 0), left, "elastic"), text(xf - rf / SLOPE - 2, 0, "A", left, "end", 14)]
    return out


def continuous_panel(left):
    e, rp, n = SLOPE, 140.0, 8.0
    pts = []
    for k in range(0, 121):
        r = 1.6 * k
        x = r / e + 40 * (r / rp) ** n
        if x > 270:
            break
        pts.append((x, r))
    offset = 40 * 1.0  # the plastic strain where the shifted line starts, "0.2 %" in the picture
    out = axes(left, "continuous yielding")
    out.append(f'<path d="{path(pts, left)}" class="curve"/>')
    out.append(line((offset, 0), (offset + 185 / e, 185), left, "elastic"))
    out.append(text(offset, 0, "0.2 %", left, "middle", 14))
    # where the curve meets the shifted line
    r = min((abs(x - (offset + r / e)), r) for x, r in pts)[1]
    out += [dot(r / e + 40 * (r / rp) ** n, r, left), text(r / e + 40 * (r / rp) ** n + 6, r - 14, "Rp0.2", left)]
    out.append(text(offset + 110 / e + 4, 110, "slope E", left, "start"))
    return out


def main():
    body = yield_point_panel(0) + continuous_panel(W)
    svg = f"""<svg xmlns="http://www.w3.org/2000/svg" width="{2 * W}" height="{H + 20}" viewBox="0 0 {2 * W} {H + 20}">
<style>
  text {{ font: 12px sans-serif; fill: #222; }}
  .axis {{ stroke: #222; stroke-width: 1.2; }}
  .curve {{ fill: none; stroke: #1f5fa8; stroke-width: 2; }}
  .guide {{ stroke: #888; stroke-dasharray: 4 3; }}
  .elastic {{ stroke: #c0392b; stroke-dasharray: 6 3; }}
  circle {{ fill: #c0392b; }}
</style>
<rect width="100%" height="100%" fill="white"/>
{chr(10).join(body)}
</svg>
"""
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "report-quantities.svg"), "w") as f:
        f.write(svg)


if __name__ == "__main__":
    main()
