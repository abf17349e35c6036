#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time. Fails on any finding.
# FUZZ_SECONDS sets the time per target (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}

cmake --workflow --preset fuzz
for fuzzer in argument_file_fuzzer burn_file_fuzzer; do
  corpus=build/fuzz/corpus/$fuzzer
  log=build/fuzz/$fuzzer.log
  mkdir -p "$corpus"
  echo "== $fuzzer for $seconds s"
  status=0
  build/fuzz/fuzz/$fuzzer -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix=build/fuzz/ "$corpus" >"$log" 2>&1 || status=$?
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)|ERROR|SUMMARY' "$log" || true
  if [ $status -ne 0 ]; then
    tail -n 40 "$log"
    echo "$fuzzer failed (status $status); the input is in build/fuzz/"
    exit 1
  fi
done
