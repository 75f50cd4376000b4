#!/usr/bin/env bash
# Runs every benchmark of a build directory under Wine on a private virtual display and prints what
# each reports. Builds nothing: build the directory first.
#   bench/run.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

build=$(realpath "${1:-build}")
shopt -s nullglob
benches=("$build"/bin/*_bench.exe)
if [ ${#benches[@]} -eq 0 ]; then
  echo "bench/run.sh: no *_bench.exe in $build/bin; build it first" >&2
  exit 1
fi

# One display and prefix for all of them; a failing benchmark does not stop the others.
tools/with-wine-display.sh bash -c '
  status=0
  for bench in "$@"; do
    echo "== $(basename "$bench" .exe)"
    cmake/wine-emulator.sh "$bench" || { echo "== $(basename "$bench" .exe) failed" >&2; status=1; }
  done
  exit $status' run-benches "${benches[@]}"
