#!/usr/bin/env python3
"""An independent evaluation of machine exports by tenso-report's reading of ISO 6892-1 (as the
user guide, chapter 8, describes it), written in plain Python from those definitions, without
looking at the C++ code. Its output is the expected JSON of the golden tests in tests/report/.

    python3 tests/report/reference.py OPTIONS... FILE... > expected.json

It takes the options the golden tests use (--specimens, the geometry options, --proof,
--fracture-drop, --modulus-range) and prints the JSON of tenso-report's --format json with the
numbers only (notes are not compared, messages only as present or absent). Every sum runs in file
order, as tenso-report sums, so the results agree with tenso-report's to the last bits or nearly.

To regenerate on purpose, see tests/report/CMakeLists.txt (the commands are listed there)."""

import json
import math
import os
import re
import sys

FORCE = {"n": 1.0, "kn": 1000.0, "mn": 1e6, "lbf": 4.4482216152605}
EXTENSION = {"mm": 1.0, "µm": 0.001, "um": 0.001, "in": 25.4}
STRAIN = {"mm/mm": 1.0, "m/m": 1.0, "in/in": 1.0, "-": 1.0, "%": 0.01, "µε": 1e-6, "ue": 1e-6,
          "microstrain": 1e-6}
STRESS = {"mpa": 1.0, "n/mm2": 1.0, "gpa": 1000.0, "ksi": 6.894757293168, "psi": 0.006894757293168}
TIME = {"s": 1.0, "ms": 1.0, "min": 1.0, "h": 1.0}


def canonical_unit(text):
    u = text.strip().lower().replace("\u03bc", "µ").replace("\u00b5", "µ").replace("²", "2").replace("^2", "2")
    if len(u) >= 2 and u[0] in "([" and u[-1] in ")]":
        u = u[1:-1].strip()
    return u


def is_unit(text):
    u = canonical_unit(text)
    return any(u in table for table in (FORCE, EXTENSION, STRAIN, STRESS, TIME))


def fields(line, sep):
    """The fields of a line: blanks trimmed, quotes honoured, trailing empty fields dropped."""
    out = []
    if sep == "blank":
        out = line.replace("\t", " ").split()
    else:
        i, n = 0, len(line)
        while True:
            while i < n and line[i] in " \t":
                i += 1
            if i < n and line[i] == '"':
                i += 1
                text = ""
                while i < n:
                    if line[i] == '"':
                        if i + 1 < n and line[i + 1] == '"':
                            text += '"'
                            i += 2
                            continue
                        i += 1
                        break
                    text += line[i]
                    i += 1
                end = line.find(sep, i)
                out.append(text)
            else:
                end = line.find(sep, i)
                out.append((line[i:] if end < 0 else line[i:end]).strip(" \t"))
            if end < 0:
                break
            i = end + 1
    while out and out[-1] == "":
        out.pop()
    return out


def number_re(marks):
    m = "[" + re.escape(marks) + "]"
    return re.compile(r"^[+-]?(\d+(" + m + r"\d*)?|" + m + r"\d+)([eE][+-]?\d+)?$")


def marks_for(sep, decimal):
    if decimal:
        return "." if decimal == "point" else ","
    return "." if sep == "," else ".,"


def is_data(fs, marks):
    pattern = number_re(marks)
    return len(fs) >= 2 and all(f == "" or pattern.match(f) for f in fs)


def to_number(text, line_no):
    v = float(text.replace(",", "."))
    if math.isinf(v):
        raise ValueError(f"line {line_no}: number beyond the double range")
    return v


def detect(line, sep_option, decimal):
    if sep_option:
        return {"semicolon": ";", "tab": "\t", "comma": ",", "blank": "blank"}[sep_option]
    if ";" in line:
        return ";"
    if "\t" in line:
        return "\t"
    if is_data(fields(line, ","), marks_for(",", decimal)):
        return ","
    return "blank"


def decode(raw):
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        return raw.decode("latin-1")


def read_table(path, sep_option=None, decimal=None):
    data = open(path, "rb").read()
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    lines = [decode(l) for l in re.split(rb"\r\n|\n|\r", data)]
    if lines and lines[-1] == "":
        lines.pop()
    first = None
    for k, line in enumerate(lines):
        sep = detect(line, sep_option, decimal)
        if is_data(fields(line, sep), marks_for(sep, decimal)):
            first = k
            break
    if first is None:
        raise ValueError("no data line")
    marks = marks_for(sep, decimal)
    width = len(fields(lines[first], sep))
    header = [fields(l, sep) for l in lines[:first]]
    names, units = [None] * width, [None] * width
    for k in range(len(header) - 1, -1, -1):
        if len(header[k]) == width:
            line = header[k]
            if all(f == "" or is_unit(f) for f in line) and k > 0 and len(header[k - 1]) == width:
                names, units = header[k - 1], line
            else:
                names = line
            break
    records = []
    for k in range(first, len(lines)):
        if lines[k].strip(" \t") == "":
            continue
        fs = fields(lines[k], sep)
        if not is_data(fs, marks):
            break
        records.append((k + 1, fs))
    return names, units, records


def unit_of_name(name):
    m = re.search(r"[\(\[]([^\(\)\[\]]*)[\)\]]\s*$", name or "")
    return m.group(1) if m else None


def find_by_name(names, words):
    for c, name in enumerate(names):
        if name and any(name.lower().startswith(w) for w in words):
            return c
    return None


def factor(table, column, names, units, option_unit):
    unit = option_unit or unit_of_name(names[column]) or units[column]
    return 1.0 if unit is None else table[canonical_unit(unit)]


def evaluate(path, opts, geometry):
    names, units, records = read_table(path)
    force_col = find_by_name(names, ("force", "load", "kraft"))
    stress_col = find_by_name(names, ("stress", "spannung"))
    strain_col = find_by_name(names, ("strain", "dehnung"))
    ext_col = find_by_name(names, ("extension", "elongation", "displacement", "deformation", "verlängerung"))
    g = geometry
    if g.get("d0"):
        s0 = math.pi / 4 * g["d0"] ** 2
    elif g.get("a0"):
        s0 = g["a0"] * g["b0"]
    else:
        s0 = g.get("S0")
    l0 = g.get("L0")
    if force_col is not None and s0:
        y_col, y_factor = force_col, factor(FORCE, force_col, names, units, None)
        stress_from_force = True
    else:
        y_col, y_factor, stress_from_force = stress_col, factor(STRESS, stress_col, names, units, None), False
    if strain_col is not None:
        x_col, x_factor, x_div = strain_col, factor(STRAIN, strain_col, names, units, None), 1.0
    else:
        x_col, x_factor, x_div = ext_col, factor(EXTENSION, ext_col, names, units, None), l0
    R, e, F, skipped = [], [], [], 0
    for line_no, fs in records:
        if y_col >= len(fs) or x_col >= len(fs) or fs[y_col] == "" or fs[x_col] == "":
            skipped += 1
            continue
        y = to_number(fs[y_col], line_no)
        x = to_number(fs[x_col], line_no)
        if stress_from_force:
            F.append(y * y_factor)
            R.append(y * y_factor / s0)
        else:
            R.append(y * y_factor)
        e.append(x * x_factor / x_div)
    return quantities(R, e, F, len(R), skipped, s0, l0, g, opts)


def fit(R, e, m, lo, hi):
    a = next((i for i in range(m) if R[i] >= lo), None)
    if a is None:
        raise ValueError("too few points")
    b = next((i for i in range(a + 1, m) if R[i] > hi), m)
    n = b - a
    if n < 5:
        raise ValueError("too few points")
    xs, ys = e[a:b], R[a:b]
    xm = sum(xs) / n
    ym = sum(ys) / n
    sxx = sum((x - xm) ** 2 for x in xs)
    sxy = sum((x - xm) * (y - ym) for x, y in zip(xs, ys))
    syy = sum((y - ym) ** 2 for y in ys)
    if sxx == 0 or sxy / sxx <= 0:
        raise ValueError("no rise")
    E = sxy / sxx
    return {"E": E, "c": ym - E * xm, "b": b, "lo": lo, "hi": hi, "points": n, "r2": sxy * sxy / (sxx * syy)}


def proof(R, eps, E, b, f, x):
    g = [R[i] - E * (eps[i] - x / 100) for i in range(len(R))]
    for k in range(b - 1, f):
        if g[k] >= 0 and g[k + 1] < 0:
            t = g[k] / (g[k] - g[k + 1])
            return R[k] + t * (R[k + 1] - R[k]), eps[k] + t * (eps[k + 1] - eps[k])
    return None, None


def upper_yield(R, eps, b, m):
    h = b
    while h < m:
        j = next(i for i in range(h + 1, len(R)) if R[i] > R[h])
        if any(R[i] <= 0.995 * R[h] for i in range(h + 1, j)) and eps[j - 1] - eps[h] >= 0.0005:
            return h
        h = j
    return None


def quantities(R, e, F, n_records, skipped, s0, l0, g, opts):
    N = len(R)
    rm = max(R)
    m = R.index(rm)
    if rm <= 0:
        raise ValueError("no tensile load")
    drop = opts.get("fracture_drop", 10.0) / 100 * rm
    f = next((i for i in range(m, N - 1) if R[i] - R[i + 1] > drop), N - 1)
    R, e = R[:f + 1], e[:f + 1]
    if opts.get("modulus_range"):
        lo, hi = opts["modulus_range"]
        used, used_pass = fit(R, e, m, lo, hi), 0
    else:
        p1 = fit(R, e, m, 0.10 * rm, 0.40 * rm)
        eps1 = [x + p1["c"] / p1["E"] for x in e]
        h1 = upper_yield(R, eps1, p1["b"], m)
        y1 = R[h1] if h1 is not None else proof(R, eps1, p1["E"], p1["b"], f, 0.2)[0]
        used, used_pass = p1, 1
        if y1 is not None:
            try:
                used, used_pass = fit(R, e, m, 0.10 * y1, 0.50 * y1), 2
            except ValueError:
                pass
    E = used["E"]
    e0 = -used["c"] / E
    eps = [x - e0 for x in e]
    b = used["b"]
    h = upper_yield(R, eps, b, m)
    reh = rel = ae = None
    if h is not None:
        reh = R[h]
        p = next(i for i in range(h + 1, len(R)) if R[i] > R[h])
        minima = [j for j in range(h + 1, p) if R[j] < R[j - 1] and R[j] <= R[j + 1]]
        rel = min(R[j] for j in minima[1:]) if len(minima) >= 2 else R[minima[0]]
        q = max(i for i in range(h + 1, p) if R[i] <= (reh + rel) / 2)
        ae = (eps[q] - eps[h]) * 100
    rp = {}
    for x in opts.get("proof", [0.2]):
        mpa, strain = proof(R, eps, E, b, f, x)
        rp[key_of(x)] = {"MPa": mpa, "strain": strain}
    agt = eps[m] * 100
    at = eps[f] * 100
    rf = R[f]
    if g.get("Lu"):
        a, from_curve = (g["Lu"] - l0) / l0 * 100, False
    else:
        a, from_curve = at - rf / E * 100, True
    su = math.pi / 4 * g["du"] ** 2 if g.get("du") else g.get("Su")
    return {
        "error": None, "records": n_records, "skipped": skipped, "S0": s0, "L0": l0,
        "E": {"GPa": E / 1000, "lo": used["lo"], "hi": used["hi"], "points": used["points"], "r2": used["r2"],
              "pass": used_pass},
        "e0": e0, "ReH": reh, "ReL": rel, "Ae": ae, "Rp": rp, "Rm": rm,
        "Fm": F[m] / 1000 if F else None, "Agt": agt, "Ag": agt - rm / E * 100, "Rf": rf, "At": at, "A": a,
        "A_from_curve": from_curve, "Z": (s0 - su) / s0 * 100 if su else None,
    }


def key_of(x):
    return repr(float(x)).removesuffix(".0")


def statistics(results, proofs):
    names = ["E", "ReH", "ReL", "Ae"] + ["Rp" + key_of(x) for x in proofs] + \
        ["Rm", "Fm", "Agt", "Ag", "Rf", "At", "A", "Z"]
    out = {}
    for name in names:
        values = []
        for r in results:
            if r["error"]:
                continue
            v = r["E"]["GPa"] if name == "E" else r["Rp"][name[2:]]["MPa"] if name.startswith("Rp") else r[name]
            if v is not None:
                values.append(v)
        n = len(values)
        mean = sum(values) / n if n else None
        s = math.sqrt(sum((v - mean) ** 2 for v in values) / (n - 1)) if n > 1 else None
        cov = s / mean * 100 if s is not None and mean != 0 else None
        out[name] = {"n": n, "mean": mean, "s": s, "CoV": cov, "min": min(values) if n else None,
                     "max": max(values) if n else None}
    return out


def read_specimens(path):
    text = open(path, encoding="utf-8").read().splitlines()
    sep = ";" if ";" in text[0] else ","
    head = [h.strip().lower() for h in text[0].split(sep)]
    rows = {}
    for line in text[1:]:
        cells = line.split(sep)
        row = {}
        for h, c in zip(head, cells):
            if h == "file":
                name = c.strip()
            elif c.strip():
                row[{"s0": "S0", "l0": "L0", "lu": "Lu", "su": "Su"}.get(h, h)] = float(c.replace(",", "."))
        rows[name] = row
    return rows


def main(argv):
    opts, geometry, files, specimens = {}, {}, [], {}
    names = {"--diameter": "d0", "--width": "b0", "--thickness": "a0", "--area": "S0", "--gauge-length": "L0",
             "--final-length": "Lu", "--final-diameter": "du", "--final-area": "Su"}
    i = 0
    while i < len(argv):
        a = argv[i]
        if a in names:
            geometry[names[a]] = float(argv[i + 1])
        elif a == "--specimens":
            specimens = read_specimens(argv[i + 1])
        elif a == "--proof":
            opts["proof"] = [float(v) for v in argv[i + 1].split(",")]
        elif a == "--fracture-drop":
            opts["fracture_drop"] = float(argv[i + 1])
        elif a == "--modulus-range":
            opts["modulus_range"] = [float(v) for v in argv[i + 1].split(",")]
        else:
            files.append(a)
            i += 1
            continue
        i += 2
    results = []
    for path in files:
        g = dict(geometry)
        g.update(specimens.get(path, specimens.get(os.path.basename(path), {})))
        try:
            r = evaluate(path, opts, g)
        except (ValueError, KeyError, TypeError, ZeroDivisionError, OSError) as err:
            r = {"error": str(err)}
        r = {"file": os.path.basename(path), **r}
        results.append(r)
    results.append({"statistics": statistics(results, opts.get("proof", [0.2]))})
    json.dump(results, sys.stdout, indent=1, ensure_ascii=False)
    print()


if __name__ == "__main__":
    main(sys.argv[1:])
