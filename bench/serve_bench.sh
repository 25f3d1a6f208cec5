#!/bin/sh
# Requests per second and latency of `plotvane serve` for a default pie and a
# default bar chart as PNG (400 x 300, six items, the script in the URL),
# one worker per core, measured by wrk on loopback with 1, 8 and 64
# kept-alive connections; beside it the same chart from `plotvane run`
# started once per request, one at a time and two at a time. Prints one
# table; asserts nothing.
#
#   bench/serve_bench.sh [BUILD_FOLDER] [SECONDS]     (default: build, 10)
#
# Needs wrk (Debian package wrk) and a Release build:
#   cmake --preset release && cmake --build --preset release -j2 --target plotvane
set -eu
build=${1:-build}
seconds=${2:-10}
plotvane="$build/plotvane"
command -v wrk >/dev/null || { echo "serve_bench: wrk is not installed (apt-get install wrk)" >&2; exit 1; }
[ -x "$plotvane" ] || { echo "serve_bench: no $plotvane; build it first" >&2; exit 1; }

work=$(mktemp -d)
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The six items of the engine's benchmarks.
steps='{"call":"AddData","args":["Item 1",10,"R"]},{"call":"AddData","args":["Item 2",47,"R"]},'
steps=$steps'{"call":"AddData","args":["Item 3",34,"R"]},{"call":"AddData","args":["Item 4",21,"R"]},'
steps=$steps'{"call":"AddData","args":["Item 5",58,"R"]},{"call":"AddData","args":["Item 6",45,"R"]}'
escaped=$(printf '[%s]' "$steps" | sed -e 's/%/%25/g' -e 's/\[/%5B/g' -e 's/\]/%5D/g' -e 's/{/%7B/g' \
  -e 's/}/%7D/g' -e 's/"/%22/g' -e 's/ /%20/g' -e 's/,/%2C/g' -e 's/:/%3A/g')

# wrk's latency table gives the 50 % and 99 % lines; requests/s its total.
run_wrk() {  # URL LABEL CONNECTIONS
  wrk -t "$(( $3 < 2 ? 1 : 2 ))" -c "$3" -d "${seconds}s" --latency "$1" >"$work/wrk.txt"
  rps=$(awk '/Requests\/sec/ {print $2}' "$work/wrk.txt")
  p50=$(awk '$1 == "50%" {print $2}' "$work/wrk.txt")
  p99=$(awk '$1 == "99%" {print $2}' "$work/wrk.txt")
  errors=$(awk '/Non-2xx|Socket errors/ {print}' "$work/wrk.txt" | tr '\n' ' ')
  printf '%-34s %10s %10s %10s %s\n' "$2" "$rps" "$p50" "$p99" "$errors"
}

# `plotvane run` per request: COUNT runs by each of PARALLEL loops; the
# latencies of all runs, sorted, give the median and the 99th percentile.
run_command() {  # KIND PARALLEL LABEL
  printf '[%s,{"get":"PNG%s"}]' "$steps" "$1" >"$work/script.json"
  count=$((seconds * 20))
  start=$(date +%s%N)
  i=0
  while [ "$i" -lt "$2" ]; do
    (n=0; while [ "$n" -lt "$count" ]; do
       t0=$(date +%s%N); "$plotvane" run "$work/script.json" >/dev/null
       echo $(( ($(date +%s%N) - t0) / 1000 )); n=$((n + 1)); done) >"$work/lat.$i" &
    i=$((i + 1))
  done
  wait
  elapsed=$(( ($(date +%s%N) - start) / 1000 ))
  sort -n "$work"/lat.* >"$work/all"
  total=$(wc -l <"$work/all")
  p50=$(awk -v n="$total" 'NR == int(n * 0.50 + 0.5) {printf "%.2fms", $1 / 1000}' "$work/all")
  p99=$(awk -v n="$total" 'NR == int(n * 0.99 + 0.5) {printf "%.2fms", $1 / 1000}' "$work/all")
  rps=$(awk -v n="$total" -v us="$elapsed" 'BEGIN {printf "%.1f", n / (us / 1e6)}')
  rm -f "$work"/lat.*
  printf '%-34s %10s %10s %10s\n' "$3" "$rps" "$p50" "$p99"
}

printf '%-34s %10s %10s %10s\n' "request" "req/s" "median" "p99"
"$plotvane" serve --listen 127.0.0.1:0 2>"$work/serve.log" &
server=$!
port=""
while [ -z "$port" ]; do
  sleep 0.1
  port=$(sed -n 's/.*listening on [^ ]*:\([0-9]*\) .*/\1/p' "$work/serve.log")
done
workers=$(sed -n 's/.* with \([0-9]*\) worker.*/\1/p' "$work/serve.log")
for kind in pie bar; do
  url="http://127.0.0.1:$port/v1/chart.png?kind=$kind&script=$escaped"
  # One connection shows the time of a request alone; eight and sixty-four
  # keep every worker busy, and their latency includes the wait for one.
  for connections in 1 8 64; do
    run_wrk "$url" "serve, $workers workers, $connections conn, $kind PNG" "$connections"
  done
done
kill "$server"
wait "$server" || true
server=""
for parallel in 1 2; do
  run_command Pie "$parallel" "plotvane run x$parallel, pie PNG"
  run_command Bar "$parallel" "plotvane run x$parallel, bar PNG"
done
