"""The known-answer suite of tenso-report --validate (validation/ in the sources).

    python3 -m unittest tests/report/test_validation_suite.py      (from the source tree)

- Its files are what validation/make_suite.py writes, byte for byte: the committed suite is the
  generator's, and the generator gives the same bytes on every run.
- Its expected values hold, within their tolerances, for reference.py, the independent evaluation of
  the same rules, with E by SDAR (ASTM E3076, the rules' default) and by the two passes: the suite's
  answers do not hang on the method of E, so they stay true whichever tenso-report uses.
"""

import csv
import filecmp
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SUITE = os.path.join(HERE, "..", "..", "validation")
sys.path.insert(0, HERE)
import reference  # noqa: E402

# The table's symbols as reference.py's JSON holds them.
VALUES = {
    "records": lambda r: r["records"],
    "S0": lambda r: r["S0"],
    "L0": lambda r: r["L0"],
    "E": lambda r: r["E"]["GPa"],
    "e0": lambda r: r["e0"],
    "Rp0.2": lambda r: r["Rp"]["0.2"]["MPa"],
    "A from curve": lambda r: r["A_from_curve"],
}
for key in ("ReH", "ReL", "Ae", "Rm", "Fm", "Agt", "Ag", "Rf", "At", "A", "Z"):
    VALUES[key] = lambda r, key=key: r[key]

FACTORS = {"MPa": 1.0, "GPa": 1000.0, "kN": 1.0, "mm": 1.0}  # to the unit of the quantities checked


def cases():
    with open(os.path.join(SUITE, "cases.csv"), encoding="utf-8", newline="") as f:
        return list(csv.DictReader(f))


def expectations(name):
    with open(os.path.join(SUITE, name), encoding="utf-8", newline="") as f:
        return list(csv.DictReader(f))


def holds(computed, expected, tolerance):
    """Whether a value passes as the suite writes its tolerances: empty exact, N % relative, N with a
    unit of the quantity absolute, a bare N absolute."""
    if expected == "none":
        return computed is None
    if expected in ("true", "false"):
        return computed is (expected == "true")
    if computed is None:
        return False
    target = float(expected)
    if not tolerance:
        return computed == target
    number, _, unit = tolerance.partition(" ")
    allowed = float(number) / 100 * abs(target) if unit == "%" else float(number) * FACTORS.get(unit, 1.0)
    return abs(computed - target) <= allowed


class GeneratorTest(unittest.TestCase):
    def test_the_committed_suite_is_what_the_generator_writes(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, os.path.join(SUITE, "make_suite.py"), "--out", out], check=True)
            written = sorted(os.listdir(out))
            self.assertEqual(len(written), 1 + 2 * len(cases()))
            match, mismatch, errors = filecmp.cmpfiles(out, SUITE, written, shallow=False)
            self.assertEqual((mismatch, errors), ([], []))


class IndependentEvaluationTest(unittest.TestCase):
    def check(self, modulus):
        for case in cases():
            opts, options, files, specimens = reference.parse_args(
                ["--modulus", modulus, os.path.join(SUITE, case["data"])])
            result = reference.evaluate_file(files[0], opts, options, specimens)
            self.assertIsNone(result["error"], case["case"])
            for row in expectations(case["expected"]):
                with self.subTest(case=case["case"], quantity=row["quantity"], modulus=modulus):
                    computed = VALUES[row["quantity"]](result)
                    self.assertTrue(holds(computed, row["expected"], row["tolerance"]),
                                    f"{computed} against {row['expected']} ({row['tolerance']})")

    def test_with_E_by_sdar(self):
        self.check("sdar")

    def test_with_E_by_the_passes(self):
        self.check("passes")


if __name__ == "__main__":
    unittest.main()
