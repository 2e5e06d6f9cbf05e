#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 20) on a working copy of the
# seed corpus. Usage: fuzz/run.sh [SECONDS] [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
build=${2:-$root/build-fuzz}
if [ ! -f "$build/build.ninja" ]; then
  CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DTENSO_FUZZ=ON -DTENSO_BUILD_TESTS=OFF \
    -DTENSO_BUILD_GUI=OFF -DTENSO_BUILD_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build"
status=0
for target in reader number_text analysis standard; do
  work="$build/corpus-$target"
  mkdir -p "$work" "$build/artifacts"
  echo "== fuzz_$target for ${seconds}s"
  "$build/fuzz/fuzz_$target" "$work" "$root/fuzz/corpus/$target" -max_total_time="$seconds" \
    -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 2>&1 | grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units|ERROR|SUMMARY' || true
  [ -z "$(ls "$build/artifacts" | grep "^$target-" || true)" ] || { echo "fuzz_$target found a crash in $build/artifacts"; status=1; }
done
exit $status
