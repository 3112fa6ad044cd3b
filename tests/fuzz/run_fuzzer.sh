#!/bin/sh
# Runs a fuzzer for a bounded time: FUZZ_SECONDS from the environment (make
# passes it through), else the given default.
# New inputs and any crash reproducer go to the work corpus; the seeds are only read.
# Usage: run_fuzzer.sh <fuzzer> <dictionary> <work corpus dir> <seed dir> <default seconds>
set -eu
fuzzer=$1 dictionary=$2 corpus=$3 seeds=$4
seconds=${FUZZ_SECONDS:-$5}
mkdir -p "$corpus"
exec "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -dict="$dictionary" \
     -print_final_stats=1 -artifact_prefix="$corpus/" "$corpus" "$seeds"
