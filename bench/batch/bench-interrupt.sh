#!/usr/bin/env bash
# How soon vantrel-decode ends after SIGTERM, wherever it is: reading a list
# that never ends (-0 from /dev/zero), reading a list of 1,000,000 names and
# later writing the result lines of those not reached, walking 20,000
# folders with -r, decoding a 1 GiB source. Each figure is the median
# time from the signal to the exit over the runs; target 0.5 s, with status
# 130. Also the peak memory of a list whose one line is 256 MiB long, which
# is refused (status 2); target under 64 MiB.
#   bench/batch/bench-interrupt.sh BUILD_DIR [RUNS]
set -euo pipefail

build=${1:?usage: bench-interrupt.sh BUILD_DIR [RUNS]}
runs=${2:-5}
decode="$build/bin/vantrel-decode"
key="BENCH-KEY-2024"
target_s=0.5
rss_limit_kib=$((64 * 1024))

[ -x "$decode" ] || { echo "bench-interrupt: $decode is missing; build the project first" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "bench-interrupt: /usr/bin/time is missing (Debian package time)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-bench-interrupt.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/out" "$work/tree"
seq -f "$work/none/name-%07g.txt" 1 1000000 >"$work/names"
for i in $(seq 0 199); do
  mkdir -p "$work/tree/$i"
  (cd "$work/tree/$i" && mkdir $(seq -f "f%03g" 0 99) && touch $(seq -f "f%03g/a.txt" 0 99))
done
printf 'plain: ' >"$work/big.txt"
truncate -s 1G "$work/big.txt"

# latency DELAY COMMAND...: runs the command with standard input from
# /dev/zero, sends SIGTERM after DELAY seconds and prints the seconds from
# the signal to the exit; fails unless the status is 130.
latency() {
  local delay=$1 pid start status
  shift
  "$@" </dev/zero >/dev/null 2>&1 &
  pid=$!
  sleep "$delay"
  start=$EPOCHREALTIME
  kill -TERM "$pid"
  status=0
  wait "$pid" || status=$?
  [ "$status" -eq 130 ] || { echo "bench-interrupt: status $status instead of 130: $*" >&2; exit 1; }
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f\n", b - a }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

missed=0
# stage NAME DELAY COMMAND...
stage() {
  local name=$1 delay=$2 seconds
  shift 2
  seconds=$(for _ in $(seq "$runs"); do latency "$delay" "$@"; done | median)
  printf '%-44s %6ss (target <= %ss)\n' "$name" "$seconds" "$target_s"
  if awk -v s="$seconds" -v t="$target_s" 'BEGIN { exit !(s > t) }'; then missed=1; fi
}

echo "time from SIGTERM to the exit, median of $runs runs"
stage "a list that never ends (-0, /dev/zero)" 0.3 "$decode" -k "$key" -0 --files-from -
stage "1,000,000 listed names, 0.3 s in (reading)" 0.3 "$decode" -k "$key" -o "$work/out" --files-from "$work/names"
stage "1,000,000 listed names, 3 s in (results)" 3 "$decode" -k "$key" -o "$work/out" --files-from "$work/names"
stage "walking 20,000 folders with -r" 0.1 "$decode" -k "$key" -r -o "$work/out" "$work/tree"
stage "decoding a 1 GiB source" 0.5 "$decode" -k "$key" -o "$work/out" "$work/big.txt"

head -c $((256 << 20)) /dev/zero | tr '\0' 'n' >"$work/long-line"
status=0
/usr/bin/time -f '%M' -o "$work/rss" "$decode" -k "$key" --files-from "$work/long-line" >/dev/null 2>&1 || status=$?
rss_kib=$(tail -n 1 "$work/rss")
printf '%-44s %6s KiB peak RSS, status %s (target < %s KiB, 2)\n' "a list of one 256 MiB line" "$rss_kib" "$status" \
  "$rss_limit_kib"
[ "$status" -eq 2 ] && [ "$rss_kib" -lt "$rss_limit_kib" ] || missed=1
exit "$missed"
