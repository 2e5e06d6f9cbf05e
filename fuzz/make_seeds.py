#!/usr/bin/env python3
"""Writes the small seed corpus of the fuzz targets into fuzz/corpus (run from fuzz/)."""
import struct

def piece(text):
    b = text.encode()
    return bytes([len(b)]) + b

def reader(name, texts, content):
    # skip, X column, Y column, X coefficient, Y coefficient, X max, Y max, then the file
    with open(f"corpus/reader/{name}", "wb") as f:
        f.write(b"".join(piece(t) for t in texts) + content)

acc = "../tests/data/acceptance/"
defaults = ["5", "1", "2", "1", "1", "", ""]
reader("steel_csv", defaults, open(acc + "steel_s355_csv_crlf.dat", "rb").read()[:1500])
reader("blank_lf", defaults, open(acc + "steel_s235_blank_lf.dat", "rb").read()[:1500])
reader("mixed", defaults, open(acc + "steel_mixed_separators.dat", "rb").read()[:1500])
reader("example", ["2", "1", "3", "1", "1", "", ""],
       b"first header line, with, commas\r\nsecond header line\r\n0.0  0  0.0\r\n0.5  1  10.5\r\n1.0,2,21.0\r\n")
reader("quoted", ["0", "1", "2", "1000", "1", "", ""], b'"1",2,\r\n"x, y",3\r\n4 , 5\n6\t7\r8,,\r\n\r\n')
reader("fixed", ["0", "1", "2", "1", "1", "10", "500"], b"1,2\r\n3,4\r\n")
reader("realdata", ["1", "4", "3", "1000000", "25", "", ""],
       open("../tests/data/realdata/steel-1045-normalized-1.csv", "rb").read()[:1200])

for i, t in enumerate(["1.1", "&H1F", "1e400", "-0", "  1 2", "2.5", "1d3", "0,5", "&O17", "-3.4e38", "1.401298E-45"]):
    with open(f"corpus/number_text/seed{i}", "wb") as f:
        f.write(t.encode())

def analysis(name, texts, buttons, points):
    # Start, End, Offset, a byte choosing the buttons, then (X, Y) float pairs
    with open(f"corpus/analysis/{name}", "wb") as f:
        f.write(b"".join(piece(t) for t in texts) + bytes([buttons]) +
                b"".join(struct.pack("<ff", x, y) for x, y in points))

curve = [(i * 120.0, min(i * 120 * 0.205, 348 + (i * 120 - 1700) * 0.001)) for i in range(1, 80)]
analysis("tangent", ["20", "60", "2000"], 0b011, curve)
analysis("secant", ["20", "60", "2000"], 0b101, curve)
analysis("vertical", ["2", "10", "50"], 0b110, [(0, 0), (10, 5), (10, 8), (20, 9), (20, 7), (30, 12)] * 3)

def standard(name, choice, texts, content):
    # a byte choosing separator, decimal mark and specimen, force and extension columns, force and
    # strain units, then the file
    with open(f"corpus/standard/{name}", "wb") as f:
        f.write(bytes([choice]) + b"".join(piece(t) for t in texts) + content)

mild = "".join(f"{i * 0.1:.1f};{min(i * 0.004, 0.05 + i * 0.0004):.4f};{min(i * 1.2, 20 + i * 0.02):.3f}\n".replace(".", ",")
               for i in range(0, 60))
standard("european", 0x3f, ["", "", "", ""], ("Pr\xfcfung 3\nZeit;Weg;Kraft\ns;mm;kN\n" + mild + "Ende\n").encode("latin-1"))
standard("columns", 0x2f, ["3", "Extension", "kN", ""], b"t,Extension (mm),Load\r\n0,0,0\r\n1,0.01,2.5\r\n2,0.02,5\r\n")
standard("strain", 0xff, ["", "", "", "%"], b"\xef\xbb\xbfStrain (%)\tStress [MPa]\n0\t0\n0.05\t100\n0.1\t200\n\t\n1\t250\n")
standard("blanks", 0x07, ["1", "2", "", ""], b"  0  0\r  0.001 1e2\r 1e999 3\r")
