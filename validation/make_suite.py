#!/usr/bin/env python3
"""Writes the known-answer suite that `tenso-report --validate` runs: synthetic machine exports whose
answers follow from how they are built, each with its expected values, and the list of cases.

    python3 validation/make_suite.py        (from anywhere; writes beside this script)
    python3 validation/make_suite.py --out DIR      (writes into DIR instead, to compare)

The output is committed and installed with the program; running the script again gives the same
bytes (no clock, no randomness but a seeded generator of its own). README.md beside it gives the
derivation of every expected value and tolerance; the numbers quoted there are the ones printed by
`--explain`.

Each curve is built from its answers: the elastic line is laid through decimal-exact points (stress
and strain steps whose ratio is E), so that a least-squares line through any of them gives E up to
the rounding of double precision; the proof strength, the yield points, the maximum and the fracture
are records placed at the stress the case is to have; unit conversions use the factors of the rules
(kN x 1000, um x 0.001, ksi x 6.894757293168, % x 0.01).

Expected values are written as the construction gives them, never from a run of the program.
"""

import math
import os
import random
import sys
from decimal import Decimal as D
from decimal import getcontext

getcontext().prec = 50

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = HERE  # where the files go; --out changes it
KSI = D("6.894757293168")  # MPa per ksi, as the rules convert
EXACT = "1e-7 %"  # 1e-9 relative: what double precision leaves of an exact construction


def fixed(value, places):
    """A Decimal or float as fixed-point text with `places` decimals, '.' as the mark."""
    return f"{D(value):.{places}f}" if isinstance(value, D) else f"{value:.{places}f}"


def shortest(value):
    """The shortest text of an expected value: an exact Decimal as it is, else the float's repr."""
    if isinstance(value, D) and len(value.normalize().as_tuple().digits) <= 17:
        return format(value.normalize(), "f")
    return repr(float(value))


def ro_plastic(u, n, w=D("0.05")):
    """Plastic strain of the hardening beyond the proportional limit, as a fraction of 0.2 %.

    u = (R - R0) / (Rp - R0). A Ramberg-Osgood term u^n with a small linear share w: the linear share
    puts a corner at R0, so that the straight part ends at a record that every fit can tell from the
    next (a pure power would leave the first hardening records within the rounding of the line and let
    a fit take them in). At u = 1 the sum is exactly 1, so the plastic strain is exactly 0.2 % at Rp:
    Rp0.2 is the parameter Rp.
    """
    return w * u + (1 - w) * u**n


class Case:
    def __init__(self, name, extension, purpose):
        self.name = name
        self.data = name + extension
        self.expected = name + ".expect.csv"
        self.purpose = purpose
        self.lines = []  # the export's lines, without line ends
        self.checks = []  # (quantity, expected, tolerance)
        self.explain = []  # derivation numbers for the README

    def check(self, quantity, expected, tolerance):
        text = expected if isinstance(expected, str) else shortest(expected)
        self.checks.append((quantity, text, tolerance))

    def write(self, line_end="\n"):
        with open(os.path.join(OUT, self.data), "w", encoding="utf-8", newline="") as f:
            for line in self.lines:
                f.write(line + line_end)
        with open(os.path.join(OUT, self.expected), "w", encoding="utf-8", newline="") as f:
            f.write("quantity,expected,tolerance\n")
            for q, e, t in self.checks:
                f.write(f"{q},{e},{t}\n")


def necking_and_break(e_m, R_m, steps, de, dR, falls, de_fall):
    """After the maximum (e_m, R_m): `steps` records each `de` further and `dR` lower (necking, spaced
    wider than the 0.05 % window of the fracture search, so that only the record before the fall
    starts one), then the fall: records `de_fall` apart at the stresses of `falls`."""
    points = []
    e, R = e_m, R_m
    for _ in range(steps):
        e += de
        R -= dR
        points.append((e, R))
    fracture = (e, R)
    for stress in falls:
        e += de_fall
        points.append((e, stress))
    return points, fracture


# ---- 01: an elastic line of known E, Ramberg-Osgood hardening of known Rp0.2 ----

def case_proof():
    c = Case("01_proof_strength", ".csv",
             "Straight elastic line of E = 200 GPa, then Ramberg\u2013Osgood hardening whose "
             "Rp0.2 = 300 MPa is its parameter; continuous yielding (no ReH)")
    E, R0, Rp, Rm, n = D(200000), D(180), D(300), D(375), 8
    c.lines.append("Strain [mm/mm],Stress [MPa]")
    rows = [(D(i) * D("0.00002"), D(i) * 4) for i in range(46)]  # 0 to 180 MPa, E = 4 / 2e-5
    R = R0
    while R < Rm:
        R += D("0.5")
        u = (R - R0) / (Rp - R0)
        e = R / E + D("0.002") * ro_plastic(u, n)
        rows.append((e.quantize(D("1e-10")), R))
    e_m = rows[-1][0]
    tail, _ = necking_and_break(e_m, Rm, 15, D("0.002"), D("2.5"), [D(200), D(60), D(8), D("1.5")], D("0.00001"))
    rows += tail
    for e, R in rows:
        c.lines.append(f"{fixed(e, 10)},{fixed(R, 1)}")
    c.check("E", E / 1000, EXACT)
    c.check("Rp0.2", Rp, EXACT)
    c.check("ReH", "none", "")
    c.check("Rm", Rm, EXACT)
    c.check("Agt", e_m * 100, EXACT)
    c.check("Ag", e_m * 100 - Rm / E * 100, EXACT)
    c.explain += [f"strain at Rm {e_m}"]
    return c


# ---- 02: a sharp upper yield point and a serrated Lueders plateau ----

def case_yield():
    c = Case("02_upper_yield", ".txt",
             "Sharp upper yield point ReH = 352.8 MPa and a serrated L\u00fcders plateau whose lowest "
             "minimum after the transient is ReL = 318.2 MPa; semicolons, decimal commas, strain in %")
    E, ReH, Rm = D(210000), D("352.8"), D(480)
    rows = [(D(i) * D("0.001"), D(i) * D("2.1")) for i in range(169)]  # strain in %, E = 2.1 / 1e-5
    h = len(rows) - 1
    assert rows[h][1] == ReH
    # The drop to the transient minimum (300), then serrations; their minima after the first are
    # 319, 318.2, 320.1, 319.6, 320.5, so ReL = 318.2.
    plateau = [340, 318, 300, 309, 318, 324, D("321.5"), 319, 322, D("325.5"), 322, D("318.2"), 321, 324,
               D("322.5"), D("320.1"), 323, 325, 322, D("319.6"), D("322.5"), D("324.8"), D("322.4"),
               D("320.5"), D("323.5"), 326]
    e = rows[h][0]
    for R in plateau:
        e += D("0.05")
        rows.append((e, D(R)))
    e_pl, R_pl = rows[-1]
    # Hardening from the plateau's end to Rm at 18 %: R = R_pl + (Rm - R_pl) s^0.6, every 0.2 %.
    e_top = D(18)
    steps = int((e_top - e_pl) / D("0.2"))
    for k in range(1, steps + 1):
        e = e_pl + (e_top - e_pl) * k / steps
        s = float((e - e_pl) / (e_top - e_pl))
        R = D(float(R_pl) + float(Rm - R_pl) * s**0.6).quantize(D("0.1"))
        rows.append((e.quantize(D("0.001")), R))
    assert rows[-1][1] == Rm and all(b[1] > a[1] for a, b in zip(rows[-steps - 1:], rows[-steps:]))
    tail, _ = necking_and_break(rows[-1][0], Rm, 10, D("0.3"), D(3), [D(150), D(20), D(2)], D("0.001"))
    rows += tail
    c.lines.append("Strain (%);Stress (MPa)")
    for e, R in rows:
        c.lines.append(f"{fixed(e, 3)};{fixed(R, 1)}".replace(".", ","))
    # ReL by its definition: the local minima between ReH and the first record above it.
    p = next(j for j in range(h + 1, len(rows)) if rows[j][1] > ReH)
    minima = [rows[j][1] for j in range(h + 1, p) if rows[j][1] < rows[j - 1][1] and rows[j][1] <= rows[j + 1][1]]
    ReL = min(minima[1:])
    assert ReL == D("318.2") and minima[0] == 300
    middle = (ReH + ReL) / 2
    q = max(j for j in range(h + 1, p) if rows[j][1] <= middle)
    Ae = rows[q][0] - rows[h][0]  # already in %
    c.check("E", E / 1000, EXACT)
    c.check("ReH", ReH, EXACT)
    c.check("ReL", ReL, EXACT)
    c.check("Ae", Ae, EXACT)
    c.check("Rm", Rm, EXACT)
    c.explain += [f"minima {[str(m) for m in minima]}; the yield region ends at line {p + 2}; q on line {q + 2} "
                  f"(strain {rows[q][0]} %, R = {rows[q][1]} <= {middle}); Ae = {Ae} %"]
    return c


# ---- 03: a known maximum and a fracture, force and extension of a flat specimen ----

def case_fracture():
    c = Case("03_maximum_fracture", ".csv",
             "Known maximum Fm = 12.3456 kN (Rm = 308.64 MPa) and a fracture at Rf = 270.24 MPa whose "
             "fall spreads over four records; force in N, extension in mm, b0, a0 and L0 in the header")
    E, S0, L0, R0, Rp, n = D(70000), D(40), D(80), D(210), D(260), D("5.5")
    Fmax = D("12345.6")
    Rm = Fmax / S0
    c.lines += ["Width: 20 mm", "Thickness: 2 mm", "Gauge length: 80 mm", "Force (N),Extension (mm)"]
    rows = [(D(i) * D("0.008"), D(i) * 280) for i in range(31)]  # R = 7 i MPa, e = 1e-4 i: E = 70 GPa
    R = R0
    while True:
        R = min(R + D("0.5"), Rm)
        u = float((R - R0) / (Rp - R0))
        e = float(R / E) + 0.002 * (0.05 * u + 0.95 * u ** float(n))
        rows.append((D(e * float(L0)).quantize(D("0.00001")), R * S0))
        if R == Rm:
            break
    ext_m = rows[-1][0]
    tail, (ext_f, F_f) = necking_and_break(ext_m, Fmax, 12, D("0.16"), D(128),
                                           [D(6500), D(2100), D(350), D(20)], D("0.0008"))
    rows += tail
    for ext, F in rows:
        c.lines.append(f"{fixed(F, 1)},{fixed(ext, 5)}")
    Rf = F_f / S0
    At = ext_f / L0 * 100
    c.check("S0", S0, EXACT)
    c.check("Fm", Fmax / 1000, EXACT)
    c.check("Rm", Rm, EXACT)
    c.check("Rf", Rf, EXACT)
    c.check("At", At, EXACT)
    c.check("A", At - Rf / E * 100, EXACT)
    c.check("A from curve", "true", "")
    c.explain += [f"fracture record: extension {ext_f} mm, force {F_f} N"]
    return c


# ---- 04: noise and a coarse resolution of known size ----

NOISE = 1.5  # MPa, the half-width of the uniform noise on the stress
STRESS_STEP = 0.5  # MPa, the resolution the stress is written with
STRAIN_STEP = 5e-6  # the resolution the strain is written with (1 MPa of stress at 200 GPa)


def case_noise():
    c = Case("04_noise_resolution", ".csv",
             "E = 200 GPa and Rm = 450 MPa under uniform noise of \u00b11.5 MPa, the stress written to "
             "0.5 MPa and the strain to 5e-6 (1 MPa at E); tolerances from the noise")
    E = 200000.0
    rng = random.Random(6892)
    true = [(k * 1e-6, E * k * 1e-6) for k in range(2001)]  # the line to 400 MPa at 0.2 %
    for k in range(1, 1001):  # hardening with a corner: 400 + 50 (1 - (1 - s)^2), the top at s = 1
        s = k / 1000
        true.append((0.002 + 0.025 * s, 400 + 50 * (1 - (1 - s) ** 2)))
    e, R = true[-1]
    for _ in range(20):
        e += 0.001
        R -= 2
        true.append((e, R))
    for stress in (150, 20, 2):
        e += 0.00001
        true.append((e, stress))
    c.lines.append("Strain,Stress (MPa)")
    for e, R in true:
        noisy = R + rng.uniform(-NOISE, NOISE)
        written_R = round(noisy / STRESS_STEP) * STRESS_STEP
        written_e = round(e / STRAIN_STEP) * STRAIN_STEP
        c.lines.append(f"{written_e:.6f},{written_R:.1f}")
    # The slope's standard error over the shortest window a rule may fit: SDAR's Nmin is a fifth of
    # the records below the tangency point, at least a fifth of the 2001 records of the line; the
    # passes fit 40 % of the line or more. Errors per record: the noise (variance a^2 / 3), the
    # stress resolution (q^2 / 12) and the strain resolution, as stress (E q_e)^2 / 12.
    sigma = math.sqrt(NOISE**2 / 3 + STRESS_STEP**2 / 12 + (E * STRAIN_STEP) ** 2 / 12)
    k = 2001 // 5
    Sxx = k * (k * k - 1) / 12 * 1e-12
    se = sigma / math.sqrt(Sxx)
    tolerance = 4 * se / E * 100  # per cent
    tolerance_text = f"{math.ceil(tolerance * 10) / 10:.1f} %"
    c.check("E", D(200), tolerance_text)
    c.check("Rm", D(450), f"{NOISE + STRESS_STEP / 2} MPa")
    c.explain += [f"sigma per record {sigma:.4f} MPa, window {k} records, standard error of E "
                  f"{se:.1f} MPa = {se / E * 100:.4f} %, 4 standard errors {tolerance:.4f} % -> {tolerance_text}"]
    return c


# ---- 05: idle records and slack at the start ----

def case_idle():
    c = Case("05_idle_start", ".dat",
             "40 idle records at zero, then 0.04 % strain of slack at zero force: e0 = 0.0004, and E, "
             "Rp0.2 = 320 MPa, Agt and At counted from it")
    E, slack, R0, Rp, Rm, n = D(200000), D("0.0004"), D(200), D(320), D(400), 7
    rows = [(D(0), D(0))] * 40
    rows += [(D(i) * D("0.00002"), D(0)) for i in range(1, 21)]
    rows += [(slack + D(i) * D("0.000025"), D(i) * 5) for i in range(1, 41)]
    R = R0
    while R < Rm:
        R += D("0.5")
        u = (R - R0) / (Rp - R0)
        rows.append(((slack + R / E + D("0.002") * ro_plastic(u, n)).quantize(D("1e-10")), R))
    e_m = rows[-1][0]
    tail, (e_f, R_f) = necking_and_break(e_m, Rm, 10, D("0.002"), D(3), [D(180), D(40), D(3)], D("0.00001"))
    rows += tail
    c.lines.append("Time (s)\tStrain (-)\tStress (MPa)")
    for i, (e, R) in enumerate(rows):
        c.lines.append(f"{fixed(D(i) / 10, 1)}\t{fixed(e, 10)}\t{fixed(R, 1)}")
    c.check("records", D(len(rows)), "0")
    c.check("E", E / 1000, EXACT)
    c.check("e0", slack, "1e-12")
    c.check("Rp0.2", Rp, EXACT)
    c.check("Agt", (e_m - slack) * 100, EXACT)
    c.check("At", (e_f - slack) * 100, EXACT)
    c.explain += [f"{len(rows)} records; strain at Rm {e_m}, at fracture {e_f}"]
    return c


# ---- 06: force in kN, extension in um, d0 and L0 in the header ----

def case_kn_um():
    c = Case("06_units_kN_um", ".txt",
             "Force in kN and extension in \u00b5m under a units line, d0 = 10 mm and L0 = 50 mm in "
             "header lines, TAB and CR LF: S0 = 25\u03c0 mm\u00b2, E from 0.25 kN per 0.8 \u00b5m, "
             "Rp0.2 at 30 kN, Fm = 36.45 kN")
    d0, L0 = D(10), D(50)
    c.lines += ["Tensile test", "Gauge diameter:\t10\tmm", "Gauge length:\t50\tmm",
                "Time\tForce\tExtension", "s\tkN\t\u00b5m"]
    rows = [(D(i) * D("0.25"), D(i) * D("0.8")) for i in range(101)]  # to 25 kN; 3.2 um per kN
    F0, Fp, Fmax, n = D(25), D(30), D("36.45"), 4
    F = F0
    while F < Fmax:
        F += D("0.05")
        u = (F - F0) / (Fp - F0)
        ext = F * D("3.2") + 100 * ro_plastic(u, n)  # 100 um of 50 mm is 0.2 %
        rows.append((F, ext.quantize(D("0.01"))))
    assert rows[-1][0] == Fmax
    assert any(F == Fp and ext == D(196) for F, ext in rows)
    necking, _ = necking_and_break(rows[-1][1], Fmax, 10, D(100), D("0.15"),
                                   [D(20), D(6), D("0.5"), D("0.02")], D("0.5"))
    rows += [(F, ext) for ext, F in necking]
    for i, (F, ext) in enumerate(rows):
        c.lines.append(f"{fixed(D(i) / 10, 1)}\t{fixed(F, 3)}\t{fixed(ext, 2)}")
    s0 = math.pi / 4 * 10.0 * 10.0
    E_GPa = 250 / s0 / (0.8e-3 / 50) / 1000  # 0.25 kN over S0, per 0.8 um over L0
    c.check("S0", repr(s0), EXACT)
    c.check("L0", L0, EXACT)
    c.check("E", repr(E_GPa), EXACT)
    c.check("Rp0.2", repr(30000 / s0), EXACT)
    c.check("Fm", Fmax, EXACT)
    c.check("Rm", repr(36450 / s0), EXACT)
    c.explain += [f"S0 = {s0!r} mm2, E = {E_GPa!r} GPa"]
    return c


# ---- 07: stress in ksi, strain in % ----

def case_ksi():
    c = Case("07_units_ksi_percent", ".csv",
             "Stress in ksi and strain in %: E = 30000 ksi, Rp0.2 = 60 ksi, Rm = 75 ksi, converted at "
             "6.894757293168 MPa per ksi")
    E_ksi, R0, Rp, Rm, n = D(30000), D(45), D(60), D(75), 5
    c.lines.append("Strain (%),Stress (ksi)")
    rows = [(D(i) * D("0.002"), D(i) * D("0.6")) for i in range(76)]  # % and ksi: 0.6 / 2e-5 = 30000
    R = R0
    while R < Rm:
        R += D("0.1")
        u = (R - R0) / (Rp - R0)
        e = R / E_ksi * 100 + D("0.2") * ro_plastic(u, n)
        rows.append((e.quantize(D("1e-6")), R))
    e_m = rows[-1][0]
    tail, _ = necking_and_break(e_m, Rm, 10, D("0.2"), D("0.5"), [D(30), D(5), D("0.3")], D("0.001"))
    rows += tail
    for e, R in rows:
        c.lines.append(f"{fixed(e, 6)},{fixed(R, 1)}")
    c.check("E", E_ksi * KSI / 1000, EXACT)
    c.check("Rp0.2", Rp * KSI, EXACT)
    c.check("Rm", Rm * KSI, EXACT)
    c.check("Agt", e_m, EXACT)
    return c


def main(argv):
    global OUT
    if "--out" in argv:
        OUT = argv[argv.index("--out") + 1]
    cases = [case_proof(), case_yield(), case_fracture(), case_noise(), case_idle(), case_kn_um(), case_ksi()]
    for c in cases:
        c.write("\r\n" if c.name.startswith("06_") else "\n")
    with open(os.path.join(OUT, "cases.csv"), "w", encoding="utf-8", newline="") as f:
        f.write("case,data,expected,purpose\n")
        for c in cases:
            purpose = '"' + c.purpose.replace('"', '""') + '"'
            f.write(f"{c.name},{c.data},{c.expected},{purpose}\n")
    if "--explain" in argv:
        for c in cases:
            print(c.name)
            for q, e, t in c.checks:
                print(f"  {q} = {e}  ({t or 'exact text'})")
            for line in c.explain:
                print("  " + line)


if __name__ == "__main__":
    main(sys.argv[1:])
