#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 20) on a working copy of the
# seed corpus. A crash, a sanitizer report (the fuzz build stops at the first one) or a failed check
# fails the run; the input that did it is kept in <build-dir>/artifacts. Nothing is left in /tmp.
# Usage: fuzz/run.sh [SECONDS] [build-dir]
# TENSO_FUZZ_TARGETS (e.g. "reader preview") chooses targets from the list below.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
build=${2:-$root/build-fuzz}

# Each target: fuzz/fuzz_<name>.cpp, seeds in fuzz/corpus/<name>, and its longest input.
targets=(reader number_text analysis preview standard)
declare -A max_len=([reader]=131072 [number_text]=256 [analysis]=8192 [preview]=2048 [standard]=16384)
[ -n "${TENSO_FUZZ_TARGETS:-}" ] && read -r -a targets <<<"$TENSO_FUZZ_TARGETS"

if [ ! -f "$build/build.ninja" ]; then
  CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DTENSO_FUZZ=ON -DTENSO_BUILD_TESTS=OFF \
    -DTENSO_BUILD_GUI=OFF -DTENSO_BUILD_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target "${targets[@]/#/fuzz_}"
build=$(cd "$build" && pwd)  # the fuzzers run in the temporary folder

tmp=$(mktemp -d "${TMPDIR:-/tmp}/tenso-fuzz.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
export TMPDIR="$tmp"  # where a target writes its scratch files
# Reader inputs larger than its 64 KiB buffer are made here, not committed.
python3 "$root/fuzz/make_seeds.py" --big "$tmp/big"

status=0
mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
  work="$build/corpus-$target"
  mkdir -p "$work"
  seeds=("$root/fuzz/corpus/$target")
  [ "$target" = reader ] && seeds+=("$tmp/big")
  echo "== fuzz_$target for ${seconds}s"
  result=0
  (cd "$tmp" && "$build/fuzz/fuzz_$target" "$work" "${seeds[@]}" -max_total_time="$seconds" \
    -max_len="${max_len[$target]:-4096}" -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1) \
    >"$tmp/$target.log" 2>&1 || result=$?
  grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units|^stat::peak_rss_mb|^SUMMARY' "$tmp/$target.log" || true
  if [ "$result" != 0 ]; then
    echo "fuzz_$target failed (status $result); the input is in $build/artifacts:"
    grep -E -A12 'ERROR|runtime error|deadly signal' "$tmp/$target.log" | head -40
    status=1
  fi
done
exit $status
