#!/usr/bin/env bash
# Measures tenso-eval on batches: one 2000-record file as a whole process, 1000 such files in one
# call, peak memory, and the same batch with PNG plots. Usage: bench/batch.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
eval_bin=${1:-$root/build}/src/cli/tenso-eval
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A realistic 2000-record steel curve after 5 header lines (strain in micro-strain, stress in MPa).
python3 - "$work/specimen.dat" <<'PY'
import math, sys
with open(sys.argv[1], "w", newline="") as f:
    f.write("TENSILE TEST\r\nMaterial: S355\r\nOperator: bench\r\nRate: 0.00025 1/s\r\nStrain [ue],Stress [MPa]\r\n")
    for i in range(2000):
        e = i * 120.0
        s = e * 0.205 if e < 1700 else 348 + 160 * (1 - math.exp(-(e - 1700) / 40000)) + 1.5 * math.sin(i * 0.3)
        f.write(f"{e:.1f},{s:.2f}\r\n")
PY
mkdir -p "$work/batch"
for i in $(seq -w 1 1000); do cp "$work/specimen.dat" "$work/batch/s$i.dat"; done

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
timeit() {  # prints wall milliseconds of one run of "$@"
  local t0 t1
  t0=$(date +%s%N); "$@" >/dev/null; t1=$(date +%s%N)
  echo $(( (t1 - t0) / 1000000 ))
}

echo "one file, --method both (ms, median of 15): $(for _ in $(seq 15); do timeit "$eval_bin" --method both "$work/specimen.dat"; done | median)"
echo "1000 files, one call (ms, median of 5):     $(for _ in $(seq 5); do timeit "$eval_bin" --method both "$work"/batch/*.dat; done | median)"
peak=$( { /usr/bin/time -f '%M' "$eval_bin" --method both "$work"/batch/*.dat >/dev/null; } 2>&1 | tail -1)
echo "peak memory of the 1000-file call (MB):     $(( peak / 1024 ))"
echo "1000 files with --plot PNG (ms, 1 run):     $(timeit "$eval_bin" --method both --plot "$work/plot.png" "$work"/batch/*.dat)"
