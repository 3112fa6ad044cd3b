#!/usr/bin/env bash
# Peak memory and time of vantrel-decode on a 2 GiB source that opens a
# key-check check field at its start and never closes it ("~~~~~*#*#", an
# empty reference field and then the check field, then zeros: every byte
# deciphered twice and gathered for the comparison),
# against a plain source of the same size and against `dd bs=1M` copying the
# field source. Targets: peak RSS under 64 MiB, the field source within 1.3x
# of the plain one's time and within 1.5x of dd's. Runs alternate; each time
# is the median.
#   bench/batch/bench-memory.sh BUILD_DIR [SIZE_MIB]
# Both sources are sparse. The work folder is on /dev/shm when that has room
# (no disk writeback in the timings), else in TMPDIR.
set -euo pipefail

build=${1:?usage: bench-memory.sh BUILD_DIR [SIZE_MIB]}
size_mib=${2:-2048}
decode="$build/bin/vantrel-decode"
rss_limit_kib=$((64 * 1024))
target_ratio=1.3
target_dd_ratio=1.5
runs=5

[ -x "$decode" ] || { echo "bench-memory: $decode is missing; build the project first" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "bench-memory: /usr/bin/time is missing (Debian package time)" >&2; exit 2; }

base=${TMPDIR:-/tmp}
needed_kib=$((size_mib * 1024 + 512 * 1024)) # one output at a time, and some room
if [ -d /dev/shm ] && [ -w /dev/shm ] && [ "$(df -Pk /dev/shm | awk 'NR == 2 { print $4 }')" -gt "$needed_kib" ]; then
  base=/dev/shm
fi
work=$(mktemp -d "$base/vantrel-bench-memory.XXXXXX")
trap 'rm -rf "$work"' EXIT

printf '%s\n' "BENCH-KEY-2024" >"$work/key"
printf '~~~~~*#*#' >"$work/field.txt"
printf 'plain: ' >"$work/plain.txt"
truncate -s "${size_mib}M" "$work/field.txt" "$work/plain.txt"

# measure NAME: one run with the key check on; appends "seconds kib" to NAME.runs.
measure() {
  rm -rf "$work/out" && mkdir "$work/out"
  /usr/bin/time -f '%e %M' -o "$work/time" \
    "$decode" --key-file "$work/key" -o "$work/out" "$work/$1.txt" >"$work/lines"
  grep -q $'\tDecoded\t' "$work/lines" || { echo "bench-memory: $1.txt was not decoded" >&2; cat "$work/lines" >&2; exit 1; }
  tail -n 1 "$work/time" >>"$work/$1.runs"
  rm -rf "$work/out"
}

# The same bytes copied: a new file each time, as the decode writes one.
measure_dd() {
  rm -rf "$work/out" && mkdir "$work/out"
  /usr/bin/time -f '%e %M' -o "$work/time" dd if="$work/field.txt" of="$work/out/copy.txt" bs=1M status=none
  tail -n 1 "$work/time" >>"$work/dd.runs"
  rm -rf "$work/out"
}

# Alternated, so that a busy moment of the machine hits all alike.
for _ in $(seq "$runs"); do
  measure plain
  measure field
  measure_dd
done

median_seconds() { sort -n "$work/$1.runs" | awk '{ t[NR] = $1 } END { print (NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2) }'; }
peak_kib() { sort -n -k2 "$work/$1.runs" | tail -n 1 | cut -d' ' -f2; }
ratio_of() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

plain_s=$(median_seconds plain)
field_s=$(median_seconds field)
dd_s=$(median_seconds dd)
ratio=$(ratio_of "$field_s" "$plain_s")
dd_ratio=$(ratio_of "$field_s" "$dd_s")
echo "source: $size_mib MiB (sparse) in $base, median time and peak RSS of $runs alternating runs each"
printf '%-26s %8ss\n' "dd bs=1M, field source" "$dd_s"
printf '%-26s %8ss   peak RSS %6d KiB\n' "plain" "$plain_s" "$(peak_kib plain)"
printf '%-26s %8ss   peak RSS %6d KiB   %sx plain (target <= %sx)   %sx dd (target <= %sx)\n' \
  "field open from the start" "$field_s" "$(peak_kib field)" "$ratio" "$target_ratio" "$dd_ratio" "$target_dd_ratio"

missed=0
for name in plain field; do
  if [ "$(peak_kib "$name")" -ge "$rss_limit_kib" ]; then
    echo "bench-memory: $name peak RSS is $(peak_kib "$name") KiB, over $rss_limit_kib KiB" >&2
    missed=1
  fi
done
if awk -v x="$ratio" -v t="$target_ratio" 'BEGIN { exit !(x > t) }'; then missed=1; fi
if awk -v x="$dd_ratio" -v t="$target_dd_ratio" 'BEGIN { exit !(x > t) }'; then missed=1; fi
exit "$missed"
