#!/usr/bin/env python3
"""Writes the small seed corpus of the fuzz targets into fuzz/corpus (run from fuzz/).

With --big DIR it writes instead, into DIR, reader seeds larger than the reader's 64 KiB buffer, so
that the fuzzer reaches the refill path (a line, a quoted field and a CR LF across the buffer's
end). They are made at run time by fuzz/run.sh and never committed."""
import os
import struct
import sys

def piece(text):
    b = text.encode()
    return bytes([len(b)]) + b

def reader(name, texts, content):
    # skip, X column, Y column, X coefficient, Y coefficient, X max, Y max, then the file
    with open(f"corpus/reader/{name}", "wb") as f:
        f.write(b"".join(piece(t) for t in texts) + content)

def big_seeds(folder):
    os.makedirs(folder, exist_ok=True)
    defaults = ["5", "1", "2", "1", "1", "", ""]
    settings = b"".join(piece(t) for t in defaults)
    lines = b"h\r\n" * 5
    header = settings + lines
    records = b"".join(b"%d.%02d,%d.%d\r\n" % (i // 100, i % 100, i % 500, i % 7) for i in range(5500))
    seeds = {
        "many_records": header + records,  # about 70 KiB of records
        "long_line": header + b"1," * 34000 + b"2\r\n3,4\r\n",  # one line of 68 KiB
        "long_quote": header + b'"' + b"x, " * 22500 + b'",1\r\n2,3\r\n',  # a quoted field of 67 KiB
        # A CR LF whose CR is the last byte of the first buffer fill.
        "crlf_at_edge": header + b"0" * (65536 - 1 - len(lines)) + b"\r\n1,2\r\n",
    }
    for name, content in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(content)

if len(sys.argv) == 3 and sys.argv[1] == "--big":
    big_seeds(sys.argv[2])
    sys.exit(0)

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
# Preview lines: UTF-8, Shift_JIS (with half-width katakana), Latin-1, and a UTF-8 character cut off.
os.makedirs("corpus/preview", exist_ok=True)
for name, line in {"utf8": "Dehnung (mm),Kraft (kN),σ".encode(), "sjis": "荷重,変位,ｶﾀｶﾅ".encode("cp932"),
                   "latin1": "Länge,Kraft".encode("latin-1"), "cut": "Länge σ".encode()[:-1]}.items():
    with open(f"corpus/preview/{name}", "wb") as f:
        f.write(line)

# What machines write: header values (a TAB table of Instron's, with nan after the maximum) ...
rise = [20 * i if i <= 20 else 380 + i for i in range(23)]
instron = "".join(f"{i * 0.1:.2f}\t{i * 0.0001:.6f}\t{r / 50:.4f}\t{'nan' if i > 10 else r}\n" for i, r in enumerate(rise))
standard("header-values", 0x1c, ["", "", "", ""],
         ("Specimen ID:\t46NT71\nMaterial:\t42CrMoS4\nGauge diameter:\t5.003\tmm\nGauge length:\t25\tmm\n"
          "Original cross-section:\t19.658\tmm\xb2\nCross-section after fracture:\t8.76\tmm\xb2\n"
          "Time\tExtension\tForce\tTrue stress\ns\tmm\tkN\tMPa\n" + instron).encode("latin-1"))
# ... quoted thousands separators and Zwick's quoted key lines in Latin-1 ...
def grouped(v):
    return f"{int(v) // 1000},{int(v) % 1000:03d}" if v >= 1000 else f"{int(v)}"
bluehill = "".join(f'"{i * 0.0001:.6f}","{grouped(2.5 * r)}",""\n' for i, r in enumerate(rise))
standard("thousands", 0x1c, ["", "", "", ""],
         ('"Largeur",10.1,"mm"\n"\xc9paisseur","2","mm"\nGauge length = 50 mm\n'
          '"Strain","Tensile stress (Strain 1)",""\n"-","MPa",""\n' + bluehill).encode("latin-1"))
# ... and the input on which the target once checked the curve of a result that did not keep it.
standard("curve-not-kept", 0xff, ["", "", "", "%"],
         b"\xef\xbb\xbfStrain!%s YMPa]000\tStress [MPa]00ss YMPa]000\n\t0.\n5\t5\n\t.00\n\t0.\n5\t5\n\t.0\n\t.00\n"
         b"\t0.\n5\t5\n\t.00\n\t0.\n4\t00\n\t0.\n5\t0\n4\t50\n")
