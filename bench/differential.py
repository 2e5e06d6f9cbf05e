#!/usr/bin/env python3
"""Differential run of two tenso-eval builds: random data files and option texts through both,
comparing every byte of standard output and standard error and the exit status.

Usage: bench/differential.py OLD_TENSO_EVAL NEW_TENSO_EVAL [CASES] [SEED]

Each case is one call of both programs on one to four files (written afresh into a scratch folder)
with one random set of options. The files mix curves that evaluate cleanly with the ways files go
wrong: noise, broken and missing fields, huge numbers, too many records, odd separators and line
ends, binary bytes, missing files; the options mix good texts with bad ones and with tangent and
secant ranges that fail. Prints the first differences and a summary; exits 1 on any difference.
"""
import math
import os
import random
import subprocess
import sys
import tempfile


def curve(rng, n):
    """A tensile curve of n records: elastic rise, yield with valleys, hardening, then noise."""
    modulus = rng.choice([205000.0, 70000.0, 3000.0, rng.uniform(10, 3e5)])
    yield_strength = rng.uniform(50, 900)
    step = rng.choice([1e-5, 1e-4, 2.5e-4, 0.001, rng.uniform(1e-6, 0.01)])
    scale_x = rng.choice([1.0, 1e6, 100.0, 1e-3])
    # Noise and waves make valleys; more than 200 of them is a failure of its own, so most curves are smooth.
    noise = rng.choice([0.0] * 6 + [0.5, 3.0, rng.uniform(0, 30)])
    wave = rng.choice([0.0] * 3 + [0.05, 0.7])
    rows = []
    for i in range(n):
        e = i * step
        elastic = modulus * e
        if elastic < yield_strength:
            s = elastic
        else:
            s = yield_strength * (1 + 0.3 * (1 - math.exp(-(e - yield_strength / modulus) * 20)))
            s += rng.uniform(-1, 1) * noise + 4 * math.sin(i * wave)
        rows.append((e * scale_x, s))
    if rng.random() < 0.3 and rows:  # a falling end: the specimen breaks
        k = rng.randrange(len(rows))
        rows = rows[:k] + [(x, y * rng.uniform(0, 0.5)) for x, y in rows[k:]]
    return rows


def number_text(rng, v):
    form = rng.random()
    if form < 0.55:
        return f"{v:.{rng.randint(0, 6)}f}"
    if form < 0.8:
        return repr(v)
    if form < 0.9:
        return f"{v:.{rng.randint(0, 8)}e}"
    return f"{v:g}"


def broken_field(rng):
    return rng.choice(["abc", "", "1e39", "-1e39", "1e400", "1.5.5", "--3", "&H1F", "1d3", "NaN",
                       "inf", "1,5", "\"12\"", "3.4028236e38", "1e-46", "9" * 40, "  7  ", "+", "."])


def data_file(rng):
    """Bytes of one data file and its number of header lines."""
    kind = rng.random()
    if kind < 0.03:
        return bytes(rng.randrange(256) for _ in range(rng.randint(0, 3000))), 5
    if kind < 0.05:
        return b"", 5
    n = rng.choice([0, 1, 2, 3, 10, 2000, 2001, 2500] + [rng.randint(20, 1990)] * 24)
    rows = curve(rng, n)
    headers = rng.choice([5, 5, 5, 0, 1, 3, 8, rng.randint(0, 12)])
    cols = rng.choice([2, 2, 2, 2, 3, 3, 4, 1, 6])
    sep = rng.choice([",", ", ", " ", "\t", "  ", ",", "mixed"])
    eol = rng.choice(["\n", "\r\n", "\n", "\r\n", "\n", "\r"])
    lines = [rng.choice(["TENSILE TEST", "Strain,Stress", "x y", "", "Material: S235",
                         "データ", "1,2", "\"quoted, header\""]) for _ in range(headers)]
    broken_rate = rng.choice([0] * 8 + [0.001, 0.01, 0.1])
    for x, y in rows:
        values = [x, y] + [rng.uniform(-100, 100) for _ in range(max(0, cols - 2))]
        if rng.random() < 0.5:
            values[0], values[1] = (values[0], values[1]) if rng.random() < 0.7 else (values[1], values[0])
        fields = [number_text(rng, v) for v in values[:cols]]
        if broken_rate and rng.random() < broken_rate:
            fields[rng.randrange(len(fields))] = broken_field(rng)
        if broken_rate and rng.random() < broken_rate:
            fields = fields[:-1]
        s = sep if sep != "mixed" else rng.choice([",", " ", "\t", ", "])
        lines.append(s.join(fields))
    if rng.random() < 0.1:
        lines.append(rng.choice(["", "end", ",", "   ", "1"]))
    text = eol.join(lines) + (eol if rng.random() < 0.8 else "")
    return text.encode("utf-8"), headers


OPTION_TEXTS = {
    "--x-column": ["1", "2", "3", "0", "-1", "5", "abc", "1.5", "2.5", "1e10", ""],
    "--y-column": ["1", "2", "3", "4", "0", "abc", "2.4", "32768", ""],
    "--x-coefficient": ["1", "0.001", "-1", "1e30", "1e39", "0", "abc", "100", "1e-40", "1e6"],
    "--y-coefficient": ["1", "0.001", "-1", "1e30", "0", "abc", "9.81", "1e-30"],
    "--skip": ["0", "1", "3", "5", "8", "-3", "abc", "1e6", "4.5", "5.5", "70000"],
    "--x-max": ["", "0", "100", "-5", "1e39", "abc", "0.5", "1e38", "3.4e38", "0.01"],
    "--y-max": ["", "0", "600", "-5", "1e39", "abc", "2", "1e38", "1e-30"],
    "--start": ["1", "2", "20", "20.5", "0", "-5", "300", "1e10", "1999", "2000", "abc", "5", "60"],
    "--end": ["60", "2", "1", "100", "60.5", "0", "3000", "1e10", "2000", "abc", "20", "1e39"],
    "--offset": ["0", "0.002", "2000", "-100", "1e38", "abc", "0.2", "1e39", "-1e38", "50"],
}


def options(rng, headers):
    """Option texts: mostly good ones (the first of each list, the file's own header count), some bad."""
    args = []
    if rng.random() < 0.7:
        args += ["--skip", str(headers)]
    for name, texts in OPTION_TEXTS.items():
        if rng.random() < 0.3:
            good = rng.random() < 0.5
            text = texts[0] if good else rng.choice(texts)
            args += [name, text if rng.random() < 0.85 else number_text(rng, rng.uniform(-1e4, 1e4))]
    if rng.random() < 0.6:
        args += ["--method", rng.choice(["both", "tangent", "secant", "both", "neither"] if rng.random() < 0.05
                                        else ["both", "tangent", "secant"])]
    if rng.random() < 0.4:
        args += ["--format", "csv" if rng.random() < 0.97 else "xml"]
    return args


def run(program, args, cwd):
    p = subprocess.run([program] + args, cwd=cwd, capture_output=True, timeout=120,
                       env=dict(os.environ, QT_QPA_PLATFORM=""))
    return p.returncode, p.stdout, p.stderr


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    old, new = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    cases = int(sys.argv[3]) if len(sys.argv) > 3 else 3000
    rng = random.Random(int(sys.argv[4]) if len(sys.argv) > 4 else 14)
    differences = files_run = failed_files = modulus_shown = 0
    statuses = {}
    with tempfile.TemporaryDirectory() as work:
        for case in range(cases):
            names = []
            headers = 5
            for k in range(rng.choice([1, 1, 1, 2, 3, 4])):
                name = f"c{case}_{k}.dat"
                if rng.random() < 0.02:
                    name = rng.choice(["missing.dat", ".", "/dev/null", "sub"])
                else:
                    content, h = data_file(rng)
                    headers = h if k == 0 else headers
                    with open(os.path.join(work, name), "wb") as f:
                        f.write(content)
                names.append(name)
            os.makedirs(os.path.join(work, "sub"), exist_ok=True)
            args = options(rng, headers) + names
            a, b = run(old, args, work), run(new, args, work)
            files_run += len(names)
            statuses[a[0]] = statuses.get(a[0], 0) + 1
            failed_files += a[1].count(b'"error": {"number"')
            modulus_shown += a[1].count(b'"elastic_modulus": ') - a[1].count(b'"elastic_modulus": null')
            if a != b:
                differences += 1
                if differences <= 5:
                    print(f"case {case}: {args}", file=sys.stderr)
                    print(f"  old: status {a[0]}, {len(a[1])} bytes out, {a[2][:200]!r}", file=sys.stderr)
                    print(f"  new: status {b[0]}, {len(b[1])} bytes out, {b[2][:200]!r}", file=sys.stderr)
            for name in names:
                path = os.path.join(work, name)
                if os.path.isfile(path) and name.startswith("c"):
                    os.remove(path)
    print(f"differential: {cases} calls, {files_run} files ({failed_files} data-file failures, {modulus_shown} moduli shown in JSON), "
          f"exit statuses {dict(sorted(statuses.items()))}, {differences} differing calls")
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
