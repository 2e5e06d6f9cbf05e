#!/usr/bin/env python3
"""Two builds of tenso-report against each other on random exports: every output byte must agree.

Usage: bench/report_differential.py OLD NEW [CASES] [SEED]
  OLD, NEW  paths of two tenso-report binaries (say, one built from main, one from a branch)
The exports vary what the reader must get right: separators, decimal marks, line ends (CR, LF,
CRLF, also split across the reader's 64 KiB window), blanks, quotes, exponents, signs, long and
empty fields, header, units and footer lines. Each case runs with --format json (every value in
full precision) and the first difference is printed with the case's file kept.
"""
import os
import random
import subprocess
import sys
import tempfile


def number(rnd, value, comma):
    style = rnd.random()
    if style < 0.6:
        text = f"{value:.{rnd.randint(0, 6)}f}"
    elif style < 0.7:
        text = f"{value:.{rnd.randint(1, 8)}e}"
    elif style < 0.8:
        text = repr(value)  # up to 17 significant digits
    elif style < 0.85:
        text = f"{value:.{rnd.randint(12, 22)}f}"  # more than 19 digits
    elif style < 0.9:
        text = ("+" if value >= 0 else "") + f"{value:.3f}"
    elif style < 0.95:
        text = f"{value:.2f}".replace("0.", ".", 1) if abs(value) < 1 else f"{value:.0f}."
    else:
        text = str(int(value)) if abs(value) < 2**62 else f"{value:.0f}"
    if comma:
        text = text.replace(".", ",")
    return text


def field(rnd, text, sep):
    r = rnd.random()
    if r < 0.02:
        return f'"{text}"'
    if r < 0.04 and sep != " ":
        return " " + text + " "
    if r < 0.041:
        return ""
    if r < 0.0412:
        return "x" + text  # ends the table: the rest is footer
    return text


# Column names, the options that go with them, and the values of a record from (e, R).
LAYOUTS = [
    (["Strain", "Stress (MPa)"], [], lambda i, e, r: [e, r]),
    (["Time (s)", "Extension (mm)", "Force (kN)"], ["--diameter", "10", "--gauge-length", "50"],
     lambda i, e, r: [i * 0.01, e * 50, r * 78.54 / 1000]),
    (["Time (s)", "Extension (mm)", "Force (kN)", "Strain", "Stress (MPa)"], ["--strain", "4", "--stress", "5"],
     lambda i, e, r: [i * 0.01, e * 50, r * 78.54 / 1000, e, r]),
]


def export(rnd):
    sep = rnd.choice([";", ",", "\t", " "])
    comma = sep != "," and rnd.random() < 0.5
    end = rnd.choice(["\n", "\r\n", "\r"])
    names, options, values = rnd.choice(LAYOUTS)
    lines = []
    if rnd.random() < 0.7:
        lines.append(rnd.choice(["Test export", "Prüfung 12", "machine A"]))
    lines.append(sep.join(names) if sep != " " else " ".join(n.split(" ")[0] for n in names))
    records = rnd.choice([1000, 3000, 9000])
    for i in range(records):
        e = 0.05 * i / records
        r = 200000 * e if e < 0.0015 else 300 + 200 * (1 - (1 - min(e, 0.04) / 0.04) ** 2) + rnd.uniform(-2, 2)
        texts = [field(rnd, number(rnd, v, comma), sep) for v in values(i, e, r)]
        line = (sep if sep != " " else rnd.choice([" ", "  ", "\t"])).join(texts)
        if rnd.random() < 0.002:
            line = ""
        lines.append(line)
    if rnd.random() < 0.3:
        lines.append("end of test")
    text = end.join(lines) + (end if rnd.random() < 0.8 else "")
    if rnd.random() < 0.1:
        options = options + rnd.choice([["--decimal", "comma"], ["--decimal", "point"], ["--separator", "semicolon"]])
    return text.encode("utf-8"), options


def run(binary, path, options):
    p = subprocess.run([binary, "--format", "json", *options, path], capture_output=True, timeout=60)
    return p.returncode, p.stdout, p.stderr


def main():
    old, new = sys.argv[1], sys.argv[2]
    cases = int(sys.argv[3]) if len(sys.argv) > 3 else 300
    rnd = random.Random(int(sys.argv[4]) if len(sys.argv) > 4 else 6892)
    folder = tempfile.mkdtemp(prefix="tenso-report-diff-")
    for case in range(cases):
        path = os.path.join(folder, "export.csv")
        content, options = export(rnd)
        with open(path, "wb") as f:
            f.write(content)
        a, b = run(old, path, options), run(new, path, options)
        if a != b:
            kept = os.path.join(folder, f"case{case}.csv")
            os.rename(path, kept)
            print(f"case {case} differs ({' '.join(options)}), file kept: {kept}")
            print("old:", a[0], a[1][:400], a[2][:400])
            print("new:", b[0], b[1][:400], b[2][:400])
            return 1
    print(f"{cases} cases, no difference")
    os.remove(os.path.join(folder, "export.csv"))
    os.rmdir(folder)
    return 0


if __name__ == "__main__":
    sys.exit(main())
