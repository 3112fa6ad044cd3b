#!/usr/bin/env bash
# The window's run over a folder of many small sources (4 to 64 KiB, regions
# and a key-check block, key check on), against `vantrel-decode -j 1 -r` on
# the same folder: 2,000 and 10,000 files, outputs in the Decript folder
# beside them, the drive rule in force. The window is timed from the click on
# Run until the run has returned, the command as a whole process. Then, with
# 10,000 rows, the time from the click until the Stop button is painted and
# until the first output exists. Runs alternate; each figure is the median.
# Targets: the window within 1.5x of the command, painting its table at most
# about 20 times a second; Stop and the first output within 0.25 s.
#   bench/batch/bench-window.sh BUILD_DIR [RUNS]
# The work folder is on /dev/shm when that has room (no disk writeback in the
# timings), else in TMPDIR.
set -euo pipefail

build=${1:?usage: bench-window.sh BUILD_DIR [RUNS]}
runs=${2:-5}
bin="$build/bin"
key="BENCH-KEY-2024"
target_ratio=1.5
target_paints=22
target_first=0.25

for tool in vantrel-make-bench-source vantrel-decode vantrel-bench-window-run; do
  [ -x "$bin/$tool" ] || { echo "bench-window: $bin/$tool is missing; build the project with the window program first" >&2; exit 2; }
done

base=${TMPDIR:-/tmp}
needed_kib=$((1600 * 1024)) # 12,000 sources, one set of outputs, and some room
if [ -d /dev/shm ] && [ -w /dev/shm ] && [ "$(df -Pk /dev/shm | awk 'NR == 2 { print $4 }')" -gt "$needed_kib" ]; then
  base=/dev/shm
fi
work=$(mktemp -d "$base/vantrel-bench-window.XXXXXX")
trap 'rm -rf "$work"' EXIT

printf '%s\n' "$key" >"$work/key"
for count in 2000 10000; do
  mkdir "$work/$count"
  "$bin/vantrel-make-bench-source" --small "$work/$count" "$count" "$key"
done
cat "$work"/*/*.txt >/dev/null # every run reads from the page cache

now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }'; }

# Each run starts without outputs; appends its seconds to NAME.runs.
window_run() {
  local count=$1
  rm -rf "$work/$count/Decript"
  QT_QPA_PLATFORM=offscreen "$bin/vantrel-bench-window-run" "$work/$count" "$work/key" \
    >>"$work/window-$count.runs" 2>"$work/window.err" || { cat "$work/window.err" >&2; exit 1; }
}
command_run() {
  local count=$1 start
  rm -rf "$work/$count/Decript"
  start=$(now)
  "$bin/vantrel-decode" -j 1 -r --key-file "$work/key" "$work/$count" >"$work/lines" 2>/dev/null || true
  seconds_since "$start" >>"$work/command-$count.runs"
  echo >>"$work/command-$count.runs"
  if [ "$(grep -c $'\tDecoded\t' "$work/lines")" -ne "$count" ]; then
    echo "bench-window: vantrel-decode did not decode every one of the $count sources" >&2
    exit 1
  fi
}
first_output() {
  rm -rf "$work/10000/Decript"
  QT_QPA_PLATFORM=offscreen "$bin/vantrel-bench-window-run" --first-output "$work/10000" "$work/key" \
    >>"$work/first.runs" 2>"$work/window.err" || { cat "$work/window.err" >&2; exit 1; }
}

window_run 2000 # warm-up, not counted
rm -f "$work"/*.runs
for _ in $(seq "$runs"); do
  for count in 2000 10000; do
    window_run "$count"
    command_run "$count"
  done
  first_output
done

# median FILE [FIELD]
median() { awk -v f="${2:-1}" '{ print $f }' "$1" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
over() { awk -v x="$1" -v t="$2" 'BEGIN { exit !(x > t) }'; }

echo "median of $runs alternating runs, work folder in $base"
missed=0
for count in 2000 10000; do
  window=$(median "$work/window-$count.runs")
  paints=$(median "$work/window-$count.runs" 2)
  command=$(median "$work/command-$count.runs")
  ratio=$(awk -v a="$window" -v b="$command" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  printf '%6d files   window run %7ss (%s paints/s, target <= %s)   vantrel-decode -j 1 %7ss   %sx (target <= %sx)\n' \
    "$count" "$window" "$paints" "$target_paints" "$command" "$ratio" "$target_ratio"
  if over "$ratio" "$target_ratio" || over "$paints" "$target_paints"; then missed=1; fi
done
stop_shown=$(median "$work/first.runs" 1)
first=$(median "$work/first.runs" 2)
printf '10000 rows   Run clicked to Stop shown %ss, to the first output %ss (target <= %ss)\n' \
  "$stop_shown" "$first" "$target_first"
if over "$stop_shown" "$target_first" || over "$first" "$target_first"; then missed=1; fi
exit "$missed"
