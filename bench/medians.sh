#!/bin/sh
# Runs the benchmark programs of a Release build five times each and prints
# the median of every benchmark as one table per program.
#
#   bench/medians.sh [BUILD_FOLDER] [PROGRAM ...]     (default: build, all programs)
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
programs=${*:-"draw_bench memory_bench script_bench engine_bench imaging_bench canvas_bench text_bench"}
for program in $programs; do
  echo "== $program"
  "$build/bench/$program" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
      2>/dev/null | grep -E '^Benchmark|_median|_BigO'
done
