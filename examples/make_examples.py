#!/usr/bin/env python3
"""Writes the example data files of examples/ (synthetic tensile tests, not measurements).

Each file has the format of Tenso's default settings: 5 header lines, then one record per line
with the strain in micro-strain in column 1 and the stress in MPa in column 2, CR LF line ends.
The curves are built from textbook material laws with the rates of a standard test (ISO 6892-1,
logged at 5 Hz), so that the window's defaults (Start 20, End 60, Offset 2000) give the elastic
modulus over the first, linear records and the 0.2 % offset strength:

  steel_s235jr.dat        mild steel: linear rise to an upper yield point, a drop to a serrated
                          Lueders plateau (the lower yield point), strain hardening, necking.
  aluminium_6082_t6.dat   precipitation-hardened aluminium: a sharp knee without a plateau
                          (Ramberg-Osgood), little hardening; columns separated by blanks.
  stainless_1_4301.dat    austenitic stainless steel: a gradual knee and strong hardening
                          (Ramberg-Osgood); a third column holds the test time in seconds.

The stress rises strictly until the maximum and never rises after it, except in the serrations
of the steel's plateau: the reader counts a valley wherever the stress rises again after a fall,
and the last valley is shown as the yield strength.

Beside them, exports as testing machines write them, for tenso-report (force or strain with
their units, any separator, no record limit):

  machine_steel_round.csv     mild steel, round specimen d0 = 10 mm, L0 = 50 mm: time (s),
                              extension (mm) and force (kN) under a names line; slack at the
                              start, a clear upper yield point, a serrated Lueders plateau.
  machine_steel_european.txt  S355 from a German machine: ';' and decimal commas, a Latin-1 header
                              (names line "Zeit;Kraft;Verl\xe4ngerung" and a units line), two
                              footer lines after the table.
  machine_aluminium_flat.tsv  aluminium, flat specimen 20 x 3 mm, L0 = 80 mm: TAB-separated,
                              strain in %, continuous yielding; one record lacks its force.
  machine_bluehill_style.csv  C45E, round: every value quoted, loads with thousands separators
                              ("19,798.6"), the specimen's name, material, diameter and gauge
                              length in lines above the table, the units in brackets.
  machine_zwick_style.TRA     DC04 sheet: quoted "key",value,"unit" lines in German and Latin-1
                              (thickness, width, gauge length and a grip length that is none),
                              the crosshead travel beside the extensometer's strain in %.
  specimens.csv               the geometry of the first three, before and after fracture, so that
                              one call evaluates them all (the last two say it in their header):
                              tenso-report --specimens specimens.csv machine_*

The output is deterministic (fixed random seeds). Run from anywhere:  python3 make_examples.py
"""

import math
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
RATE_HZ = 5.0
ELASTIC_STRAIN_RATE = 0.00025  # 1/s, through yield
PLASTIC_STRAIN_RATE = 0.0067   # 1/s, after yield


def strain_steps(start, end, strain_rate):
    """Micro-strain values from start (excluded) to end (included) at the logging rate."""
    step = strain_rate / RATE_HZ * 1e6
    n = max(1, round((end - start) / step))
    return [start + (end - start) * k / n for k in range(1, n + 1)]


def ramberg_osgood_stress(strain_ue, e_mpa, rp02, n):
    """The stress at a total strain of a Ramberg-Osgood curve, eps = s/E + 0.002 (s/Rp0.2)^n."""
    eps = strain_ue * 1e-6
    lo, hi = 0.0, rp02 * 10
    for _ in range(200):
        mid = (lo + hi) / 2
        if mid / e_mpa + 0.002 * (mid / rp02) ** n < eps:
            lo = mid
        else:
            hi = mid
    return (lo + hi) / 2


def ramberg_osgood_strain(stress, e_mpa, rp02, n):
    return (stress / e_mpa + 0.002 * (stress / rp02) ** n) * 1e6


def monotone(points, rising_until, free=range(0)):
    """Rounds to the file's resolution and keeps the stress strictly rising up to index
    rising_until and never rising after it; records with an index in free are left as they are."""
    out = []
    for i, (x, y) in enumerate(points):
        x, y = round(x, 1), round(y, 2)
        if out:
            px, py = out[-1]
            if x <= px:
                x = round(px + 0.1, 1)
            if i in free:
                pass
            elif i <= rising_until and y <= py:
                y = round(py + 0.01, 2)
            elif i > rising_until and y > py:
                y = py
        out.append((x, y))
    return out


def necking(rm, strain_u, strain_f, stress_f, strain_rate, power):
    return [(e, rm - (rm - stress_f) * ((e - strain_u) / (strain_f - strain_u)) ** power)
            for e in strain_steps(strain_u, strain_f, strain_rate)]


def fracture(last):
    x, y = last
    return [(x + 150.0, y * 0.45), (x + 210.0, y * 0.02)]


def steel():
    rnd = random.Random(235)
    e, reh, rel, rm = 210000.0, 318.0, 292.0, 445.0
    lueders_end, strain_u, strain_f = 19000.0, 170000.0, 270000.0
    points = []
    # Stress-controlled rise, 15 MPa/s; the last records before the upper yield point bend a little.
    stress = 0.0
    while stress + 3.0 <= reh:
        stress += 3.0
        s = stress + rnd.uniform(-0.4, 0.4)
        micro_plastic = 30.0 * max(0.0, (s - 0.9 * reh) / (0.1 * reh)) ** 2
        points.append((s / e * 1e6 + micro_plastic + rnd.uniform(-1.0, 1.0), s))
    # The drop from the upper yield point, then the serrated plateau at 0.00025 1/s.
    plateau_start = len(points)
    level = rel - 4.0
    top = rel + rnd.uniform(2.0, 5.0)
    for x in strain_steps(points[-1][0], lueders_end, ELASTIC_STRAIN_RATE):
        if level > top:
            level = rel - rnd.uniform(2.5, 4.5)
            top = rel + rnd.uniform(2.0, 5.0)
        else:
            level += rnd.uniform(0.6, 1.8)
        points.append((x, level))
    plateau = range(plateau_start, len(points))
    # Strain hardening from the plateau to the maximum at 0.0067 1/s.
    start = points[-1][1] + 0.5
    for x in strain_steps(lueders_end, strain_u, PLASTIC_STRAIN_RATE):
        t = (x - lueders_end) / (strain_u - lueders_end)
        points.append((x, start + (rm - start) * (1 - (1 - t) ** 2.6) + rnd.uniform(-0.1, 0.1)))
    top_index = len(points) - 1
    points += necking(rm, strain_u, strain_f, 330.0, PLASTIC_STRAIN_RATE, 1.8)
    points += fracture(points[-1])
    header = [
        "Tenso example: mild steel S235JR, flat specimen 20.0 x 5.0 mm, S0 = 100.0 mm2, L0 = 80 mm",
        "Synthetic curve made by examples/make_examples.py, not a measurement",
        "E 210 GPa; upper yield point 318 MPa, serrated Lueders plateau about 292 MPa, Rm 445 MPa",
        "Logged at 5 Hz: 15 MPa/s to yield, 0.00025 1/s to 1.9 % strain, then 0.0067 1/s",
        "Strain [micro-strain],Stress [MPa]",
    ]
    rows = [f"{x:.1f},{y:.2f}" for x, y in monotone(points, top_index, plateau)]
    return "steel_s235jr.dat", header, rows


def ramberg_osgood_test(rnd, e, rp02, n, stress_controlled_to, strain_u, plastic_noise):
    """The rising part of a test of a Ramberg-Osgood material: stress-controlled at 10 MPa/s up to
    stress_controlled_to, then strain-controlled at the elastic and the plastic rate up to strain_u."""
    points = []
    stress = 0.0
    while stress + 2.0 <= stress_controlled_to:
        stress += 2.0
        s = stress + rnd.uniform(-0.3, 0.3)
        points.append((ramberg_osgood_strain(s, e, rp02, n) + rnd.uniform(-1.0, 1.0), s))
    for x in strain_steps(points[-1][0], 10000.0, ELASTIC_STRAIN_RATE):
        points.append((x, ramberg_osgood_stress(x, e, rp02, n) + rnd.uniform(-0.05, 0.05)))
    for x in strain_steps(10000.0, strain_u, PLASTIC_STRAIN_RATE):
        points.append((x, ramberg_osgood_stress(x, e, rp02, n) + rnd.uniform(-plastic_noise, plastic_noise)))
    return points


def aluminium():
    rnd = random.Random(6082)
    e, rp02, rm, strain_u, strain_f = 70000.0, 295.0, 325.0, 70000.0, 110000.0
    n = math.log((strain_u * 1e-6 - rm / e) / 0.002) / math.log(rm / rp02)
    points = ramberg_osgood_test(rnd, e, rp02, n, 0.85 * rp02, strain_u, 0.03)
    top_index = len(points) - 1
    points += necking(rm, strain_u, strain_f, 270.0, PLASTIC_STRAIN_RATE, 1.6)
    points += fracture(points[-1])
    header = [
        "Tenso example: aluminium alloy EN AW-6082-T6, round specimen d0 = 10.0 mm, L0 = 50 mm",
        "Synthetic curve made by examples/make_examples.py, not a measurement",
        f"E 70 GPa; Ramberg-Osgood with Rp0.2 295 MPa, n = {n:.1f}; Rm 325 MPa at 7 % strain",
        "Logged at 5 Hz: 10 MPa/s to 250 MPa, 0.00025 1/s to 1 % strain, then 0.0067 1/s",
        "    Strain[ue]  Stress[MPa]",
    ]
    rows = [f"{x:14.1f} {y:12.2f}" for x, y in monotone(points, top_index)]
    return "aluminium_6082_t6.dat", header, rows


def stainless():
    rnd = random.Random(4301)
    e, rp02, rm, strain_u, strain_f = 195000.0, 290.0, 640.0, 500000.0, 580000.0
    n = math.log((strain_u * 1e-6 - rm / e) / 0.002) / math.log(rm / rp02)
    points = ramberg_osgood_test(rnd, e, rp02, n, 200.0, strain_u, 0.05)
    top_index = len(points) - 1
    points += necking(rm, strain_u, strain_f, 520.0, PLASTIC_STRAIN_RATE, 1.7)
    points += fracture(points[-1])
    header = [
        "Tenso example: austenitic stainless steel 1.4301 (304), flat specimen 12.5 x 2.0 mm, L0 = 50 mm",
        "Synthetic curve made by examples/make_examples.py, not a measurement",
        f"E 195 GPa; Ramberg-Osgood with Rp0.2 290 MPa, n = {n:.2f}; Rm 640 MPa at 50 % strain",
        "Logged at 5 Hz: 10 MPa/s to 200 MPa, 0.00025 1/s to 1 % strain, then 0.0067 1/s",
        "Strain [micro-strain],Stress [MPa],Time [s]",
    ]
    rows = [f"{x:.1f},{y:.2f},{i / RATE_HZ:.1f}" for i, (x, y) in enumerate(monotone(points, top_index), 1)]
    return "stainless_1_4301.dat", header, rows


def lueders_test(rnd, e, reh, rel, rm, lueders_end, strain_u, strain_f, stress_f, slack):
    """(strain as a fraction, stress in MPa) of a steel with a yield point, logged at 10 Hz: slack
    taken up at almost no load, a linear rise to the upper yield point, a sharp drop to a first,
    deeper minimum, a serrated Lueders plateau, hardening to Rm, necking and the fracture."""
    points = [(slack * k / 10, 0.3 * k / 10) for k in range(11)]
    stress = 0.0
    while stress + 1.5 <= reh:  # 15 MPa/s
        stress += 1.5
        points.append((slack + stress / e + rnd.uniform(-2e-6, 2e-6), stress + rnd.uniform(-0.2, 0.2)))
    points[-1] = (slack + reh / e, reh)
    x = points[-1][0]
    points += [(x + 1e-5, reh - 0.45 * (reh - rel)), (x + 2e-5, rel - 0.03 * rel)]
    level, top = rel - 2.0, rel + rnd.uniform(1.0, 3.0)
    x = points[-1][0]
    while x < slack + lueders_end:  # strain-controlled plateau, 0.00025 1/s
        x += 2.5e-5
        if level > top:
            level, top = rel - rnd.uniform(1.0, 2.5), rel + rnd.uniform(1.0, 3.0)
        else:
            level += rnd.uniform(0.5, 1.5)
        points.append((x, level))
    start, x0 = points[-1][1], x
    while x < slack + strain_u:  # hardening at 0.0067 1/s
        x += 6.7e-4
        t = min(1.0, (x - x0) / (slack + strain_u - x0))
        points.append((x, start + (rm - start) * (1 - (1 - t) ** 2.6) + rnd.uniform(-0.05, 0.05)))
    x_u = x
    while x < slack + strain_f:  # necking
        x += 6.7e-4
        t = (x - x_u) / (slack + strain_f - x_u)
        points.append((x, rm - (rm - stress_f) * t ** 1.8))
    x = points[-1][0]
    points += [(x + 3e-4, stress_f * 0.3), (x + 6e-4, 0.4), (x + 9e-4, 0.2)]
    return points


def machine_steel_round():
    rnd = random.Random(10)
    d0, l0 = 10.0, 50.0
    s0 = math.pi / 4 * d0 ** 2
    points = lueders_test(rnd, 205000.0, 322.0, 296.0, 438.0, 0.021, 0.18, 0.28, 340.0, 0.0004)
    lines = ["Time (s),Extension (mm),Force (kN)"]
    lines += [f"{i / 10:.1f},{e * l0:.4f},{r * s0 / 1000:.4f}" for i, (e, r) in enumerate(points)]
    return "machine_steel_round.csv", "".join(line + "\r\n" for line in lines).encode("ascii")


def machine_steel_european():
    rnd = random.Random(355)
    d0, l0 = 8.0, 40.0
    s0 = math.pi / 4 * d0 ** 2
    points = lueders_test(rnd, 207000.0, 386.0, 362.0, 548.0, 0.016, 0.15, 0.23, 430.0, 0.0)
    lines = ["Pr\xfcfprotokoll Zugversuch", "Werkstoff;S355J2+N", "Pr\xfcfer;J\xfcrgen Wei\xdf",
             "Zeit;Kraft;Verl\xe4ngerung", "s;kN;mm"]
    comma = lambda v, digits: f"{v:.{digits}f}".replace(".", ",")
    lines += [f"{comma(i / 10, 1)};{comma(r * s0 / 1000, 4)};{comma(e * l0, 4)}" for i, (e, r) in enumerate(points)]
    lines += ["Pr\xfcfende;14:07:31", "Bruch;im Messbereich"]
    return "machine_steel_european.txt", "".join(line + "\r\n" for line in lines).encode("latin-1")


def machine_aluminium_flat():
    rnd = random.Random(60)
    b0, a0 = 20.0, 3.0
    e, rp02, rm, strain_u, strain_f = 69000.0, 262.0, 298.0, 0.08, 0.115
    n = math.log((strain_u - rm / e) / 0.002) / math.log(rm / rp02)
    points = []
    stress = 0.0
    while stress + 1.0 <= 0.8 * rp02:  # 10 MPa/s
        stress += 1.0
        s = stress + rnd.uniform(-0.15, 0.15)
        points.append((ramberg_osgood_strain(s, e, rp02, n) * 1e-6, s))
    x = points[-1][0]
    while x < strain_u:
        x += 2.5e-5 if x < 0.01 else 6.7e-4
        points.append((x, ramberg_osgood_stress(x * 1e6, e, rp02, n) + rnd.uniform(-0.03, 0.03)))
    x_u = x
    while x < strain_f:
        x += 6.7e-4
        points.append((x, rm - (rm - 240.0) * ((x - x_u) / (strain_f - x_u)) ** 1.6))
    points += [(x + 3e-4, 60.0), (x + 6e-4, 0.5)]
    lines = ["Time [s]\tForce [N]\tStrain [%]"]
    for i, (eps, r) in enumerate(points):
        force = "" if i == 40 else f"{r * b0 * a0:.2f}"  # a record the machine logged without its force
        lines.append(f"{i / 10:.1f}\t{force}\t{eps * 100:.5f}")
    return "machine_aluminium_flat.tsv", "".join(line + "\n" for line in lines).encode("ascii")


def ramberg_osgood_curve(rnd, e, rp02, rm, strain_u, strain_f, stress_f, noise):
    """(strain as a fraction, stress in MPa) of a test of a Ramberg-Osgood material: 10 MPa/s up to
    0.8 Rp0.2, then strain steps to the maximum, necking, and a break to almost no load."""
    n = math.log((strain_u - rm / e) / 0.002) / math.log(rm / rp02)
    points = []
    stress = 0.0
    while stress + 1.0 <= 0.8 * rp02:
        stress += 1.0
        s = stress + rnd.uniform(-noise, noise)
        points.append((ramberg_osgood_strain(s, e, rp02, n) * 1e-6, s))
    x = points[-1][0]
    while x < strain_u:
        x += 2.5e-5 if x < 0.01 else 8e-4
        points.append((x, ramberg_osgood_stress(x * 1e6, e, rp02, n) + rnd.uniform(-noise / 5, noise / 5)))
    x_u = x
    while x < strain_f:
        x += 8e-4
        points.append((x, rm - (rm - stress_f) * ((x - x_u) / (strain_f - x_u)) ** 1.6))
    return points + [(x + 3e-4, 0.2 * stress_f), (x + 6e-4, 1.0)]


def machine_bluehill_style():
    """An export in the manner of Instron's Bluehill: every value in quotes, thousands separators,
    the specimen's name, material and geometry in lines above the table."""
    rnd = random.Random(1045)
    d0, l0 = 6.0, 30.0
    s0 = math.pi / 4 * d0 ** 2
    points = ramberg_osgood_curve(rnd, 208000.0, 520.0, 700.0, 0.12, 0.19, 560.0, 0.4)
    def grouped(v):
        text = f"{v:.1f}"
        whole, fraction = text.split(".")
        return f"{int(whole):,}.{fraction}"
    lines = ['"Specimen name","B-17"', '"Material","C45E normalised"', f'"Diameter","{d0:.2f}","mm"',
             f'"Gauge length","{l0:.2f}","mm"', '""', '"Time","Extension","Load"', '"(s)","(mm)","(N)"']
    lines += [f'"{i / 10:.3f}","{e * l0:.4f}","{grouped(r * s0)}"' for i, (e, r) in enumerate(points)]
    return "machine_bluehill_style.csv", "".join(line + "\r\n" for line in lines).encode("ascii")


def machine_zwick_style():
    """An export in the manner of Zwick's testXpert: quoted "key",value,"unit" lines in German and
    Latin-1, a crosshead travel beside the extensometer's strain in %."""
    rnd = random.Random(4)
    a0, b0, l0 = 1.02, 20.1, 80.0
    points = ramberg_osgood_curve(rnd, 210000.0, 180.0, 305.0, 0.22, 0.40, 250.0, 0.2)
    lines = ['"Probenbezeichnung","Z-04",""', '"Werkstoff","DC04",""', f'"Probendicke a0",{a0},"mm"',
             f'"Probenbreite b0",{b0},"mm"', f'"Messl\xe4nge L0",{l0:.0f},"mm"', '"Einspannl\xe4nge",115,"mm"',
             '"Pr\xfcfzeit","Standardweg","Standardkraft","Dehnung"', '"s","mm","N","%"']
    lines += [f"{i / 10:.1f},{e * 115 * 1.04:.4f},{r * a0 * b0:.2f},{e * 100:.5f}" for i, (e, r) in enumerate(points)]
    return "machine_zwick_style.TRA", "".join(line + "\r\n" for line in lines).encode("latin-1")


SPECIMENS = """file,d0,b0,a0,L0,Lu,du,Su
machine_steel_round.csv,10.0,,,50,64.1,6.2,
machine_steel_european.txt,8.0,,,40,49.8,4.9,
machine_aluminium_flat.tsv,,20.0,3.0,80,89.2,,41.5
"""


def main():
    for name, header, rows in (steel(), aluminium(), stainless()):
        assert 60 <= len(rows) <= 2000, (name, len(rows))
        with open(os.path.join(HERE, name), "w", newline="") as out:
            out.write("".join(line + "\r\n" for line in header + rows))
        print(f"{name}: {len(rows)} records")
    for name, data in (machine_steel_round(), machine_steel_european(), machine_aluminium_flat(),
                       machine_bluehill_style(), machine_zwick_style()):
        with open(os.path.join(HERE, name), "wb") as out:
            out.write(data)
        print(f"{name}: {len(data.splitlines())} lines")
    with open(os.path.join(HERE, "specimens.csv"), "w", newline="") as out:
        out.write(SPECIMENS)


if __name__ == "__main__":
    main()
