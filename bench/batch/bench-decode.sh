#!/usr/bin/env bash
# Times the batch decode of a 256 MiB source (regions and a key-check block,
# key check on) against two plain passes over the same file: `tr`, and `dd`
# with 1 MiB blocks, a buffered copy that only reads and writes every byte
# once. Targets: vantrel-decode within 1.15x of dd, the window's run within
# 1.5x. Every contender runs RUNS times (default 5), the contenders taking
# turns, and the median counts.
#   bench/batch/bench-decode.sh BUILD_DIR [SIZE_MIB]
set -euo pipefail

build=${1:?usage: bench-decode.sh BUILD_DIR [SIZE_MIB]}
size_mib=${2:-256}
bin="$build/bin"
command_target=1.15
window_target=1.5
runs=${RUNS:-5}
key="BENCH-KEY-2024"

for tool in vantrel-make-bench-source vantrel-decode; do
  [ -x "$bin/$tool" ] || { echo "bench-decode: $bin/$tool is missing; build the project first" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
source_file="$work/source.txt"
printf '%s\n' "$key" >"$work/key"
"$bin/vantrel-make-bench-source" "$source_file" "$size_mib" "$key"
cat "$source_file" >/dev/null # every contender reads from the page cache

now() { date +%s.%N; }

# Each contender starts with an empty output folder and prints its seconds.
fresh_output() { rm -rf "$work/out" && mkdir "$work/out"; }
timed() {
  local start end
  fresh_output
  start=$(now)
  "$@"
  end=$(now)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

run_tr() { tr 'A-Z' 'N-ZA-M' <"$source_file" >"$work/out/tr.txt"; }
run_dd() { dd if="$source_file" of="$work/out/dd.txt" bs=1M status=none; }
run_cli() {
  "$bin/vantrel-decode" --key-file "$work/key" -o "$work/out" "$source_file" >"$work/out/lines"
  grep -q $'\tDecoded\t' "$work/out/lines" || { echo "bench-decode: vantrel-decode did not decode the source" >&2; exit 1; }
}

# The window's run: the same source through an offscreen main window with
# one row, key check on, the progress cell updated as the file decodes. The
# program prints the time from the click on Run until the run returned; the
# toolkit's start-up (platform plugin, fonts) comes once per session, not
# per run, and is timed apart as the whole process.
window=0
[ -x "$bin/vantrel-bench-window-run" ] && window=1
run_window() {
  QT_QPA_PLATFORM=offscreen "$bin/vantrel-bench-window-run" "$source_file" "$work/key" "$work/out" \
    2>"$work/window.err" || { cat "$work/window.err" >&2; return 1; }
}
run_window_quietly() { run_window >/dev/null; }
window_reported() { fresh_output; run_window | cut -d' ' -f1; }

contenders=(tr dd vantrel-decode)
[ "$window" = 1 ] && contenders+=("window run" "window program")
declare -A times
for _ in $(seq "$runs"); do
  times[tr]+=" $(timed run_tr)"
  times[dd]+=" $(timed run_dd)"
  times[vantrel-decode]+=" $(timed run_cli)"
  if [ "$window" = 1 ]; then
    times["window run"]+=" $(window_reported)"
    times["window program"]+=" $(timed run_window_quietly)"
  fi
done

median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
declare -A medians
for c in "${contenders[@]}"; do medians[$c]=$(median <<<"${times[$c]}"); done
ratio() { awk -v t="$1" -v r="$2" 'BEGIN { printf "%.2f", (r > 0 ? t / r : 0) }'; }

spread() { tr ' ' '\n' | grep . | sort -g | awk 'NR == 1 { a = $1 } { b = $1 } END { printf "%s-%s", a, b }'; }
echo "source: $size_mib MiB, median of $runs alternating runs (the spread of all runs in brackets)"
printf '%-16s %8ss   [%s]\n' tr "${medians[tr]}" "$(spread <<<"${times[tr]}")" dd "${medians[dd]}" "$(spread <<<"${times[dd]}")"
missed=0
# report NAME TARGET: the median and its ratios to tr and to dd; notes a miss of the dd target.
report() {
  local to_dd
  to_dd=$(ratio "${medians[$1]}" "${medians[dd]}")
  printf '%-16s %8ss   [%s]   %sx tr   %sx dd (target <= %sx)\n' "$1" "${medians[$1]}" \
    "$(spread <<<"${times[$1]}")" "$(ratio "${medians[$1]}" "${medians[tr]}")" "$to_dd" "$2"
  if awk -v x="$to_dd" -v t="$2" 'BEGIN { exit !(x > t) }'; then missed=1; fi
}
report vantrel-decode "$command_target"
if [ "$window" = 1 ]; then
  report "window run" "$window_target"
  printf '%-16s %8ss   (whole process, start-up included)\n' "window program" "${medians["window program"]}"
else
  echo "window run: $bin/vantrel-bench-window-run is missing (built only with the window program)"
fi

exit "$missed"
