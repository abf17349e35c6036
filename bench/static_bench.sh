#!/usr/bin/env bash
# Compares two Linux programs, typically the static release program against a dynamically linked
# build of the same source: file size, start-up (a run of `ostra /?`, RUNS times in a row) and the
# stamp of a marker at the end of a 256 MiB file. The two are alternated, round after round, and
# the best round of each is kept, so that both see the same state of a busy machine.
#
#   bench/static_bench.sh OTHER-PROGRAM            (against build/release/app/ostra)
#   OSTRA=/path/to/ostra ROUNDS=7 RUNS=200 BENCH_DIR=/some/disk bench/static_bench.sh OTHER
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "$0")/.." && pwd)
ostra=${OSTRA:-$root/build/release/app/ostra}
other=${1:?usage: $0 OTHER-PROGRAM}
rounds=${ROUNDS:-7}
runs=${RUNS:-200}
work=$(mktemp -d "${BENCH_DIR:-/tmp}/static-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

marker=@@SERIAL-PLACEHOLDER@@
head -c $((256 * 1024 * 1024 - ${#marker})) /dev/urandom >"$work/big.dat"
printf '%s' "$marker" >>"$work/big.dat"
size=$(stat -c %s "$work/big.dat")

now_us() { echo "${EPOCHREALTIME/./}"; }

# start_up PROGRAM: microseconds for RUNS runs of `PROGRAM /?`.
start_up() {
  local t0 i
  t0=$(now_us)
  for ((i = 0; i < runs; i++)); do
    "$1" /? >/dev/null || true
  done
  echo $(($(now_us) - t0))
}

# stamp PROGRAM: microseconds for one stamp at the end of the 256 MiB file; the marker is put back.
stamp() {
  local t0 t1 status=0
  t0=$(now_us)
  "$1" /burnfile "$work/big.dat" /burnstring "$marker" /burnsn SN-1 >/dev/null || status=$?
  t1=$(now_us)
  [ $status -eq 1 ] || { echo "static_bench: $1 did not stamp (status $status)" >&2; exit 1; }
  printf '%s' "$marker" | dd of="$work/big.dat" bs=1 seek=$((size - ${#marker})) conv=notrunc status=none
  echo $((t1 - t0))
}

best() { printf '%s\n' "$@" | sort -n | head -n 1; }

declare -a up_a up_b st_a st_b
stamp "$ostra" >/dev/null
stamp "$other" >/dev/null
for ((r = 0; r < rounds; r++)); do
  up_a+=("$(start_up "$ostra")")
  up_b+=("$(start_up "$other")")
  st_a+=("$(stamp "$ostra")")
  st_b+=("$(stamp "$other")")
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
a_size=$(stat -c %s "$ostra") b_size=$(stat -c %s "$other")
a_up=$(best "${up_a[@]}") b_up=$(best "${up_b[@]}")
a_st=$(best "${st_a[@]}") b_st=$(best "${st_b[@]}")
echo "A: $ostra"
echo "B: $other"
echo "best of $rounds rounds, alternated          A          B    A/B"
printf 'size (bytes)                     %10d %10d  %s\n' "$a_size" "$b_size" "$(ratio "$a_size" "$b_size")"
printf 'start-up, one run of /? (us)     %10d %10d  %s\n' $((a_up / runs)) $((b_up / runs)) "$(ratio "$a_up" "$b_up")"
printf 'stamp at the end of 256 MiB (us) %10d %10d  %s\n' "$a_st" "$b_st" "$(ratio "$a_st" "$b_st")"
