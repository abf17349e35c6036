#!/usr/bin/env bash
# Times the stamping of a marker at the end of large files against reading the same files with dd
# and searching them with grep, and measures the tool's peak memory on a 4 GiB file.
#
#   bench/burn_bench.sh            (uses the release build; builds it first when it is missing)
#   BENCH_DIR=/some/disk bench/burn_bench.sh
#   OSTRA=/path/to/ostra bench/burn_bench.sh
#
# The files (1 GiB, 256 MiB and a sparse 4 GiB) go to a temporary folder that is removed at the end.
# Targets: the stamp within 1.5x of dd and faster than grep; on a run of one byte against a marker
# of that byte ending in another, no slower than grep; peak memory within 1 MiB of `ostra /?`.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
ostra=${OSTRA:-$root/build/release/app/ostra}
if [[ -z ${OSTRA:-} && ! -x $ostra ]]; then
  echo "building the release tool: cmake --workflow --preset release"
  (cd "$root" && cmake --workflow --preset release) >/dev/null
fi
if [[ ! -x $ostra ]]; then
  echo "burn_bench: no release build of the tool at $ostra" >&2
  exit 2
fi
if [[ ! -x /usr/bin/time ]]; then
  echo "burn_bench: /usr/bin/time is missing (apt-get install time)" >&2
  exit 2
fi

work=$(mktemp -d "${BENCH_DIR:-/tmp}/ostra-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
repeats=5

# Seconds taken by one run of the command, its output discarded.
seconds() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.4f", ns / 1e9 }'
}

# The least of `repeats` runs of the command.
best_of() {
  local best="" t
  for ((i = 0; i < repeats; i++)); do
    t=$(seconds "$@")
    if [[ -z $best ]] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
  done
  echo "$best"
}

# Writes the marker over the file's last bytes without changing its size.
put_marker_at_end() {
  local file=$1 marker=$2 size
  size=$(stat -c %s "$file")
  printf '%s' "$marker" | dd of="$file" bs=1 seek=$((size - ${#marker})) conv=notrunc status=none
}

# Puts the marker back and stamps it; fails unless the tool reports it written (exit status 1).
stamp() {
  local file=$1 marker=$2 status=0
  put_marker_at_end "$file" "$marker"
  "$ostra" /burnfile "$file" /burnstring "$marker" /burnsn "STAMPED" || status=$?
  if ((status != 1)); then
    echo "burn_bench: the tool exited with $status on $file" >&2
    exit 1
  fi
}

# The stamp alone, the marker already in place.
stamp_only() {
  "$ostra" /burnfile "$1" /burnstring "$2" /burnsn "STAMPED"
}

# The least of `repeats` stamps, the marker put back before each (the previous one overwrote it).
best_stamp() {
  local file=$1 marker=$2 best="" t
  for ((i = 0; i < repeats; i++)); do
    put_marker_at_end "$file" "$marker"
    t=$(seconds stamp_only "$file" "$marker")
    if [[ -z $best ]] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
  done
  stamp "$file" "$marker"  # and once more, to check that it is really written
  echo "$best"
}

verdict() {  # verdict NAME VALUE OP LIMIT
  if awk -v v="$2" -v l="$4" "BEGIN { exit !(v $3 l) }"; then echo "ok     $1"; else echo "MISSED $1"; fi
}

compare() {  # compare TITLE FILE MARKER STAMP_LIMIT_FACTOR_OF_DD
  local title=$1 file=$2 marker=$3 s d g
  cat "$file" >/dev/null  # into the page cache
  s=$(best_stamp "$file" "$marker")
  d=$(best_of dd if="$file" of=/dev/null bs=32767)
  g=$(best_of env LC_ALL=C grep -F -b -o -m1 "$marker" "$file")
  printf '%s\n' "$title"
  printf '  stamp  %8.3f s\n  dd     %8.3f s\n  grep   %8.3f s\n' "$s" "$d" "$g"
  if [[ -n $4 ]]; then
    verdict "stamp within $4x of dd" "$s" "<=" "$(awk -v d="$d" -v f="$4" 'BEGIN { print d * f }')"
    verdict "stamp faster than grep" "$s" "<" "$g"
  else
    verdict "stamp no slower than grep" "$s" "<=" "$g"
  fi
}

echo "tool: $ostra"
echo "files in: $work"
echo

# 1 GiB of incompressible bytes (64 MiB of random data, sixteen times), marker at the very end.
plain=$work/plain.bin
head -c $((64 << 20)) /dev/urandom >"$work/block"
for _ in $(seq 16); do cat "$work/block"; done >"$plain"
rm -f "$work/block"
compare "1 GiB, marker at the end (best of $repeats)" "$plain" "OSTRA_PLACEHOLDER_0123456789" 1.5
rm -f "$plain"
echo

# 256 MiB of 'A' and a marker of 79 'A' and a 'B': every byte starts a partial match.
runs=$work/runs.bin
head -c $((256 << 20)) /dev/zero | tr '\0' 'A' >"$runs"
compare "256 MiB of 'A', marker 'A' x 79 + 'B' at the end (best of $repeats)" "$runs" \
  "$(printf 'A%.0s' $(seq 79))B" ""
rm -f "$runs"
echo

# Peak memory: a stamp of a sparse 4 GiB file against the tool doing nothing but its usage text.
sparse=$work/sparse.bin
truncate -s $((4 << 30)) "$sparse"
put_marker_at_end "$sparse" "OSTRA_PLACEHOLDER_0123456789"
# The tool exits with 1 (written) and -1 (usage shown); time passes that on, so it is ignored.
peak_kib() { { /usr/bin/time -f %M "$@" 2>&1 >/dev/null || true; } | tail -1; }
stamp_kib=$(peak_kib "$ostra" /burnfile "$sparse" /burnstring OSTRA_PLACEHOLDER_0123456789 /burnsn STAMPED)
help_kib=$(peak_kib "$ostra" /?)
rm -f "$sparse"
echo "peak resident memory"
printf '  stamp of a 4 GiB sparse file  %6d KiB\n  ostra /?                      %6d KiB\n' \
  "$stamp_kib" "$help_kib"
verdict "stamp within 1 MiB of ostra /?" "$((stamp_kib - help_kib))" "<=" 1024
