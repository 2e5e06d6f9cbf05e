#!/usr/bin/env bash
# Bounded resources: tenso-eval on files that could make a reader hang, crawl or hold them whole.
# Each case must end in its data-file message, within a time limit, in less than 100 MB of memory.
# Prints one line per case: the failure number, the wall time and the peak memory.
#
# Usage: bench/resources.sh [build-dir | path of tenso-eval]
#   TENSO_RESOURCES_SMALL=1      small sizes (16 MB instead of 1 GB, 200 000 lines instead of 10 million),
#                                as the test suite runs it
#   TENSO_RESOURCES_LIMIT_MB=N   the memory limit (default 100; 0 checks none, for sanitizer builds)
# The files go to a fresh folder under ${TMPDIR:-/tmp} and are deleted afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-$root/build}
if [ -d "$target" ]; then eval_bin=$target/src/cli/tenso-eval; else eval_bin=$target; fi
[ -x "$eval_bin" ] || { echo "resources.sh: no tenso-eval at $eval_bin" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "resources.sh: needs GNU time (/usr/bin/time, package time)" >&2; exit 2; }

if [ "${TENSO_RESOURCES_SMALL:-0}" = 1 ]; then
  big_mb=16 lines=200000 binary_mb=4
else
  big_mb=1024 lines=10000000 binary_mb=64
fi
limit_mb=${TENSO_RESOURCES_LIMIT_MB:-100}

work=$(mktemp -d "${TMPDIR:-/tmp}/tenso-resources-XXXXXX")
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"  # the unreadable case runs as an unprivileged user, who must reach the folder

failures=0
printf '%-44s %8s %6s %9s %8s\n' case expected got seconds "peak MB"

# check <case> <expected number> <time limit s> <file> [tenso-eval options...]
# The number is the data-file message's failure number, which tenso-eval reports in its CSV.
check() {
  local name=$1 expected=$2 limit=$3 file=$4
  shift 4
  run_check "$name" "$expected" "$limit" "$file" "$eval_bin" --format csv --method secant "$@" "$file"
}

run_check() {
  local name=$1 expected=$2 limit=$3 file=$4
  shift 4
  local out="$work/out.csv" stats="$work/stats" status=0
  local t0 t1
  t0=$(date +%s%N)
  /usr/bin/time -f '%M' -o "$stats" timeout "$limit" "$@" >"$out" 2>"$work/err" || status=$?
  t1=$(date +%s%N)
  local seconds peak_kb got
  seconds=$(awk -v n=$((t1 - t0)) 'BEGIN { printf "%.2f", n / 1e9 }')
  peak_kb=$(tail -1 "$stats" | tr -dc 0-9)
  got=$(awk -F, 'NR == 2 { print $3 }' "$out")
  printf '%-44s %8s %6s %9s %8s\n' "$name" "$expected" "${got:--}" "$seconds" "$((${peak_kb:-0} / 1024))"
  local problem=""
  if [ "$status" = 124 ]; then
    problem="did not end within $limit s"
  elif [ "$status" != 1 ]; then
    problem="ended with status $status: $(head -c 300 "$work/err")"
  elif [ "$got" != "$expected" ]; then
    problem="failure number ${got:-none}, expected $expected"
  elif [ "$limit_mb" != 0 ] && [ "${peak_kb:-0}" -gt $((limit_mb * 1024)) ]; then
    problem="peak memory above $limit_mb MB"
  fi
  if [ -n "$problem" ]; then
    echo "  FAIL: $problem" >&2
    failures=$((failures + 1))
  fi
}

# One line without a line end: digits only, so that every byte goes through the number scanner.
# With no header to skip it is one field far too long for a number: text in the X column (13).
# Skipping five header lines runs past the end of the file at once (62).
head -c $((big_mb * 1024 * 1024)) /dev/zero | tr '\0' '7' >"$work/no_line_end.dat"
check "${big_mb} MB, no line end, skip 0" 13 120 "$work/no_line_end.dat" --skip 0
check "${big_mb} MB, no line end, skip 5" 62 120 "$work/no_line_end.dat" --skip 5
rm "$work/no_line_end.dat"

# Millions of short records: the scan counts them all, the read stops after record 2000 (9).
awk -v n="$lines" 'BEGIN { for (i = 0; i < n; i++) print "1.5,2.5" }' >"$work/short_lines.dat"
check "$lines short lines" 9 120 "$work/short_lines.dat" --skip 0
rm "$work/short_lines.dat"

# Binary garbage, the same bytes every run: text in a column (13).
if command -v python3 >/dev/null; then
  python3 -c "import random, sys; sys.stdout.buffer.write(random.Random(8).randbytes($binary_mb << 20))" \
    >"$work/binary.dat"
  check "${binary_mb} MB of binary garbage" 13 120 "$work/binary.dat" --skip 0
  rm "$work/binary.dat"
else
  echo "binary garbage: skipped (needs python3 for reproducible bytes)"
fi

# Names of things that are no files are refused before any read (75): nothing may wait on them.
mkfifo "$work/fifo.dat"
check "a FIFO without a writer" 75 10 "$work/fifo.dat"
check "/dev/zero" 75 10 /dev/zero
check "/dev/null" 75 10 /dev/null
check "/dev/urandom" 75 10 /dev/urandom
check "a folder" 75 10 "$work"
check "a missing file" 53 10 "$work/missing.dat"
check "a file inside a missing folder" 76 10 "$work/missing/x.dat"

# A file without read permission (70). Root reads it anyway, so that case runs as nobody.
printf 'h\nh\nh\nh\nh\n1,2\n' >"$work/locked.dat"
chmod 000 "$work/locked.dat"
if [ "$(id -u)" != 0 ]; then
  check "a file without read permission" 70 10 "$work/locked.dat"
elif command -v setpriv >/dev/null && setpriv --reuid=nobody --regid=nogroup --clear-groups test -x "$eval_bin"; then
  run_check "a file without read permission (as nobody)" 70 10 "$work/locked.dat" \
    setpriv --reuid=nobody --regid=nogroup --clear-groups "$eval_bin" --format csv --method secant "$work/locked.dat"
else
  echo "a file without read permission: skipped (running as root, and nobody cannot run $eval_bin)"
fi

if [ "$failures" != 0 ]; then
  echo "$failures case(s) failed" >&2
  exit 1
fi
