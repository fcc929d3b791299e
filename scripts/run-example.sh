#!/usr/bin/env bash
# The main job: builds the runner and simulates the bundled example topology, leaving the
# results database and the latency and jitter CSV files in out/example/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target simulator

out="$PWD/out/example"
mkdir -p "$out"
status=0
build/release/src/cli/simulator -experimental -t 1.0 -db "$out/results.db" \
  -latency "$out/latency.csv" -jitter "$out/jitter.csv" "$PWD/examples/minimal-network.orvo" || status=$?

echo
echo "Results database: $out/results.db"
for csv in latency jitter; do
  if [ -f "$out/$csv.csv" ]; then echo "$csv CSV: $out/$csv.csv"; fi
done
exit "$status"
