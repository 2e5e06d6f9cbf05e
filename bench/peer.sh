#!/usr/bin/env bash
# tenso-eval against the numpy script a user would write instead: 1000 files of 2000 records that
# evaluate fully, both timed as whole processes in one run, best of three each, and the ratio.
# Usage: bench/peer.sh [build-dir | path of tenso-eval]
#   PEER_FILES=N   the batch size (default 1000)
#   PEER_RUNS=N    runs of each program, the best counts (default 3)
# Installs python3-numpy through apt when it is missing (the tests never need it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shared=$root/../shared/bench
[ -d "$shared" ] || shared=/work/shared/bench
target=${1:-$root/build}
if [ -d "$target" ]; then eval_bin=$target/src/cli/tenso-eval; else eval_bin=$target; fi
[ -x "$eval_bin" ] || { echo "peer.sh: no tenso-eval at $eval_bin" >&2; exit 2; }
files=${PEER_FILES:-1000}
runs=${PEER_RUNS:-3}

if ! /usr/bin/python3 -c 'import numpy' 2>/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get install -y -qq --no-install-recommends python3-numpy >/dev/null ||
    { $sudo apt-get update -qq && $sudo apt-get install -y -qq --no-install-recommends python3-numpy >/dev/null; }
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tenso-peer-XXXXXX")
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 "$shared/make_batch.py" "$files" "$work/batch"
batch=("$work"/batch/*.dat)

# best of $runs wall times of "$@" in seconds; the output goes to a file, so that the terminal
# does not take part in the timing
best() {
  local best_ns="" t0 t1 ns
  for _ in $(seq "$runs"); do
    t0=$(date +%s%N)
    "$@" >"$work/out" 2>/dev/null || true
    t1=$(date +%s%N)
    ns=$((t1 - t0))
    if [ -z "$best_ns" ] || [ "$ns" -lt "$best_ns" ]; then best_ns=$ns; fi
  done
  awk -v n="$best_ns" 'BEGIN { printf "%.3f", n / 1e9 }'
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
tenso=$(best "$eval_bin" --format csv "${batch[@]}")
peer=$(best /usr/bin/python3 "$shared/peer.py" "${batch[@]}")
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

echo "files:               $files of 2000 records, best of $runs, $(nproc) cores"
echo "tenso-eval --format csv: $tenso s"
echo "peer.py (numpy):         $peer s"
echo "ratio:                   $(awk -v a="$peer" -v b="$tenso" 'BEGIN { printf "%.1f", a / b }')x"
echo "load average:        $load_before (before), $load_after (after)"
