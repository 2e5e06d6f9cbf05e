#!/usr/bin/env bash
# Differential run: builds tenso-eval of an earlier commit beside this tree's build and runs both
# over random files and option texts (bench/differential.py), comparing every output byte and the
# exit status. A change that should compute the same must show no difference.
# Usage: bench/differential.sh BASE_COMMIT [CASES] [SEED]     (this tree's build: $TENSO_BUILD_DIR or build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
base=${1:?usage: bench/differential.sh BASE_COMMIT [CASES] [SEED]}
cases=${2:-3000}
seed=${3:-14}
build=${TENSO_BUILD_DIR:-$root/build}
old=${TMPDIR:-/tmp}/tenso-differential-$(git -C "$root" rev-parse --short "$base")
if [ ! -x "$old/build/src/cli/tenso-eval" ]; then
  mkdir -p "$old"
  git -C "$root" archive "$base" | tar -x -C "$old"
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$old" -B "$old/build" -G Ninja -DTENSO_BUILD_TESTS=OFF -DTENSO_BUILD_BENCHMARKS=OFF "${launcher[@]}" >/dev/null
  cmake --build "$old/build" --target tenso-eval tenso-eval-plot
fi
cmake --build "$build" --target tenso-eval tenso-eval-plot
exec python3 "$root/bench/differential.py" "$old/build/src/cli/tenso-eval" "$build/src/cli/tenso-eval" "$cases" "$seed"
