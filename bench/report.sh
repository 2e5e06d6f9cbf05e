#!/usr/bin/env bash
# Measures tenso-report as whole processes: one export of 1,000,000 records (time and peak memory),
# and 1000 files of 2000 records in one call beside tenso-eval on the same files.
# Goals: the big export under 1 s and 60 MB; the 1000 files no slower than tenso-eval.
# Usage: bench/report.sh [build-dir]   (the batch files come from ../shared/bench/make_batch.py,
# or from $TENSO_SHARED/bench/make_batch.py)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
report_bin=$build/src/report/tenso-report
eval_bin=${TENSO_EVAL:-$build/src/cli/tenso-eval}  # TENSO_EVAL: another build of it to compare with
make_batch=${TENSO_SHARED:-$root/../shared}/bench/make_batch.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A mild-steel export as a machine writes it: time, extension (mm), force (kN), 1,000,000 records.
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
echo "1M-record export: $(du -m "$work/big.csv" | cut -f1) MB"

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
echo "tenso-report, 1M records: $(best "$report_bin" "${big[@]}") ms, peak $(peak "$report_bin" "${big[@]}") MB"
report_ms=$(best "$report_bin" "$work"/batch/*.dat)
eval_ms=$(best "$eval_bin" "$work"/batch/*.dat)
echo "tenso-report, 1000 files: $report_ms ms, peak $(peak "$report_bin" "$work"/batch/*.dat) MB"
echo "tenso-eval,   1000 files: $eval_ms ms"
echo "ratio report / eval: $(awk -v a="$report_ms" -v b="$eval_ms" 'BEGIN {printf "%.2f", a / b}')"
