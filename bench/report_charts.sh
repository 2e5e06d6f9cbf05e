#!/usr/bin/env bash
# Measures tenso-report's pictures as whole processes: the report of 100 specimens of 2000 records
# (goal under 5 s), 1000 PNG charts of 2000 records (under 10 s), the chart of one 1,000,000-record
# export (under 1 s, the evaluation included), and the peak memory of the 1000-file report.
# Usage: bench/report_charts.sh [build-dir]   (the batch files come from ../shared/bench/make_batch.py,
# or from $TENSO_SHARED/bench/make_batch.py)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
report_bin=$build/src/report/tenso-report
make_batch=${TENSO_SHARED:-$root/../shared}/bench/make_batch.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A mild-steel export of 1,000,000 records: time, extension (mm), force (kN).
python3 - "$work/big.csv" <<'PY'
import math, random, sys
rnd = random.Random(1)
n, s0, l0 = 1_000_000, math.pi / 4 * 10.0 ** 2, 50.0
with open(sys.argv[1], "w", newline="") as f:
    f.write("Time (s),Extension (mm),Force (kN)\r\n")
    for i in range(n):
        e = 0.30 * i / n
        if e < 322 / 205000:
            r = 205000 * e
        elif e < 0.02:
            r = 296 + 3 * abs(math.sin(e * 4000))
        elif e < 0.18:
            r = 299 + 139 * (1 - (1 - (e - 0.02) / 0.16) ** 2.6)
        else:
            r = 438 - 100 * ((e - 0.18) / 0.12) ** 1.8
        r += rnd.uniform(-0.05, 0.05)
        f.write(f"{i / 1000:.3f},{e * l0:.5f},{r * s0 / 1000:.4f}\r\n")
PY
python3 "$make_batch" 1000 "$work/batch"
mkdir -p "$work/charts" "$work/one"
hundred=("$work"/batch/*.dat)
hundred=("${hundred[@]:0:100}")

best() {  # prints the best wall time in ms of three runs of "$@"
  local b=999999 t0 t1 ms
  for _ in 1 2 3; do
    t0=$(date +%s%N); "$@" >/dev/null || true; t1=$(date +%s%N)
    ms=$(( (t1 - t0) / 1000000 )); (( ms < b )) && b=$ms
  done
  echo "$b"
}
peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk '/Maximum resident/ {printf "%.1f", $6 / 1024}'; }

big=(--diameter 10 --gauge-length 50 "$work/big.csv")
echo "1M-record export, evaluation only:  $(best "$report_bin" "${big[@]}") ms"
echo "1M-record export with its chart:    $(best "$report_bin" --plot "$work/one" "${big[@]}") ms"
echo "report of 100 specimens:            $(best "$report_bin" --pdf "$work/r100.pdf" "${hundred[@]}") ms"
echo "1000 PNG charts:                    $(best "$report_bin" --plot "$work/charts" "$work"/batch/*.dat) ms"
echo "report of 1000 specimens, peak:     $(peak "$report_bin" --pdf "$work/r1000.pdf" "$work"/batch/*.dat) MB"
