#!/usr/bin/env bash
# Whole-process start-up to the first shown window against a one-window Qt
# program (bench/startup/compare.py), and resident memory after start-up and
# after an exam of the largest sample course.
# Run after a build: scripts/measure_startup.sh [build-dir]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
# Start-up against the one-window floor, 21 pairs in turns.
python3 "$(dirname "$0")/../bench/startup/compare.py" "$build"

ctest --test-dir "$build" -R '^ui.tst_memory$' -V 2>/dev/null | grep -o 'resident memory: .*' || {
  echo "the memory probe failed" >&2
  exit 1
}
