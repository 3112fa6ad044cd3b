#!/usr/bin/env bash
# Runs every benchmark of a build: the Google Benchmark binaries (bin/bench_*,
# bin/*_bench), then the whole-command timing and peak memory of the batch
# decode, many files with one job and with two, ending on SIGTERM, and the
# window's run over many files against the command's.
#   scripts/run-benchmarks.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: run-benchmarks.sh BUILD_DIR}
root="$(cd "$(dirname "$0")/.." && pwd)"
status=0

shopt -s nullglob
for bench in "$build"/bin/bench_* "$build"/bin/*_bench; do
  [ -f "$bench" ] && [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" || status=1
done

echo "== batch decode"
"$root/bench/batch/bench-decode.sh" "$build" || status=1

echo "== batch decode memory"
"$root/bench/batch/bench-memory.sh" "$build" || status=1

echo "== bulk decode, -j 1 and -j 2"
"$root/bench/batch/bench-bulk.sh" "$build" || status=1

echo "== vantrel-decode ending on SIGTERM"
"$root/bench/batch/bench-interrupt.sh" "$build" || status=1

if [ -x "$build/bin/vantrel-bench-window-run" ]; then
  echo "== window run over many files"
  "$root/bench/batch/bench-window.sh" "$build" || status=1
fi

exit "$status"
