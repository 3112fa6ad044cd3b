#!/usr/bin/env bash
# Times vantrel-decode on many files with one job and with two: 2,000 small
# sources (4 to 64 KiB, named by a --files-from list) and 4 sources of
# 64 MiB, key check on. Runs alternate between the job counts; each figure
# is the median of the runs, with the speed-up of -j 2 over -j 1 and the
# peak memory. Target: the peak RSS with -j N stays under N x 64 MiB.
#   bench/batch/bench-bulk.sh BUILD_DIR [RUNS]
# The work folder is on /dev/shm when that has room (no disk writeback in the
# timings), else in TMPDIR.
set -euo pipefail

build=${1:?usage: bench-bulk.sh BUILD_DIR [RUNS]}
runs=${2:-5}
bin="$build/bin"
key="BENCH-KEY-2024"
rss_limit_kib_per_job=$((64 * 1024))

for tool in vantrel-make-bench-source vantrel-decode; do
  [ -x "$bin/$tool" ] || { echo "bench-bulk: $bin/$tool is missing; build the project first" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "bench-bulk: /usr/bin/time is missing (Debian package time)" >&2; exit 2; }

base=${TMPDIR:-/tmp}
needed_kib=$((700 * 1024)) # the sources, one set of outputs, and some room
if [ -d /dev/shm ] && [ -w /dev/shm ] && [ "$(df -Pk /dev/shm | awk 'NR == 2 { print $4 }')" -gt "$needed_kib" ]; then
  base=/dev/shm
fi
work=$(mktemp -d "$base/vantrel-bench-bulk.XXXXXX")
trap 'rm -rf "$work"' EXIT

printf '%s\n' "$key" >"$work/key"
mkdir "$work/small" "$work/large"
"$bin/vantrel-make-bench-source" --small "$work/small" 2000 "$key"
"$bin/vantrel-make-bench-source" "$work/large/0.txt" 64 "$key"
for i in 1 2 3; do cp "$work/large/0.txt" "$work/large/$i.txt"; done
(cd "$work/small" && printf '%s\n' "$PWD"/*.txt) >"$work/small.list"

# measure SET JOBS: one run into an empty output folder; appends
# "seconds kib" to SET-JOBS.runs.
measure() {
  local set=$1 jobs=$2 start end
  rm -rf "$work/out" && mkdir "$work/out"
  local sources=("$work/large"/*.txt)
  [ "$set" = small ] && sources=(--files-from "$work/small.list")
  start=$(date +%s.%N)
  /usr/bin/time -f '%M' -o "$work/rss" \
    "$bin/vantrel-decode" -j "$jobs" --key-file "$work/key" -o "$work/out" "${sources[@]}" >"$work/lines" 2>"$work/messages"
  end=$(date +%s.%N)
  if grep -qv $'\tDecoded\t' "$work/lines"; then
    echo "bench-bulk: not every $set source was decoded" >&2
    grep -v $'\tDecoded\t' "$work/lines" | head >&2
    exit 1
  fi
  echo "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }') $(tail -n 1 "$work/rss")" >>"$work/$set-$jobs.runs"
}

median_seconds() { sort -n "$work/$1.runs" | awk '{ t[NR] = $1 } END { print (NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2) }'; }
peak_kib() { sort -n -k2 "$work/$1.runs" | tail -n 1 | cut -d' ' -f2; }

cat "$work/small"/*.txt "$work/large"/*.txt >/dev/null # every run reads from the page cache
measure small 1 # warm-up, not counted
rm -f "$work"/*.runs
for _ in $(seq "$runs"); do
  for set in small large; do
    measure "$set" 1
    measure "$set" 2
  done
done

echo "median wall time and peak RSS of $runs alternating runs each, work folder in $base"
missed=0
for set in small large; do
  case $set in
    small) label="2000 files of 4-64 KiB" ;;
    large) label="4 files of 64 MiB" ;;
  esac
  one=$(median_seconds "$set-1")
  two=$(median_seconds "$set-2")
  speedup=$(awk -v a="$one" -v b="$two" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  printf '%-24s -j 1 %7ss  peak RSS %6d KiB\n' "$label" "$one" "$(peak_kib "$set-1")"
  printf '%-24s -j 2 %7ss  peak RSS %6d KiB   speed-up %sx\n' "" "$two" "$(peak_kib "$set-2")" "$speedup"
  for jobs in 1 2; do
    if [ "$(peak_kib "$set-$jobs")" -ge $((jobs * rss_limit_kib_per_job)) ]; then
      echo "bench-bulk: $set with -j $jobs peaked at $(peak_kib "$set-$jobs") KiB, over $((jobs * 64)) MiB" >&2
      missed=1
    fi
  done
done
exit "$missed"
