#!/usr/bin/env bash
# Times the batch decode of a 256 MiB source (regions and a key-check block,
# key check on) against `tr` over the same file. Target: within 1.5x of tr.
#   bench/batch/bench-decode.sh BUILD_DIR [SIZE_MIB]
set -euo pipefail

build=${1:?usage: bench-decode.sh BUILD_DIR [SIZE_MIB]}
size_mib=${2:-256}
bin="$build/bin"
target_ratio=1.5
runs=3
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

# best_of COMMAND...: the shortest wall time of $runs runs, in seconds. Each
# run starts with an empty output folder.
best_of() {
  local best="" start end took
  for _ in $(seq "$runs"); do
    rm -rf "$work/out" && mkdir "$work/out"
    start=$(now)
    "$@"
    end=$(now)
    took=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
    if [ -z "$best" ] || awk -v t="$took" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$took; fi
  done
  echo "$best"
}

run_tr() { tr 'A-Z' 'N-ZA-M' <"$source_file" >"$work/out/tr.txt"; }
run_cli() {
  "$bin/vantrel-decode" --key-file "$work/key" -o "$work/out" "$source_file" >"$work/out/lines"
  grep -q $'\tDecoded\t' "$work/out/lines" || { echo "bench-decode: vantrel-decode did not decode the source" >&2; exit 1; }
}

tr_seconds=$(best_of run_tr)
echo "source: $size_mib MiB, best of $runs runs"
printf '%-22s %8ss\n' "tr" "$tr_seconds"

missed=0
# report NAME SECONDS: prints the time and its ratio to tr, and notes a miss.
report() {
  local ratio
  ratio=$(awk -v t="$2" -v r="$tr_seconds" 'BEGIN { printf "%.2f", (r > 0 ? t / r : 0) }')
  printf '%-22s %8ss   %sx tr (target <= %sx)\n' "$1" "$2" "$ratio" "$target_ratio"
  if awk -v x="$ratio" -v t="$target_ratio" 'BEGIN { exit !(x > t) }'; then missed=1; fi
}

report "vantrel-decode" "$(best_of run_cli)"

# --- The window's run ------------------------------------------------------
# The same source through an offscreen main window with one row, key check
# on, the progress cell updated as the file decodes. The program prints the
# time from the click on Run until the run returned; the toolkit's start-up
# (platform plugin, fonts) comes once per session, not per run, and is shown
# apart.
run_window_quietly() { run_window >/dev/null; }
run_window() {
  QT_QPA_PLATFORM=offscreen "$bin/vantrel-bench-window-run" "$source_file" "$work/out" "$work/key" \
    2>"$work/window.err" || { cat "$work/window.err" >&2; return 1; }
}
# best_reported COMMAND...: like best_of, for a command that prints its own
# seconds.
best_reported() {
  local best="" took
  for _ in $(seq "$runs"); do
    rm -rf "$work/out" && mkdir "$work/out"
    took=$("$@")
    if [ -z "$best" ] || awk -v t="$took" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$took; fi
  done
  echo "$best"
}
if [ -x "$bin/vantrel-bench-window-run" ]; then
  report "window run" "$(best_reported run_window)"
  printf '%-22s %8ss   (whole process, start-up included)\n' "window program" "$(best_of run_window_quietly)"
else
  echo "window run: $bin/vantrel-bench-window-run is missing (built only with the window program)"
fi

exit "$missed"
