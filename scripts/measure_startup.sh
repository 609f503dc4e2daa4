#!/usr/bin/env bash
# Whole-process start-up to the first shown window (median of 10 runs on the
# offscreen platform) and resident memory after start-up and after an exam
# of the largest sample course. Run after a build: scripts/measure_startup.sh [build-dir]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT

cd "$build/root/bin"
times=()
for _ in $(seq 10); do
  start=$(date +%s%N)
  QT_QPA_PLATFORM=offscreen TOVALO_EXIT_AFTER_SHOW=1 XDG_CONFIG_HOME="$settings" ./tovalo >/dev/null 2>&1
  end=$(date +%s%N)
  times+=($(( (end - start) / 100000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
median=$(( (sorted[4] + sorted[5]) / 2 ))
printf 'start-up to the shown profile screen: median %d.%d ms of 10 runs (fastest %d.%d, slowest %d.%d)\n' \
  $((median / 10)) $((median % 10)) $((sorted[0] / 10)) $((sorted[0] % 10)) \
  $((sorted[9] / 10)) $((sorted[9] % 10))

ctest --test-dir "$build" -R '^ui.tst_memory$' -V 2>/dev/null | grep -o 'resident memory: .*' || {
  echo "the memory probe failed" >&2
  exit 1
}
