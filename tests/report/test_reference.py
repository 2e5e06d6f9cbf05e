"""Hand-worked cases for reference.py, the independent evaluation behind the golden tests.

    python3 -m unittest tests/report/test_reference.py      (from the source tree)

Every expected value below is worked out by hand in the comment beside it."""

import io
import json
import os
import sys
import tempfile
import unittest
from contextlib import redirect_stdout

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference  # noqa: E402


def write(directory, name, text, encoding="utf-8"):
    path = os.path.join(directory, name)
    with open(path, "wb") as f:
        f.write(text.encode(encoding))
    return path


def run(*args):
    out = io.StringIO()
    with redirect_stdout(out):
        status = reference.main(list(args))
    return status, json.loads(out.getvalue())


class Reading(unittest.TestCase):
    def test_thousands_group_of_three_is_a_number_of_four_is_not(self):
        point = reference.number_pattern(".")
        fields = reference.split_fields('"1,009.5",2', ",")
        self.assertEqual(fields, ["1009.5", "2"])
        self.assertTrue(reference.is_data(fields, point))
        fields = reference.split_fields('"1,0093.5",2', ",")
        self.assertEqual(fields, ["1,0093.5", "2"])
        self.assertFalse(reference.is_data(fields, point))
        # Unquoted, the comma separates: 1 | 009.5 | 2, three numbers.
        self.assertEqual(reference.split_fields("1,009.5,2", ","), ["1", "009.5", "2"])

    def test_missing_values_keep_a_line_in_the_table(self):
        point = reference.number_pattern(".")
        self.assertTrue(reference.is_data(["1", "2", "nan", "-", "N/A", ""], point))
        self.assertFalse(reference.is_data(["1", "nan"], point))  # one number only
        self.assertFalse(reference.is_data(["1", "2", "----"], point))  # four dashes are text

    def test_dash_in_a_units_line(self):
        with tempfile.TemporaryDirectory() as d:
            path = write(d, "a.csv", "Time,Strain,Stress\nsec,-,MPa\n0,0,0\n1,0.001,200\n")
            export = reference.Export(path)
        self.assertEqual(export.names, ["Time", "Strain", "Stress"])
        self.assertEqual(export.units, ["sec", "-", "MPa"])
        self.assertEqual(len(export.records), 2)

    def test_a_line_without_any_unit_is_the_names_line(self):
        with tempfile.TemporaryDirectory() as d:
            path = write(d, "a.csv", "Strain,Stress\nfoo,bar\n0,0\n1,2\n")
            export = reference.Export(path)
        self.assertEqual(export.names, ["foo", "bar"])

    def test_bracketed_text_that_is_no_unit_stays_in_the_name(self):
        self.assertEqual(reference.split_name("Tensile strain (Strain 2)"), ("Tensile strain (Strain 2)", None))
        self.assertEqual(reference.split_name("Load [daN]"), ("Load", "daN"))
        self.assertEqual(reference.unit_kind("kgf/mm²"), ("stress", 9.80665))
        self.assertEqual(reference.unit_kind("(µm)"), ("extension", 0.001))


class HeaderValues(unittest.TestCase):
    def read(self, text, encoding="utf-8"):
        with tempfile.TemporaryDirectory() as d:
            export = reference.Export(write(d, "h.csv", text, encoding))
        return reference.read_header_values(export)

    def test_einspannlaenge_is_no_gauge_length(self):
        values, text, _ = self.read('"Einspannlänge"\t832.756\t"mm"\n"Messlänge"\t80\t"mm"\n'
                                    '"Probenbreite b0"\t11.4\t"mm"\nKraft\tDehnung\nN\t%\n1\t2\n3\t4\n',
                                    encoding="latin-1")
        self.assertIsNone(reference.key_names("Einspannlänge"))
        self.assertEqual(values["L0"][:2], (80.0, 2))
        self.assertEqual(values["b0"][:2], (11.4, 3))

    def test_specimen_width_is_no_id(self):
        values, text, _ = self.read('"Specimen width",4.89,"mm"\n"Specimen ID","X7"\n"Material","Invar"\n'
                                    '"Force","Travel"\n"N","mm"\n1,2\n3,4\n')
        self.assertEqual(values["b0"][0], 4.89)
        self.assertEqual(text, {"id": "X7", "material": "Invar"})

    def test_one_field_form_units_and_first_line_wins(self):
        # d0 = 0.5 cm = 5 mm; the second diameter line is not used; L0 from "L0 = 50 mm".
        values, _, _ = self.read("Diameter: 0.5 cm\nd0 = 7 mm\nL0 = 50 mm\nGrip length: 90 mm\n"
                                 "Section after fracture: 0.1 cm²\nForce\tStrain\n1\t2\n3\t4\n")
        self.assertEqual(values["d0"][:2], (5.0, 1))
        self.assertEqual(values["L0"][:2], (50.0, 3))
        self.assertAlmostEqual(values["Su"][0], 10.0, places=12)

    def test_two_character_words_are_whole_words(self):
        self.assertEqual(reference.key_names("L0 - course standard"), "L0")
        self.assertIsNone(reference.key_names("Sound level"))  # "su" and "l0" only inside words
        self.assertEqual(reference.key_names("Probendicke a0"), "a0")


class Columns(unittest.TestCase):
    def columns(self, names, units=None):
        units = units or [""] * len(names)
        return [reference.Column(i, n, u) for i, (n, u) in enumerate(zip(names, units))]

    def test_choices(self):
        cols = self.columns(["Time", "Machine Displacement", "Displacement", "Force", "True Strain",
                             "Engineering Strain", "Strain rate"])
        self.assertEqual(reference.find_by_name(cols, "extension").name, "Displacement")
        self.assertEqual(reference.find_by_name(cols, "strain").name, "Engineering Strain")
        # Crosshead words only as the last resort, the earlier word of the list first.
        cols = self.columns(["Crosshead absolute", "Standard travel", "Standard force", "Capteur de course"])
        self.assertEqual(reference.find_by_name(cols, "extension").name, "Standard travel")
        # The unit decides the kind.
        cols = self.columns(["Strain1", "Load"], ["mm", "kN"])
        self.assertIsNone(reference.find_by_name(cols, "strain"))
        self.assertEqual(reference.find_by_name(cols, "extension").name, "Strain1")


class UpperYield(unittest.TestCase):
    # E = 200000 MPa; the walk starts at b = 0 and climbs to h = 2 (300 MPa); the next higher record is
    # j = 6. In between: 298, 296.5, 297: lowest 296.5 <= 0.995 * 300 = 298.5 (a); eps 0.0022 - 0.0015
    # = 0.0007 >= 0.0005 (b); eps_h - R_h / E = 0 <= 0.002 (d). The drop is 300 - 296.5 = 3.5 MPa.
    R = [100.0, 200.0, 300.0, 298.0, 296.5, 297.0, 310.0, 320.0]
    eps = [0.0005, 0.001, 0.0015, 0.0018, 0.0020, 0.0022, 0.0030, 0.0040]

    def test_drop_just_outside_three_s_is_a_yield_point(self):
        h, p = reference.upper_yield(self.R, self.eps, 200000.0, 1.16, 0, 7)  # 3 s = 3.48 <= 3.5
        self.assertEqual((h, p), (2, 6))

    def test_drop_within_three_s_is_scatter(self):
        h, p = reference.upper_yield(self.R, self.eps, 200000.0, 1.17, 0, 7)  # 3 s = 3.51 > 3.5
        self.assertIsNone(h)

    def test_dip_up_the_hardening_curve_is_no_yield_point(self):
        later = [x + 0.0021 for x in self.eps]  # eps_h - R_h / E = 0.0021 > 0.002
        self.assertEqual(reference.upper_yield(self.R, later, 200000.0, 0.0, 0, 7), (None, None))


class Fracture(unittest.TestCase):
    # Maximum 100 MPa at index 2 (e = 0.01); the drop limit is 0.10 Rm = 10 MPa.
    def test_fall_over_0_04_percent_is_found(self):
        # 100 -> 89 over four records 0.0001 apart: all within e_2 + 0.0005 = 0.0105, fall 11 > 10.
        R = [0.0, 50.0, 100.0, 97.25, 94.5, 91.75, 89.0, 89.0, 89.0, 89.0]
        e = [0.0, 0.005, 0.01, 0.0101, 0.0102, 0.0103, 0.0104, 0.011, 0.012, 0.013]
        self.assertEqual(reference.fracture_index(R, e, 2, 10.0), 2)

    def test_fall_over_0_06_percent_is_not_in_one_window(self):
        # 100 -> 89 in five steps of 2.2 MPa, 0.00012 apart: a window of 0.0005 holds four steps, 8.8 MPa.
        R = [0.0, 50.0, 100.0, 97.8, 95.6, 93.4, 91.2, 89.0, 89.0, 89.0, 89.0]
        e = [0.0, 0.005, 0.01, 0.01012, 0.01024, 0.01036, 0.01048, 0.0106, 0.011, 0.012, 0.013]
        self.assertEqual(reference.fracture_index(R, e, 2, 10.0), 10)

    def test_next_record_always_counts(self):
        R = [0.0, 100.0, 99.0, 40.0]
        e = [0.0, 0.01, 0.02, 0.05]  # 99 -> 40 across 0.03 strain: still a fracture at index 2
        self.assertEqual(reference.fracture_index(R, e, 1, 10.0), 2)

    def test_constant_strain_after_the_maximum_stays_fast(self):
        # 300000 records at one strain, falling 1e-5 MPa each: 3 MPa in all, no fracture. A search
        # that walks each window would take hours here.
        n = 300000
        R = [100.0] + [100.0 - 1e-5 * i for i in range(1, n)]
        e = [0.01] * n
        self.assertEqual(reference.fracture_index(R, e, 0, 10.0), n - 1)

    def test_agrees_with_the_plain_definition(self):
        import random
        rng = random.Random(7)
        for _ in range(200):
            n = rng.randint(3, 40)
            R = [rng.uniform(0, 100) for _ in range(n)]
            e = [rng.choice([0.0, 0.0002, 0.0004, 0.001]) + (rng.uniform(-0.0003, 0.0003) if rng.random() < 0.3
                                                             else 0.0) for _ in range(n)]
            e = [sum(e[:i + 1]) for i in range(n)]
            m = R.index(max(R))
            self.assertEqual(reference.fracture_index(R, e, m, 10.0), plain_fracture(R, e, m, 10.0))


def plain_fracture(R, e, m, drop):
    """The definition word for word: j = i + 1 always, later j while every record from i + 1 is in."""
    for i in range(m, len(R) - 1):
        for j in range(i + 1, len(R)):
            if j > i + 1 and any(e[k] > e[i] + 0.0005 for k in range(i + 1, j + 1)):
                break
            if R[i] - R[j] > drop:
                return i
    return len(R) - 1


class Sdar(unittest.TestCase):
    def curve(self):
        # Elastic line R = 2^17 e with e = i / 2^14, so R = 8 i MPa exactly, to 400 MPa at i = 50; then
        # hardening at 2000 MPa per unit strain to e = 0.05 (Rm about 494), then a break.
        e = [i / 16384 for i in range(51)]
        R = [131072.0 * x for x in e]
        x = e[-1]
        while x < 0.05:
            x += 1 / 16384
            e.append(x)
            R.append(400.0 + 2000.0 * (x - e[50]))
        e.append(x + 0.0001)
        R.append(10.0)
        return R, e

    def test_linear_and_hardening_curve(self):
        R, e = self.curve()
        m = R.index(max(R))
        fit = reference.Sdar(R, e, m).run()
        # a = 0; o = 4 (32 > 0.05 Ymax); P = (4/16384, 32 + 0.15 Rm); the chord from P rises along the
        # elastic line and falls along the hardening line, so t = 50, N = 51, Nmin = 10. Every window of
        # the elastic line has Q = 0 exactly (Y = 2^17 X, scaled by a power of two), so the tie rule
        # keeps the earliest start and the shortest window: records 0..9, 0 to 72 MPa.
        self.assertEqual(fit.t, 50)
        self.assertEqual(fit.window, (0, 9))
        self.assertEqual((fit.lo, fit.hi, fit.points), (0.0, 72.0, 10))
        self.assertEqual(fit.E, 131072.0)
        self.assertEqual(fit.c, 0.0)
        self.assertEqual(fit.metrics[0]["records"], 51)
        self.assertEqual(fit.metrics[0]["raises"], 0)

    def test_tie_rule_of_the_window_search(self):
        X = [float(i) for i in range(12)]
        Y = [2.0 * x for x in X]  # every window has Q = 0: the earliest start, then the shortest
        self.assertEqual(reference.best_window_plain(X, Y, 10), (0, 9))
        Y[11] = 30.0  # windows ending at 11 bend; the rest stay at 0
        self.assertEqual(reference.best_window_plain(X, Y, 10), (0, 9))
        Y[0] = -5.0  # now every window from 0 bends: the first straight one starts at 1
        self.assertEqual(reference.best_window_plain(X, Y, 10), (1, 10))
        if reference.numpy is not None:
            self.assertEqual(reference.best_window_numpy(X, Y, 10), (1, 10))

    def test_through_the_command_line(self):
        R, e = self.curve()
        with tempfile.TemporaryDirectory() as d:
            path = write(d, "c.csv", "Strain,Stress (MPa)\n" + "".join(f"{x!r},{y!r}\n" for x, y in zip(e, R)))
            status, out = run(path)
        self.assertEqual(status, 0)
        r = out[0]
        self.assertEqual(r["E"]["GPa"], 131.072)
        self.assertEqual((r["E"]["method"], r["E"]["pass"], r["E"]["points"]), ("sdar", None, 10))
        self.assertEqual(r["warnings"], [])
        self.assertEqual(r["Rf"], r["Rm"])  # the break comes right after the maximum
        self.assertEqual(out[-1]["statistics"]["E"]["n"], 1)


if __name__ == "__main__":
    unittest.main()
