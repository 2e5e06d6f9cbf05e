#!/usr/bin/env python3
"""An independent evaluation of machine exports by tenso-report's reading of ISO 6892-1 (rules 2, the
standard rules of the user guide), written in plain Python from that text, without looking at the
C++ code. Its output is the expected JSON of the golden tests in tests/report/.

    python3 tests/report/reference.py OPTIONS... FILE... > expected.json

It takes tenso-report's evaluation options (--specimens, the geometry options, the column, unit,
factor, separator and decimal options, --proof, --fracture-drop, --modulus, --modulus-range) and
prints the JSON of tenso-report's --format json (notes are not compared by the golden tests,
errors only as present or absent; warnings are worded exactly). Every sum runs in file order, as
tenso-report sums, so the results agree with tenso-report's to the last bits or nearly.

The SDAR window search is quadratic in the records below the tangency point (up to 10000 after
thinning, 5e7 window updates). With numpy it runs across all window starts at once, each start's
running sums still updated in the written order, so the numbers are the same; without numpy it runs
plainly, about 20 s for a search over 10000 records.

To regenerate on purpose, see tests/report/CMakeLists.txt (the commands are listed there)."""

import json
import math
import os
import re
import sys
from bisect import bisect_left

try:
    import numpy
except ImportError:  # the plain loops below give the same numbers, only slower
    numpy = None

RULES = "ISO 6892-1, rules 2"

# Unit tables, keyed by the normalised text (lower case, µ written u, ² written 2).
UNITS = {
    "force": {"n": 1.0, "dan": 10.0, "kn": 1000.0, "mn": 1e6, "kgf": 9.80665, "lbf": 4.4482216152605,
              "kip": 4448.2216152605},
    "extension": {"mm": 1.0, "um": 0.001, "cm": 10.0, "m": 1000.0, "in": 25.4},
    "strain": {"mm/mm": 1.0, "m/m": 1.0, "in/in": 1.0, "-": 1.0, "%": 0.01, "uε": 1e-6, "ue": 1e-6,
               "um/m": 1e-6, "microstrain": 1e-6},
    "stress": {"mpa": 1.0, "n/mm2": 1.0, "kpa": 0.001, "gpa": 1000.0, "kgf/mm2": 9.80665,
               "ksi": 6.894757293168, "psi": 0.006894757293168},
    "time": {"s": 1.0, "sec": 1.0, "ms": 1.0, "min": 1.0, "h": 1.0},
}
LENGTH = {"mm": 1.0, "cm": 10.0, "m": 1000.0, "um": 0.001, "in": 25.4}
AREA = {"mm2": 1.0, "cm2": 100.0, "m2": 1e6, "in2": 645.16}

MISSING = {"nan", "inf", "+inf", "-inf", "infinity", "n/a", "na", "#n/a", "null", "none", "-", "--", "---"}
THOUSANDS = re.compile(r"[+-]?[0-9]{1,3}(,[0-9]{3})+(\.[0-9]+)?\Z")
WORD_BREAK = re.compile(r"[ \t_\-./:=()\[\]{}<>]+")
TRAILING_BRACKET = re.compile(r"\s*[\(\[]([^\(\)\[\]]*)[\)\]]\s*\Z")

KIND_WORDS = {
    "force": ["force", "load", "kraft"],
    "stress": ["stress", "spannung"],
    "strain": ["strain", "dehnung"],
    "extension": ["extension", "elongation", "displacement", "deformation", "verlängerung", "allongement",
                  "extensometer"],
}
CROSSHEAD_WORDS = ["travel", "weg", "course", "stroke", "crosshead", "cross-head", "traverse", "position"]
NEVER_WORDS = ["true", "wahre", "rate", "speed", "geschwindigkeit", "vitesse"]

AFTER_WORDS = ["after", "fracture", "bruch", "rupture", "final"]
HEADER_ROWS = [  # (value, words, after-fracture words needed), in the order the table lists them
    ("Su", ["area", "section", "querschnitt"], True),
    ("du", ["diameter", "durchmesser", "diamètre"], True),
    ("Lu", ["length", "länge", "longueur"], True),
    ("S0", ["cross-section", "cross section", "area", "querschnitt", "section", "s0"], False),
    ("d0", ["diameter", "durchmesser", "diamètre", "d0"], False),
    ("a0", ["thickness", "dicke", "épaisseur", "epaisseur", "a0"], False),
    ("b0", ["width", "breite", "largeur", "b0"], False),
    ("L0", ["gauge length", "gage length", "messlänge", "longueur de référence", "l0"], False),
]
HEADER_EXCLUDED = ["grip", "einspann", "parallel", "speed", "rate", "geschwindigkeit", "vitesse"]
ID_WORDS = (["specimen", "sample", "probe", "éprouvette"], ["id", "name", "bezeichnung", "kennung"])
MATERIAL_WORDS = ["material", "werkstoff", "matériau"]

SPECIMEN_OPTIONS = {"--diameter": "d0", "--width": "b0", "--thickness": "a0", "--area": "S0",
                    "--gauge-length": "L0", "--final-length": "Lu", "--final-diameter": "du", "--final-area": "Su"}
ROLES = ("force", "extension", "strain", "stress")


class FileError(Exception):
    """The evaluation of one file failed; the message is the file's error."""


class UsageError(Exception):
    pass


class SdarError(Exception):
    pass


# ---------------------------------------------------------------- words, numbers, units


def plain_sum(values):
    # Left to right from 0, as tenso-report adds (Python 3.12's sum() compensates, which differs).
    total = 0.0
    for v in values:
        total += v
    return total


def words_of(text):
    return [w for w in WORD_BREAK.split(text.lower()) if w]


def holds(text, word):
    """A two-character search word must be a whole word; a longer one may stand inside a compound."""
    text, word = text.lower(), word.lower()
    if len(word) <= 2:
        return word in words_of(text)
    return word in text


def holds_any(text, words):
    return any(holds(text, w) for w in words)


def normal_unit(text):
    u = text.strip()
    if len(u) >= 2 and u[0] in "([" and u[-1] in ")]":
        u = u[1:-1].strip()
    return u.lower().replace("\u00b5", "u").replace("\u03bc", "u").replace("^2", "2").replace("²", "2")


def unit_kind(text):
    """(kind, factor) of a unit of the tables, None for any other text."""
    u = normal_unit(text)
    for kind, table in UNITS.items():
        if u in table:
            return kind, table[u]
    return None


def number_pattern(marks):
    m = "[" + re.escape(marks) + "]"
    return re.compile(r"[+-]?([0-9]+(" + m + r"[0-9]*)?|" + m + r"[0-9]+)([eE][+-]?[0-9]+)?\Z")


def marks_for(sep, decimal):
    if decimal == "point":
        return "."
    if decimal == "comma":
        return ","
    return "." if sep == "," else ".,"


def to_float(text):
    return float(text.replace(",", "."))


def shortest(x):
    return repr(float(x)).removesuffix(".0")


# ---------------------------------------------------------------- reading a machine export


def split_fields(line, sep):
    """Fields of a line: blanks trimmed, quotes honoured, trailing empty fields dropped. With the comma
    separator a quoted number with thousands separators comes back without them."""
    if '"' not in line:
        if sep == " ":
            out = [f for f in re.split(r"[ \t]+", line) if f]
        else:
            out = [f.strip(" \t") for f in line.split(sep)]
    else:
        out = []
        i, n = 0, len(line)
        while True:
            while i < n and line[i] in " \t":
                i += 1
            if sep == " " and i >= n:
                break
            if i < n and line[i] == '"':
                i += 1
                buf = []
                while i < n:
                    c = line[i]
                    if c == '"':
                        if i + 1 < n and line[i + 1] == '"':
                            buf.append('"')
                            i += 2
                            continue
                        i += 1
                        break
                    buf.append(c)
                    i += 1
                text = "".join(buf)
                if sep == "," and THOUSANDS.match(text):
                    text = text.replace(",", "")
                end = next_separator(line, sep, i)
            else:
                end = next_separator(line, sep, i)
                text = (line[i:] if end < 0 else line[i:end]).strip(" \t")
            out.append(text)
            if end < 0:
                break
            i = end + 1
    while out and out[-1] == "":
        out.pop()
    return out


def next_separator(line, sep, start):
    if sep != " ":
        return line.find(sep, start)
    m = re.compile(r"[ \t]").search(line, start)
    return m.start() if m else -1


def is_data(fs, pattern):
    if len(fs) < 2:
        return False
    numbers = 0
    for f in fs:
        if pattern.match(f):
            numbers += 1
        elif f and f.lower() not in MISSING:
            return False
    return numbers >= 2


def line_separator(line, decimal):
    if ";" in line:
        return ";"
    if "\t" in line:
        return "\t"
    if is_data(split_fields(line, ","), number_pattern(marks_for(",", decimal))):
        return ","
    return " "


def decode(raw):
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        return raw.decode("latin-1")


class Export:
    """What the reading of one file gives: the layout, header, names, units and records."""

    def __init__(self, path, separator=None, decimal=None):
        with open(path, "rb") as stream:
            data = stream.read()
        if data.startswith(b"\xef\xbb\xbf"):
            data = data[3:]
        try:
            text = data.decode("utf-8")
            lines = re.split(r"\r\n|\n|\r", text)
        except UnicodeDecodeError:
            lines = [decode(raw) for raw in re.split(rb"\r\n|\n|\r", data)]
        if lines and lines[-1] == "":
            lines.pop()
        first = None
        for k, line in enumerate(lines):
            sep = separator or line_separator(line, decimal)
            pattern = number_pattern(marks_for(sep, decimal))
            if is_data(split_fields(line, sep), pattern):
                first = k
                break
        if first is None:
            raise FileError("no data line: no line holds two numbers")
        self.sep, self.marks = sep, marks_for(sep, decimal)
        self.pattern = pattern
        first_fields = split_fields(lines[first], sep)
        self.width = len(first_fields)
        self.header = [split_fields(l, sep) for l in lines[:first]]
        self.header_text = lines[:first]
        self.names, self.units = [""] * self.width, [""] * self.width
        self.has_names, self.names_line = False, len(self.header)  # header values come from above it
        for k in range(len(self.header) - 1, -1, -1):
            line = self.header[k]
            if len(line) != self.width:
                continue
            if (k > 0 and len(self.header[k - 1]) == self.width and not any(pattern.match(f) for f in line)
                    and any(f and unit_kind(f) for f in line)):
                self.names, self.units, self.names_line = self.header[k - 1], line, k - 1
            else:
                self.names, self.names_line = line, k
            self.has_names = True
            break
        self.records = []  # (line number from 1, fields)
        self.footer = 0
        for k in range(first, len(lines)):
            line = lines[k]
            if line.strip(" \t") == "":
                continue
            fs = first_fields if k == first else split_fields(line, sep)
            if not is_data(fs, pattern):
                self.footer = len(lines) - k
                break
            self.records.append((k + 1, fs))


def split_name(name):
    """(name without its unit, unit text or None): a bracketed end that is no unit stays in the name."""
    m = TRAILING_BRACKET.search(name)
    if m and unit_kind(m.group(1)):
        return name[:m.start()].strip(), m.group(1).strip()
    return name, None


# ---------------------------------------------------------------- header values


def header_unit_factor(value_name, unit):
    table = AREA if value_name in ("S0", "Su") else LENGTH
    if unit is None or unit.strip() == "":
        return 1.0
    return table.get(normal_unit(unit))


def key_value_unit(fields, raw_line, sep):
    """(key, value text, unit text or None, text after the key) of a header line, or None. The fields
    form: key, value and an optional unit. The one-field form "key: value unit" or "key = value unit";
    with blanks as the separator a line holding ":" or "=" is read in that form, since its key may
    hold blanks itself."""
    one = fields[0] if len(fields) == 1 else None
    if sep == " " and (":" in raw_line or "=" in raw_line):
        one = raw_line.strip(" \t")
    if one is None:
        if len(fields) < 2:
            return None
        key = fields[0].strip()
        key = key[:-1].strip() if key.endswith(":") else key
        return key, fields[1].strip(), (fields[2] if len(fields) >= 3 else None), fields[1].strip()
    cut = [p for p in (one.find(":"), one.find("=")) if p >= 0]
    if not cut:
        return None
    key, rest = one[:min(cut)].strip(), one[min(cut) + 1:].strip()
    tokens = rest.split()
    value = tokens[0] if tokens else ""
    unit = tokens[-1] if len(tokens) >= 2 else None
    return key, value, unit, rest


def key_names(key):
    """The specimen value a header key names, or None."""
    if holds_any(key, HEADER_EXCLUDED):
        return None
    after = holds_any(key, AFTER_WORDS)
    for name, words, needs_after in HEADER_ROWS:
        if needs_after:
            if (after and holds_any(key, words)) or holds(key, name):
                return name
        elif holds_any(key, words):
            return name
    return None


def read_header_values(export):
    """Specimen values, id and material from the header lines above the names line."""
    values, notes, text = {}, [], {}
    for k in range(export.names_line if export.has_names else len(export.header)):
        fields = export.header[k]
        if not fields:
            continue
        kvu = key_value_unit(fields, export.header_text[k], export.sep)
        if kvu is None:
            continue
        key, value, unit, rest = kvu
        named = key_names(key)
        if named is None:
            # A key that names a specimen value names no text.
            if holds_any(key, ID_WORDS[0]) and holds_any(key, ID_WORDS[1]):
                which = "id"
            elif holds_any(key, MATERIAL_WORDS):
                which = "material"
            else:
                continue
            if which not in text and rest:
                text[which] = rest
            continue
        if named in values or not export.pattern.match(value):
            continue
        if unit is None:
            m = TRAILING_BRACKET.search(key)
            unit = m.group(1) if m else None
        factor = header_unit_factor(named, unit)
        if factor is None:
            notes.append(f"line {k + 1} of the file not used: {unit} is no unit of {named}")
            continue
        number = to_float(value) * factor if factor != 1.0 else to_float(value)
        values[named] = (number, k + 1, unit if unit else ("mm²" if named in ("S0", "Su") else "mm"))
    return values, text, notes


# ---------------------------------------------------------------- columns


class Column:
    def __init__(self, index, name, units_line_unit):
        self.index, self.name = index, name
        self.base, name_unit = split_name(name)
        self.unit = name_unit if name_unit is not None else (units_line_unit or None)
        self.unit_known = unit_kind(self.unit) if self.unit else None
        self.crosshead = holds_any(name, CROSSHEAD_WORDS) and not holds_any(name, KIND_WORDS["extension"])
        kinds = []
        if name and not holds_any(name, NEVER_WORDS):
            kinds = [k for k, words in KIND_WORDS.items() if holds_any(name, words)]
            if self.crosshead:
                kinds.append("extension")
        # A column's unit decides its kind ("Strain1" in mm is an extension column).
        if self.unit_known and kinds and self.unit_known[0] not in kinds:
            kinds = [self.unit_known[0]] if self.unit_known[0] in ROLES else []
            self.by_unit = True
        else:
            if self.unit_known and kinds:
                kinds = [self.unit_known[0]]
            self.by_unit = False
        self.kinds = kinds

    def label(self):
        return f'column {self.index + 1}' + (f' "{self.name}"' if self.name else "")


def find_by_name(columns, kind):
    cands = [c for c in columns if kind in c.kinds]
    if kind == "extension":
        plain = [c for c in cands if not (c.crosshead and not c.by_unit)]
        if plain:
            cands = plain
        else:
            def word_rank(c):
                return min(i for i, w in enumerate(CROSSHEAD_WORDS) if holds(c.name, w))
            return min(cands, key=lambda c: (word_rank(c), c.index)) if cands else None
    if not cands:
        return None

    def first_word(c):
        ws = words_of(c.base or c.name)
        return 0 if ws and ws[0] in KIND_WORDS[kind] else 1
    return min(cands, key=lambda c: (first_word(c), c.index))


def column_by_option(columns, option, text, width):
    if re.fullmatch(r"[0-9]+", text.strip()):
        n = int(text)
        if n < 1 or n > width:
            raise FileError(f"{option} {text}: the first data line has {width} fields")
        return columns[n - 1]
    want = text.strip().lower()
    for c in columns:
        if c.name and (c.name.lower() == want or c.base.lower() == want):
            return c
    raise FileError(f'{option} "{text}": no column has that name')


# ---------------------------------------------------------------- fits and the quantities


class Fit:
    pass


def fit_records(R, e, s, last):
    """Least squares of R on e over records s..last, centred form, sums in file order."""
    n = last - s + 1
    sx = sy = 0.0
    for i in range(s, last + 1):
        sx += e[i]
        sy += R[i]
    xm, ym = sx / n, sy / n
    sxx = sxy = syy = 0.0
    for i in range(s, last + 1):
        dx, dy = e[i] - xm, R[i] - ym
        sxx += dx * dx
        sxy += dx * dy
        syy += dy * dy
    fit = Fit()
    fit.n, fit.sxx, fit.sxy, fit.syy = n, sxx, sxy, syy
    if sxx == 0:
        fit.E = None
        return fit
    fit.E = sxy / sxx
    fit.c = ym - fit.E * xm
    fit.r2 = sxy * sxy / (sxx * syy) if syy != 0 else None
    rest = syy - sxy * sxy / sxx
    fit.s = math.sqrt(rest / (n - 2)) if rest > 0 and n > 2 else 0.0
    return fit


def slope(xs, ys):
    n = len(xs)
    if n < 2:
        return None
    xm, ym = plain_sum(xs) / n, plain_sum(ys) / n
    sxx = sxy = 0.0
    for x, y in zip(xs, ys):
        dx = x - xm
        sxx += dx * dx
        sxy += dx * (y - ym)
    return sxy / sxx if sxx != 0 else None


def range_fit(R, e, m, lo, hi):
    """The fit over the points of [lo, hi] below the maximum; b is the first record after them."""
    a = next((i for i in range(m) if R[i] >= lo), None)
    b = None if a is None else next((i for i in range(a + 1, m) if R[i] > hi), m)
    if a is None or b - a < 5:
        raise FileError(f"too few points between {shortest(lo)} and {shortest(hi)} MPa for the elastic modulus")
    fit = fit_records(R, e, a, b - 1)
    if fit.E is None or fit.E <= 0:
        raise FileError(f"no rise between {shortest(lo)} and {shortest(hi)} MPa")
    fit.b, fit.lo, fit.hi, fit.points = b, lo, hi, b - a
    return fit


def fracture_index(R, e, m, drop):
    """The first i >= m from which R falls by more than drop within 0.0005 strain (the next record
    always in the window), else the last record. One pass from the end with two monotonic stacks and
    binary searches: n log n whatever the strain does after the break."""
    N = len(R)
    found = N - 1
    e_idx, e_neg = [], []  # from p = i + 1: the records whose strain exceeds every one before them
    r_neg, r_val = [], []  # from p = i + 1: the records whose stress is below every one before them
    for i in range(N - 2, m - 1, -1):
        p = i + 1
        while r_val and r_val[-1] >= R[p]:
            r_val.pop()
            r_neg.pop()
        r_val.append(R[p])
        r_neg.append(-p)
        while e_neg and -e_neg[-1] <= e[p]:
            e_neg.pop()
            e_idx.pop()
        e_neg.append(-e[p])
        e_idx.append(p)
        limit = e[i] + 0.0005
        above = bisect_left(e_neg, -limit)  # how many of the stack exceed the limit
        last = N - 1 if above == 0 else max(p, e_idx[above - 1] - 1)
        lowest = r_val[bisect_left(r_neg, -last)]
        if R[i] - lowest > drop:
            found = i
    return found


def upper_yield(R, eps, E, s, b, m):
    h = b
    while h < m:
        j = h + 1
        while R[j] <= R[h]:
            j += 1
        if j > h + 1:
            lowest = min(R[h + 1:j])
            if (lowest <= 0.995 * R[h] and eps[j - 1] - eps[h] >= 0.0005 and R[h] - lowest >= 3 * s
                    and eps[h] - R[h] / E <= 0.002):
                return h, j
        h = j
    return None, None


def proof(R, eps, E, b, f, x):
    off = x / 100
    k = max(b - 1, 0)
    if k + 1 > f:
        return None, None
    gk = R[k] - E * (eps[k] - off)
    while k + 1 <= f:
        gk1 = R[k + 1] - E * (eps[k + 1] - off)
        if gk >= 0 and gk1 < 0:
            t = gk / (gk - gk1)
            return R[k] + t * (R[k + 1] - R[k]), eps[k] + t * (eps[k + 1] - eps[k])
        k += 1
        gk = gk1
    return None, None


# ---------------------------------------------------------------- SDAR (ASTM E3076)


def best_window_plain(X, Y, nmin):
    n = len(X)
    best_q, best = math.inf, None
    for s in range(n):
        xm = ym = sxx = syy = sxy = 0.0
        for j in range(s, n):
            k = j - s + 1
            dx = X[j] - xm
            dy = Y[j] - ym
            xm += dx / k
            ym += dy / k
            sxx += dx * (X[j] - xm)
            syy += dy * (Y[j] - ym)
            sxy += dx * (Y[j] - ym)
            if k >= nmin and sxx != 0 and syy != 0:
                q = 1 - sxy * sxy / (sxx * syy)
                if q < best_q:
                    best_q, best = q, (s, j)
    return best


def best_window_numpy(X, Y, nmin):
    """The same windows as best_window_plain, all starts at once for each length: every start's sums
    are its own sequence, updated in the same order; the plain scan keeps the first window of the
    least Q in (start, length) order, which is the least start among the least Q of each length."""
    n = len(X)
    Xa, Ya = numpy.array(X, dtype=numpy.float64), numpy.array(Y, dtype=numpy.float64)
    xm, ym = numpy.zeros(n), numpy.zeros(n)
    sxx, syy, sxy = numpy.zeros(n), numpy.zeros(n), numpy.zeros(n)
    best_q, best = math.inf, None
    with numpy.errstate(divide="ignore", invalid="ignore", over="ignore"):
        for k in range(1, n + 1):
            M = n - k + 1
            xj, yj = Xa[k - 1:], Ya[k - 1:]
            vxm, vym, vsxx, vsyy, vsxy = xm[:M], ym[:M], sxx[:M], syy[:M], sxy[:M]
            dx = xj - vxm
            dy = yj - vym
            vxm += dx / k
            vym += dy / k
            vsxx += dx * (xj - vxm)
            vsyy += dy * (yj - vym)
            vsxy += dx * (yj - vym)
            if k >= nmin:
                q = 1 - vsxy * vsxy / (vsxx * vsyy)
                q[(vsxx == 0) | (vsyy == 0) | numpy.isnan(q)] = numpy.inf
                s = int(numpy.argmin(q))
                if q[s] < best_q or (q[s] == best_q and best is not None and s < best[0]):
                    best_q, best = float(q[s]), (s, s + k - 1)
    return best


def best_window(X, Y, nmin):
    if numpy is not None:
        return best_window_numpy(X, Y, nmin)
    return best_window_plain(X, Y, nmin)


class Sdar:
    def __init__(self, R, e, m):
        self.R, self.e, self.m = R, e, m
        R0, rm = R[0], R[m]
        if rm <= R0:
            raise SdarError("SDAR: no rise in the record")
        rise = R0 + 0.05 * (rm - R0)
        o1 = next(i for i in range(m + 1) if R[i] > rise)
        self.a = max(i for i in range(o1 + 1) if R[i] <= R0)
        a = self.a
        self.X = [0.0] * (m + 1)
        self.Y = [0.0] * (m + 1)
        for i in range(a, m + 1):
            self.X[i] = e[i] - e[a]
            self.Y[i] = R[i] - R[a]
        self.ymax = self.Y[m]
        self.o = next(i for i in range(a, m + 1) if self.Y[i] > 0.05 * self.ymax)

    def tangency(self, f):
        X, Y, o = self.X, self.Y, self.o
        yp = Y[o] + f * self.ymax
        best, t = None, None
        for i in range(o + 1, self.m + 1):
            if Y[i] > yp and X[i] > X[o]:
                r = (Y[i] - yp) / (X[i] - X[o])
                if best is None or r > best:
                    best, t = r, i
        return t

    def window(self, t):
        a = self.a
        count = t - a + 1
        if count > 10000:
            step = -(-count // 10000)
            idx = list(range(t, a - 1, -step))[::-1]
        else:
            idx = list(range(a, t + 1))
        n = len(idx)
        if n < 10:
            raise SdarError(f"SDAR: {n} records below the tangency point, at least 10 needed")
        nmin = max(10, n // 5)
        found = best_window([self.X[i] for i in idx], [self.Y[i] for i in idx], nmin)
        if found is None:
            raise SdarError("SDAR: no rise below the tangency point")
        return idx, idx[found[0]], idx[found[1]]

    def run(self):
        f = 0.15
        t = self.tangency(f)
        if t is None:
            raise SdarError("SDAR: no tangency point above the offset point")
        idx, s, last = self.window(t)
        raises = 0
        while last == t:
            f += 0.05
            t2 = self.tangency(f)
            if t2 is None or t2 == t:
                break
            try:
                idx2, s2, last2 = self.window(t2)
            except SdarError:  # a raise that finds no window does not stand
                break
            t, idx, s, last = t2, idx2, s2, last2
            raises += 1
        fit = fit_records(self.R, self.e, s, last)
        if fit.E is None or fit.E <= 0:
            raise SdarError("SDAR: no rise below the tangency point")
        fit.b, fit.lo, fit.hi, fit.points = last, self.R[s], self.R[last], last - s + 1
        fit.window = (s, last)
        fit.t, fit.range_idx, fit.raises = t, idx, raises
        fit.metrics = self.metrics(fit)
        return fit

    def metrics(self, fit):
        R, e, X, Y = self.R, self.e, self.X, self.Y
        idx, t = fit.range_idx, fit.t
        n = len(idx)
        out = {}
        failures = []
        for axis, V, word in (("x", X, "strain"), ("y", Y, "stress")):
            if V[t] == 0:
                out[axis + "_noise"] = out[axis + "_resolution"] = None
                failures.append(f"relative noise in {word} undefined")
                continue
            u = [V[i] / V[t] for i in idx]
            d = [u[i + 1] - u[i] for i in range(n - 1)]
            mean = plain_sum(d) / (n - 1)
            var = plain_sum((x - mean) * (x - mean) for x in d) / (n - 2)
            noise = math.sqrt(var) / 0.005
            out[axis + "_noise"] = noise
            bins = {}
            for i in range(n - 2):
                b = math.floor(4096 * abs(d[i + 1] - d[i]) + 0.5)
                bins[b] = bins.get(b, 0) + 1
            above = [(c, b) for b, c in bins.items() if b >= 1]
            z = min(above, key=lambda cb: (-cb[0], cb[1]))[1] if above else 1
            res = z / 3
            out[axis + "_resolution"] = res
            out[axis + "_noise_pass"] = noise <= 1
            out[axis + "_resolution_pass"] = res <= 1 or (4 * bins.get(z, 0) <= n - 2 and 4 * bins.get(0, 0) <= n - 2)
        s, last = fit.window
        E, c = fit.E, fit.c
        lo_e, hi_e = e[s], e[last]
        q_lim1 = lo_e + 0.25 * (hi_e - lo_e)
        q_lim4 = lo_e + 0.75 * (hi_e - lo_e)
        for key, keep in (("q1", lambda x: x <= q_lim1), ("q4", lambda x: x >= q_lim4)):
            xs = [e[j] for j in range(s, last + 1) if keep(e[j])]
            ds = [R[j] - (E * e[j] + c) for j in range(s, last + 1) if keep(e[j])]
            k = slope(xs, ds)
            out[key] = None if k is None else k / (0.05 * E)
            out[key + "_points"] = len(xs)
        span = max(R[s:last + 1]) - min(R[s:last + 1])
        out["fit_range"] = 0.4 * Y[t] / span if span != 0 else None
        checks = []
        for axis, word in (("x", "strain"), ("y", "stress")):
            if out[axis + "_noise"] is not None and not out[axis + "_noise_pass"]:
                checks.append(f"relative noise {out[axis + '_noise']:.3g} in {word}")
        for axis, word in (("x", "strain"), ("y", "stress")):
            if out[axis + "_resolution"] is not None and not out[axis + "_resolution_pass"]:
                checks.append(f"relative resolution {out[axis + '_resolution']:.3g} in {word}")
        for key, where in (("q1", "start"), ("q4", "end")):
            if out[key + "_points"] < 5 or out[key] is None or abs(out[key]) > 1:
                value = "undefined" if out[key] is None else f"{out[key]:.3g}"
                checks.append(f"relative residual slope {value} at the {where} of the fit "
                              f"({out[key + '_points']} records)")
        if out["fit_range"] is None or out["fit_range"] > 1:
            value = "undefined" if out["fit_range"] is None else f"{out['fit_range']:.3g}"
            checks.append(f"relative fit range {value}")
        checks = failures + checks
        return {"x_noise": out["x_noise"], "y_noise": out["y_noise"], "x_resolution": out["x_resolution"],
                "y_resolution": out["y_resolution"], "q1": out["q1"], "q1_points": out["q1_points"],
                "q4": out["q4"], "q4_points": out["q4_points"], "fit_range": out["fit_range"], "records": n,
                "raises": fit.raises, "passed": not checks}, checks


def passes(R, e, m, f, notes):
    p1 = range_fit(R, e, m, 0.10 * R[m], 0.40 * R[m])
    p1.pass_no = 1
    e0 = -p1.c / p1.E
    eps1 = [x - e0 for x in e]
    h, _ = upper_yield(R, eps1, p1.E, p1.s, p1.b, m)
    y1 = R[h] if h is not None else proof(R, eps1, p1.E, p1.b, f, 0.2)[0]
    if y1 is None:
        notes.append("pass 2 of E not run: neither ReH nor Rp0.2 from pass 1; E from pass 1")
        return p1
    try:
        p2 = range_fit(R, e, m, 0.10 * y1, 0.50 * y1)
    except FileError as err:
        notes.append(f"pass 2 of E failed ({err}); E from pass 1")
        return p1
    p2.pass_no = 2
    return p2


def quantities(R, e, F, opts, specimen, notes, warnings):
    N = len(R)
    rm = max(R)
    m = R.index(rm)
    if rm <= 0:
        raise FileError("no tensile load: the stress never rises above zero")
    drop = opts["fracture_drop"] / 100 * rm
    f = fracture_index(R, e, m, drop)
    if f < N - 1:
        notes.append(f"{N - 1 - f} records after the fracture not evaluated")

    method, sdar_out = opts["modulus"], None
    if opts.get("modulus_range"):
        lo, hi = opts["modulus_range"]
        fit = range_fit(R, e, m, lo, hi)
        fit.pass_no, method = 0, "range"
    elif method == "passes":
        fit = passes(R, e, m, f, notes)
    else:
        try:
            fit = Sdar(R, e, m).run()
            sdar_out, checks = fit.metrics
            fit.pass_no = None
            notes.append(f"E by SDAR (ASTM E3076) from {shortest(fit.lo)} to {shortest(fit.hi)} MPa, "
                         f"{fit.points} of the {sdar_out['records']} records below the tangency point at "
                         f"{shortest(R[fit.t])} MPa")
            if checks:
                notes.append("E fails checks of ASTM E3076: " + "; ".join(checks))
        except SdarError as err:
            notes.append(f"{err}; E from the passes")
            fit, method = passes(R, e, m, f, notes), "passes"
    E = fit.E
    e0 = -fit.c / E
    eps = [x - e0 for x in e]
    b = fit.b

    h, p = upper_yield(R, eps, E, fit.s, b, m)
    reh = rel = ae = None
    if h is not None:
        reh = R[h]
        minima = [j for j in range(h + 1, p) if R[j] < R[j - 1] and R[j] <= R[j + 1]]
        rel = min(R[j] for j in minima[1:]) if len(minima) >= 2 else R[minima[0]]
        q = max(i for i in range(h + 1, p) if R[i] <= (reh + rel) / 2)
        ae = (eps[q] - eps[h]) * 100
    rp = {}
    for x in opts["proof"]:
        mpa, strain = proof(R, eps, E, b, f, x)
        if mpa is None:
            notes.append(f"Rp{shortest(x)} not reached")
        rp[shortest(x)] = {"MPa": mpa, "strain": strain}
    agt = eps[m] * 100
    ag = agt - rm / E * 100
    limit = 0.10 * rm
    unloaded = sum(1 for i in range(f + 1, N) if R[i] > limit and e[i] < e[f]) >= 10
    if unloaded:
        rf = at = None
    else:
        rf, at = R[f], eps[f] * 100
    L0, Lu = specimen.get("L0"), specimen.get("Lu")
    if Lu is not None:
        a, from_curve = (Lu - L0) / L0 * 100, False
    elif unloaded:
        a, from_curve = None, None
    else:
        a, from_curve = at - rf / E * 100, True
    S0, Su = specimen.get("S0"), specimen.get("Su")
    z = (S0 - Su) / S0 * 100 if Su is not None else None

    if fit.r2 is not None and fit.r2 < 0.995:
        warnings.append(f"the elastic range is not straight (r² = {fit.r2:.4f}): E and every value that uses it "
                        "are uncertain")
    if E / 1000 > 1300:
        warnings.append(f"E = {E / 1000:.0f} GPa is stiffer than any material: check the extension unit and L0")
    if specimen.get("crosshead"):
        warnings.append(f'the strain comes from the crosshead (column "{specimen["crosshead"]}"): E and the extensions '
                        "include the machine's own stretch")
    if unloaded:
        warnings.append("the test was unloaded, not broken: no fracture values; give --final-length for A")

    return {
        "E": {"GPa": E / 1000, "lo": fit.lo, "hi": fit.hi, "points": fit.points, "r2": fit.r2,
              "pass": fit.pass_no, "method": method, "sdar": sdar_out if method == "sdar" else None},
        "e0": e0, "ReH": reh, "ReL": rel, "Ae": ae, "Rp": rp, "Rm": rm,
        "Fm": F[m] / 1000 if F is not None else None, "Agt": agt, "Ag": ag, "Rf": rf, "At": at, "A": a,
        "A_from_curve": from_curve, "Z": z,
    }


# ---------------------------------------------------------------- one file


def specimen_values(row, options, header, notes):
    """Each value from the specimens row, else the option, else the header; a cross-section whole."""
    specimen = {}

    def section(src, full, diameter, pair):
        if src.get(full) is not None:
            return src[full], [full]
        if src.get(diameter) is not None:
            return math.pi / 4 * src[diameter] ** 2, [diameter]
        if pair and src.get("a0") is not None and src.get("b0") is not None:
            return src["a0"] * src["b0"], ["a0", "b0"]
        return None, []

    hv = {k: v[0] for k, v in header.items()}
    for key, diameter, pair in (("S0", "d0", True), ("Su", "du", False)):
        for src, origin in ((row, "row"), (options, "option"), (hv, "header")):
            value, used = section(src, key, diameter, pair)
            if value is not None:
                specimen[key] = value
                if origin == "header":
                    for u in used:
                        v, line, unit = header[u]
                        notes.append(f"{u} = {shortest(v)} mm{'²' if u in ('S0', 'Su') else ''} "
                                     f"from line {line} of the file")
                break
    for key in ("L0", "Lu"):
        for src, origin in ((row, "row"), (options, "option"), (hv, "header")):
            if src.get(key) is not None:
                specimen[key] = src[key]
                if origin == "header":
                    notes.append(f"{key} = {shortest(src[key])} mm from line {header[key][1]} of the file")
                break
    return specimen


def evaluate(path, opts, options, row, result):
    export = Export(path, opts.get("separator"), opts.get("decimal"))
    notes = result["notes"]
    header, text, header_notes = read_header_values(export)
    result["id"] = row.get("id") or text.get("id")
    result["material"] = row.get("material") or text.get("material")
    notes.extend(header_notes)
    if export.footer:
        notes.append(f"{export.footer} lines after the table ignored")

    columns = [Column(i, export.names[i], export.units[i]) for i in range(export.width)]
    specimen = specimen_values({k: v for k, v in row.items() if k not in ("id", "material")}, options, header, notes)
    chosen = {}
    for role in ROLES:
        if opts["columns"].get(role) is not None:
            chosen[role] = (column_by_option(columns, "--" + role, opts["columns"][role], export.width), True)
    found = {kind: find_by_name(columns, kind) for kind in ROLES}

    have_section = specimen.get("S0") is not None
    if "stress" in chosen:
        y_role, y_col = "stress", chosen["stress"][0]
    elif "force" in chosen:
        y_role, y_col = "force", chosen["force"][0]
    elif found["force"] is not None and have_section:
        y_role, y_col = "force", found["force"]
    elif found["stress"] is not None:
        y_role, y_col = "stress", found["stress"]
    elif found["force"] is not None:
        y_role, y_col = "force", found["force"]
    else:
        raise FileError("no force and no stress column: give --force or --stress")
    if "strain" in chosen:
        x_role, x_col = "strain", chosen["strain"][0]
    elif "extension" in chosen:
        x_role, x_col = "extension", chosen["extension"][0]
    elif found["strain"] is not None:
        x_role, x_col = "strain", found["strain"]
    elif found["extension"] is not None:
        x_role, x_col = "extension", found["extension"]
    else:
        x_role, x_col = None, None

    factors = {}
    for role, col in ((y_role, y_col), (x_role, x_col)):
        if col is None:
            continue
        unit = opts["units"].get(role) or col.unit
        if unit is None:
            factors[role] = 1.0
            continue
        known = unit_kind(unit)
        if known is None:
            raise FileError(f'{col.label()} has the unit "{unit}", which is no {role} unit: give --{role}-unit')
        if known[0] != role:
            raise FileError(f'{col.label()} has the unit "{unit}", a {known[0]} unit: give --{known[0]} '
                            f'{col.index + 1} or --{role}-unit')
        factors[role] = known[1]

    if y_role == "force" and not have_section:
        raise FileError("a force column but no cross-section: give --diameter, --width and --thickness, or --area")
    if x_role is None and specimen.get("L0") is None:
        raise FileError("no strain column and no L0: give --strain, or --extension and --gauge-length")
    if x_role is None:
        raise FileError("no strain and no extension column: give --strain or --extension")
    if x_role == "extension" and specimen.get("L0") is None:
        raise FileError("an extension column but no L0: give --gauge-length")
    if specimen.get("Lu") is not None and specimen.get("L0") is None:
        raise FileError("a final length but no L0: give --gauge-length")
    if specimen.get("Su") is not None and not have_section:
        raise FileError("a final cross-section but no cross-section: give --diameter, --width and --thickness, "
                        "or --area")
    if x_col.crosshead:
        specimen["crosshead"] = x_col.name

    yc, xc = y_col.index, x_col.index
    yf, xf = factors[y_role], factors[x_role]
    # The factor multiplies the column after its unit: (value x unit) x factor, in that order.
    yk, xk = opts["factors"].get(y_role), opts["factors"].get(x_role)
    S0, L0 = specimen.get("S0"), specimen.get("L0")
    R, e, F, skipped = [], [], ([] if y_role == "force" else None), 0
    for line_no, fs in export.records:
        ytext = fs[yc] if yc < len(fs) else ""
        xtext = fs[xc] if xc < len(fs) else ""
        if not ytext or not xtext or not export.pattern.match(ytext) or not export.pattern.match(xtext):
            skipped += 1
            continue
        y, x = to_float(ytext), to_float(xtext)
        for value, col in ((y, y_col), (x, x_col)):
            if math.isinf(value):
                raise FileError(f"line {line_no}, {col.label()}: number beyond the double range")
        y, x = y * yf, x * xf
        if yk is not None:
            y = y * yk
        if xk is not None:
            x = x * xk
        if y_role == "force":
            F.append(y)
            R.append(y / S0)
        else:
            R.append(y)
        e.append(x if x_role == "strain" else x / L0)
    if skipped:
        notes.append(f"{skipped} records without a value in a chosen column skipped")
    if not R:
        raise FileError("no record holds both chosen values")
    warnings = []
    q = quantities(R, e, F, opts, specimen, notes, warnings)
    result.update({"error": None, "records": len(R), "skipped": skipped, "S0": S0, "L0": L0})
    result.update(q)
    result["warnings"] = warnings


KEYS = ["file", "id", "material", "error", "records", "skipped", "S0", "L0", "E", "e0", "ReH", "ReL", "Ae", "Rp",
        "Rm", "Fm", "Agt", "Ag", "Rf", "At", "A", "A_from_curve", "Z", "warnings", "notes"]


def evaluate_file(path, opts, options, specimens):
    result = {k: None for k in KEYS}
    result["file"] = os.path.basename(path)
    result["notes"] = []
    rows = [r for r in specimens if r.get("file") in (path, os.path.basename(path))]
    try:
        if len(rows) > 1:
            raise FileError(f"{len(rows)} rows of --specimens match this file")
        row = {k: v for k, v in (rows[0] if rows else {}).items() if k != "file"}
        result["id"], result["material"] = row.get("id"), row.get("material")
        evaluate(path, opts, options, row, result)
    except (FileError, OSError) as err:
        keep = {k: result[k] for k in ("file", "id", "material", "notes")}
        result = {k: None for k in KEYS}
        result.update(keep)
        result["error"] = str(err)
    return result


# ---------------------------------------------------------------- statistics and the command line


def statistics(results, proofs):
    names = ["E", "ReH", "ReL", "Ae"] + ["Rp" + shortest(x) for x in proofs] + \
        ["Rm", "Fm", "Agt", "Ag", "Rf", "At", "A", "Z"]
    out = {}
    for name in names:
        values = []
        for r in results:
            if r["error"]:
                continue
            if name == "E":
                v = r["E"]["GPa"]
            elif name.startswith("Rp"):
                v = r["Rp"][name[2:]]["MPa"]
            else:
                v = r[name]
            if v is not None:
                values.append(v)
        n = len(values)
        mean = plain_sum(values) / n if n else None
        s = math.sqrt(plain_sum((v - mean) * (v - mean) for v in values) / (n - 1)) if n > 1 else None
        cov = s / mean * 100 if s is not None and mean != 0 else None
        out[name] = {"n": n, "mean": mean, "s": s, "CoV": cov, "min": min(values) if n else None,
                     "max": max(values) if n else None}
    return out


def positive(option, text):
    if not re.fullmatch(r"[+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]+)?", text.strip()):
        raise UsageError(f"{option} {text}: not a number with a . mark")
    v = float(text)
    if not v > 0 or math.isinf(v):
        raise UsageError(f"{option} {text}: not a positive number")
    return v


def number(option, text):
    if not re.fullmatch(r"[+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]+)?", text.strip()):
        raise UsageError(f"{option} {text}: not a number with a . mark")
    return float(text)


def read_specimens(path):
    try:
        with open(path, "rb") as stream:
            data = stream.read().removeprefix(b"\xef\xbb\xbf")
        lines = [decode(raw) for raw in re.split(rb"\r\n|\n|\r", data)]
    except OSError as err:
        raise UsageError(f"--specimens {path}: {err.strerror}")
    lines = [l for l in lines if l.strip(" \t")]
    if not lines:
        raise UsageError(f"--specimens {path}: no header row")
    sep = ";" if ";" in lines[0] else ","
    known = {"file": "file", "id": "id", "material": "material", "d0": "d0", "a0": "a0", "b0": "b0", "s0": "S0",
             "l0": "L0", "lu": "Lu", "du": "du", "su": "Su"}
    head = [known.get(h.lower()) for h in split_fields(lines[0], sep)]
    pattern = number_pattern(".," if sep == ";" else ".")
    rows = []
    for line in lines[1:]:
        row = {}
        for h, cell in zip(head, split_fields(line, sep)):
            if h is None or cell == "":
                continue
            if h in ("file", "id", "material"):
                row[h] = cell
            elif pattern.match(cell) and to_float(cell) > 0:
                row[h] = to_float(cell)
            else:
                raise UsageError(f"--specimens {path}: {h} {cell} is no positive number")
        rows.append(row)
    return rows


def parse_args(argv):
    opts = {"proof": [0.2], "fracture_drop": 10.0, "modulus": "sdar", "modulus_range": None, "columns": {},
            "units": {}, "factors": {}, "separator": None, "decimal": None}
    options, files, specimens = {}, [], []
    i = 0
    while i < len(argv):
        a = argv[i]
        if not a.startswith("--") or a == "-":
            files.append(a)
            i += 1
            continue
        if i + 1 >= len(argv):
            raise UsageError(f"{a} needs a value")
        v = argv[i + 1]
        if a in SPECIMEN_OPTIONS:
            options[SPECIMEN_OPTIONS[a]] = positive(a, v)
        elif a == "--specimens":
            specimens = read_specimens(v)
        elif a == "--proof":
            opts["proof"] = [positive(a, x) for x in v.split(",")]
        elif a == "--fracture-drop":
            opts["fracture_drop"] = positive(a, v)
        elif a == "--modulus":
            if v not in ("sdar", "passes"):
                raise UsageError(f"--modulus {v}: sdar or passes")
            opts["modulus"] = v
        elif a == "--modulus-range":
            parts = v.split(",")
            if len(parts) != 2:
                raise UsageError(f"--modulus-range {v}: LO,HI")
            opts["modulus_range"] = [number(a, x) for x in parts]
        elif a in ("--force", "--extension", "--strain", "--stress"):
            opts["columns"][a[2:]] = v
        elif a in ("--force-unit", "--extension-unit", "--strain-unit", "--stress-unit"):
            opts["units"][a[2:-5]] = v
        elif a in ("--force-factor", "--extension-factor", "--strain-factor", "--stress-factor"):
            f = number(a, v)
            if f == 0 or math.isinf(f):
                raise UsageError(f"{a} {v}: a non-zero number")
            opts["factors"][a[2:-7]] = f
        elif a == "--separator":
            seps = {"semicolon": ";", "tab": "\t", "comma": ",", "blank": " "}
            if v not in seps:
                raise UsageError(f"--separator {v}: semicolon, tab, comma or blank")
            opts["separator"] = seps[v]
        elif a == "--decimal":
            if v not in ("point", "comma"):
                raise UsageError(f"--decimal {v}: point or comma")
            opts["decimal"] = v
        elif a == "--format":
            if v != "json":
                raise UsageError("this reference writes --format json only")
        else:
            raise UsageError(f"unknown option {a}")
        i += 2
    forms = [k for k in ("S0", "d0") if k in options] + (["a0 b0"] if "a0" in options or "b0" in options else [])
    if len(forms) > 1:
        raise UsageError("give one cross-section: --diameter, --width and --thickness, or --area")
    if ("a0" in options) != ("b0" in options):
        raise UsageError("--width and --thickness go together")
    if "du" in options and "Su" in options:
        raise UsageError("give --final-diameter or --final-area, not both")
    if not files:
        raise UsageError("no file given")
    return opts, options, files, specimens


def main(argv):
    try:
        opts, options, files, specimens = parse_args(argv)
    except UsageError as err:
        print(f"reference.py: {err}", file=sys.stderr)
        return 2
    results = [evaluate_file(path, opts, options, specimens) for path in files]
    out = results + [{"statistics": statistics(results, opts["proof"])}]
    json.dump(out, sys.stdout, indent=1, ensure_ascii=False)
    print()
    return 1 if any(r["error"] for r in results) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
