#!/usr/bin/env bash
# Times the stamping of a marker at the end of large files against the floor of the tool's design,
# a bare loop of 32,767-byte reads of the same file (bench/read_loop.c), and against the C
# library's memmem in the tool's window loop (bench/memmem_loop.c) and `dd bs=32767`, on ordinary
# data and on data that defeats a search testing a few marker bytes; and measures the tool's peak
# memory on a 4 GiB file. Each round runs every program once, and the best of each is kept, so
# that all see the same state of a busy machine. The tool is timed at each vector width the
# processor has: the program itself at the widest, and ostra_at_width (bench/ostra_at_width.cpp,
# built here) at the narrower ones. The tables for bench/README.md are printed at the end.
#
#   bench/burn_bench.sh            (uses the release build; builds it first when it is missing)
#   BENCH_DIR=/some/disk bench/burn_bench.sh
#   OSTRA=/path/to/ostra bench/burn_bench.sh   (another program: no other widths are timed)
#   REPEATS=9 bench/burn_bench.sh
#   OSTRA_OTHER=/path/to/ostra bench/burn_bench.sh   (another build timed beside it, as "other":
#                                                    an earlier release, for figures before a change)
#   ARCH=arm64 bench/burn_bench.sh (the linux-arm64 build and arm64 loops, all under
#                                   qemu-aarch64-static; QEMU names another emulator)
#
# The Windows programs are timed too when they are built (build/win64 under the 64-bit Wine
# loader, build/win32 under `wine`); OSTRA_WIN64 and OSTRA_WIN32 name others, an empty value
# leaves one out. Under Wine the start of the program (a run of `ostra /?`) is shown and taken
# off before the ratio.
#
# The ratios are of processor time (user and system, bench/time_run.c), which leaves out the time
# a program waited for a core on a shared machine; both times are shown. Under Wine and qemu the
# program's start is taken off first.
#
# Under emulation the figures are shown and nothing is checked: qemu runs vector instructions
# through slow helpers that real arm64 hardware does not have, so the ratios say little of arm64.
# Peak memory is measured natively only.
#
# Targets: natively the tool at every width within 1.15x of the read loop on 1 GiB of random
# bytes and within 1.5x on every other case, and ahead of the memmem loop; peak memory within
# 1 MiB of `ostra /?`.
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "$0")/.." && pwd)
arch=${ARCH:-native}
case $arch in
  native)
    ostra=${OSTRA:-$root/build/release/app/ostra}
    build=(cmake --workflow --preset release)
    cc=(cc -O2)
    run=()
    ;;
  arm64)
    ostra=${OSTRA:-$root/build/linux-arm64/app/ostra}
    build=(bash -c "cmake --preset linux-arm64 && cmake --build --preset linux-arm64")
    cc=(aarch64-linux-gnu-gcc -O2 -static)
    run=("${QEMU:-/usr/bin/qemu-aarch64-static}" -L /usr/aarch64-linux-gnu)
    [[ -x ${run[0]} ]] || { echo "burn_bench: no emulator at ${run[0]}" >&2; exit 2; }
    ;;
  *) echo "burn_bench: ARCH is native or arm64, not $arch" >&2; exit 2 ;;
esac
if [[ -z ${OSTRA:-} && ! -x $ostra ]]; then
  echo "building the $arch tool: ${build[*]}"
  (cd "$root" && "${build[@]}") >/dev/null
fi
if [[ ! -x $ostra ]]; then
  echo "burn_bench: no $arch build of the tool at $ostra" >&2
  exit 2
fi
# The narrower widths, timed with the driver built beside the release program.
at_width=""
if [[ $arch == native && -z ${OSTRA:-} ]]; then
  (cd "$root" && cmake --build build/release --target ostra_at_width) >/dev/null
  at_width=$root/build/release/bench/ostra_at_width
fi
if ! command -v "${cc[0]}" >/dev/null; then
  echo "burn_bench: no C compiler (${cc[0]}) for bench/memmem_loop.c" >&2
  exit 2
fi
if [[ ! -x /usr/bin/time ]]; then
  echo "burn_bench: /usr/bin/time is missing (apt-get install time)" >&2
  exit 2
fi
win64=${OSTRA_WIN64-$root/build/win64/app/ostra.exe}
win32=${OSTRA_WIN32-$root/build/win32/app/ostra.exe}
[[ $arch == native ]] || win64="" win32=""
[[ -n $win64 && -f $win64 ]] || win64=""
[[ -n $win32 && -f $win32 ]] || win32=""
# Wine runs through the project's runner, which holds its environment; each Windows program under
# its loader (Debian's `wine` wrapper starts the 32-bit one).
wine_run=$root/cmake/wine-run
declare -A wine_loader=([win64]=/usr/lib/wine/wine64 [win32]=wine)

work=$(mktemp -d "${BENCH_DIR:-/tmp}/ostra-bench.XXXXXX")
repeats=${REPEATS:-7}
cleanup() {
  rm -rf "$work"
  if [[ -n $win64$win32 ]]; then "$wine_run" wineserver -k 2>/dev/null || true; fi
}
trap cleanup EXIT
"${cc[@]}" -o "$work/memmem_loop" "$root/bench/memmem_loop.c"
"${cc[@]}" -o "$work/read_loop" "$root/bench/read_loop.c"
cc -O2 -o "$work/time_run" "$root/bench/time_run.c"

if [[ -n $win64$win32 ]]; then
  unset WINEPREFIX  # the project's own prefix, which the runner makes the first time
  "$wine_run" wineserver -w
  "$wine_run" wineserver -p  # kept running, so that each run does not start it again
fi

quotient() { awk -v a="$1" -v b="$2" 'BEGIN { print a / b }'; }

# Writes the marker over the file's last bytes without changing its size.
put_marker_at_end() {
  local file=$1 marker=$2 size
  size=$(stat -c %s "$file")
  printf '%s' "$marker" | dd of="$file" bs=1 seek=$((size - ${#marker})) conv=notrunc status=none
}

# run_once NAME FILE MARKER: one run of the named program on the file (a stamp, with the marker
# put back first), checked; prints its wall-clock and processor time in microseconds.
run_once() {
  local name=$1 file=$2 marker=$3 expected=1 wall cpu status
  local -a command
  case $name in
    read) command=("${run[@]}" "$work/read_loop" "$file") expected=0 ;;
    ostra) command=("${run[@]}" "$ostra" "@$work/native.args") ;;
    ostra@*) command=("$at_width" "${name#ostra@}" "@$work/native.args") ;;
    other) command=("${run[@]}" "$OSTRA_OTHER" "@$work/native.args") ;;
    memmem) command=("${run[@]}" "$work/memmem_loop" "$file" "$marker") ;;
    dd) command=(dd if="$file" of=/dev/null bs=32767 status=none) expected=0 ;;
    win64 | win32) command=("$wine_run" "${wine_loader[$name]}" "${!name}" "@$work/wine.args") ;;
  esac
  ((expected == 0)) || put_marker_at_end "$file" "$marker"
  read -r wall cpu status < <("$work/time_run" "${command[@]}")
  if ((status != expected)); then
    echo "burn_bench: $name exited with $status, not $expected: ${command[*]}" >&2
    return 1
  fi
  echo "$wall $cpu"
}

# The best of `repeats` runs of a command: its wall-clock and its processor time, in microseconds.
best_run() {
  local best_wall="" best_cpu="" wall cpu status
  for ((i = 0; i < repeats; i++)); do
    read -r wall cpu status < <("$work/time_run" "$@")
    if [[ -z $best_wall ]] || ((wall < best_wall)); then best_wall=$wall; fi
    if [[ -z $best_cpu ]] || ((cpu < best_cpu)); then best_cpu=$cpu; fi
  done
  echo "$best_wall $best_cpu"
}

missed=0
# verdict VALUE LIMIT [WHAT]: prints whether the value is within the limit, and notes a miss.
verdict() {
  if awk -v r="$1" -v l="$2" 'BEGIN { exit !(r <= l) }'; then
    echo "ok${3:+ ($3)}"
  else
    missed=1
    echo "MISSED (limit $2${3:+, $3})"
  fi
}

# bench_case TITLE FILE MARKER LIMIT: times every program on one file, `repeats` rounds of one run
# of each, and keeps the best wall-clock and processor time of each. Ratios are to the read loop,
# of processor time, which a busy machine disturbs least; under Wine and qemu the program's start
# is taken off first.
bench_case() {
  local title=$1 file=$2 marker=$3 limit=$4 name wall cpu r
  local -A best_wall=() best_cpu=()
  # ONLY=PATTERN times the cases whose title matches it, and leaves the rest out.
  [[ -z ${ONLY:-} || $title =~ $ONLY ]] || return 0
  cat "$file" >/dev/null  # into the page cache
  printf '/burnfile %s /burnstring %s /burnsn STAMPED\n' "$file" "$marker" >"$work/native.args"
  printf '/burnfile Z:%s /burnstring %s /burnsn STAMPED\n' "${file//\//\\}" "$marker" \
    >"$work/wine.args"
  echo "$title"
  for ((r = 0; r < repeats; r++)); do
    for name in "${programs[@]}"; do
      read -r wall cpu <<<"$(run_once "$name" "$file" "$marker")" || exit 1
      [[ -n $wall ]] || exit 1
      wall=$((wall - ${start_time[$name]:-0})) cpu=$((cpu - ${start_cpu[$name]:-0}))
      if [[ -z ${best_wall[$name]:-} ]] || ((wall < best_wall[$name])); then
        best_wall[$name]=$wall
      fi
      if [[ -z ${best_cpu[$name]:-} ]] || ((cpu < best_cpu[$name])); then
        best_cpu[$name]=$cpu
      fi
    done
  done
  local reference=${best_cpu[read]} ratio peer=""
  for name in "${programs[@]}"; do
    ratio=$(quotient "${best_cpu[$name]}" "$reference")
    [[ $name == memmem ]] && peer=$ratio
    printf '  %-10s %8.3f s wall %8.3f s cpu   / read loop %5.2f   ' "$name" \
      "$(quotient "${best_wall[$name]}" 1e6)" "$(quotient "${best_cpu[$name]}" 1e6)" "$ratio"
    if [[ -n ${run[*]} || $name =~ ^(read|dd|memmem|other|win) ]]; then
      echo
    else
      verdict "$ratio" "$limit"
    fi
    ratios[$name]=$ratio
  done
  if [[ -z ${run[*]} ]]; then
    printf '  %-10s ' "ahead of memmem"
    verdict "${ratios[ostra]}" "$peer" "ostra / memmem loop"
  fi
  local row="| $title "
  for name in "${programs[@]}"; do
    [[ $name == read ]] || row+="| $(printf '%.2f' "${ratios[$name]}") "
  done
  table+=("$row|")
}

# repeated FILE SIZE UNIT: SIZE bytes of UNIT (printf format) over and over.
repeated() {
  local file=$1 size=$2
  printf "$3" >"$file.part"
  while (($(stat -c %s "$file.part") < size)); do
    cat "$file.part" "$file.part" >"$file.more"
    mv "$file.more" "$file.part"
  done
  head -c "$size" "$file.part" >"$file"
  rm -f "$file.part"
}

# rep TEXT COUNT: TEXT repeated COUNT times.
rep() { local out=""; for ((n = 0; n < $2; n++)); do out+=$1; done; printf '%s' "$out"; }

# The programs of each round: the read loop first, the reference of every ratio.
programs=(read ostra)
widths=""
if [[ -n $at_width ]]; then
  read -r taken widths <<<"$("$at_width")"
  for width in $(printf '%s\n' $widths | sort -rn); do
    ((width == taken)) || programs+=("ostra@$width")
  done
  echo "vector widths: the program takes $taken bytes; this processor runs $widths"
fi
[[ -z ${OSTRA_OTHER:-} ]] || programs+=(other)
programs+=(memmem dd)
declare -A start_time=() start_cpu=() ratios=()
table=()
for name in win64 win32; do
  exe=${!name}
  [[ -n $exe ]] || continue
  programs+=("$name")
  read -r "start_time[$name]" "start_cpu[$name]" <<<"$(best_run "$wine_run" \
    "${wine_loader[$name]}" "$exe" /?)"
  printf 'start of the %s program under Wine (ostra /?), taken off: %.3f s, %.3f s cpu\n' \
    "$name" "$(quotient "${start_time[$name]}" 1e6)" "$(quotient "${start_cpu[$name]}" 1e6)"
done
if [[ -n ${run[*]} ]]; then
  read -r "start_time[read]" "start_cpu[read]" <<<"$(best_run "${run[@]}" "$work/read_loop" \
    /dev/null)"
  read -r "start_time[ostra]" "start_cpu[ostra]" <<<"$(best_run "${run[@]}" "$ostra" /?)"
  read -r "start_time[memmem]" "start_cpu[memmem]" <<<"$(best_run "${run[@]}" \
    "$work/memmem_loop" /dev/null x)"
  printf 'start under emulation, taken off: read loop %.3f s, ostra /? %.3f s, memmem loop %.3f s\n' \
    "$(quotient "${start_time[read]}" 1e6)" "$(quotient "${start_time[ostra]}" 1e6)" \
    "$(quotient "${start_time[memmem]}" 1e6)"
fi
echo "tool: ${run:+${run[*]} }$ostra${win64:+, $win64}${win32:+, $win32}"
echo "files in: $work; best of $repeats rounds, each running every program once"
echo

file=$work/data.bin
mib=$((1 << 20))

# 1 GiB of incompressible bytes (64 MiB of random data, sixteen times).
head -c $((64 * mib)) /dev/urandom >"$work/block"
for _ in $(seq 16); do cat "$work/block"; done >"$file"
rm -f "$work/block"
bench_case "1 GiB of random bytes, 28-byte marker" "$file" "OSTRA_PLACEHOLDER_0123456789" 1.15
bench_case "1 GiB of random bytes, 33-byte marker" "$file" "OSTRA_PLACEHOLDER_0123456789ABCDE" 1.15

# 512 MiB of this machine's programs, libraries and documents, in a fixed order.
find /usr/lib /usr/bin /usr/share/doc -type f -size +4k -print0 2>/dev/null | sort -z |
  xargs -0 cat 2>/dev/null | head -c $((512 * mib)) >"$file" || true
bench_case "512 MiB of programs, libraries and documents, 33-byte marker" "$file" \
  "OSTRA_PLACEHOLDER_0123456789ABCDE" 1.5

# The rest are 256 MiB of data made of the marker's own bytes, failing somewhere in the middle.
repeated "$file" $((256 * mib)) 'A'
bench_case "256 MiB of 'A', marker 'A' x 79 + 'B'" "$file" "$(rep A 79)B" 1.5
bench_case "256 MiB of 'A', marker 'A' x 78 + 'B'" "$file" "$(rep A 78)B" 1.5

repeated "$file" $((256 * mib)) "$(rep '\xfe\xed' 39)\xfe\xfe"
bench_case "256 MiB of (FE ED) x 39 + FE FE, marker (FE ED) x 40" "$file" "$(rep $'\xfe\xed' 40)" 1.5

repeated "$file" $((256 * mib)) "$(rep '\xfe\xed' 38)\xfe\xfe"
bench_case "256 MiB of (FE ED) x 38 + FE FE, marker (FE ED) x 39 + FE" "$file" \
  "$(rep $'\xfe\xed' 39)"$'\xfe' 1.5

repeated "$file" $((256 * mib)) "SERIAL=$(rep @ 39);\n"
bench_case "256 MiB of records 'SERIAL=' + '@' x 39 + ';' LF, marker 'SERIAL=' + '@' x 41" \
  "$file" "SERIAL=$(rep @ 41)" 1.5

repeated "$file" $((256 * mib)) "$(rep ab 30)aa"
bench_case "256 MiB of 'ab' x 30 + 'aa', marker 'ab' x 40" "$file" "$(rep ab 40)" 1.5

repeated "$file" $((256 * mib)) "$(rep abc 20)ab"
bench_case "256 MiB of 'abc' x 20 + 'ab', marker 'abc' x 26 + 'a'" "$file" "$(rep abc 26)a" 1.5

repeated "$file" $((256 * mib)) "$(rep ab 15)aa"
bench_case "256 MiB of 'ab' x 15 + 'aa', marker 'ab' x 20" "$file" "$(rep ab 20)" 1.5

# The marker's two letters in no order, against a marker that does not repeat: most starts pass a
# test of two bytes, and a linear search shifts a byte or two at a time.
head -c $((1 * mib)) /dev/urandom | tr '\000-\377' "$(rep AB 128)" >"$work/block"
for _ in $(seq 256); do cat "$work/block"; done >"$file"
rm -f "$work/block"
bench_case "256 MiB of 'A' and 'B' at random, marker 'A' x 40 + 'B' + 'A' x 39" "$file" \
  "$(rep A 40)B$(rep A 39)" 1.5
bench_case "256 MiB of 'A' and 'B' at random, marker 'A' x 40 + 'B' + 'A' x 38" "$file" \
  "$(rep A 40)B$(rep A 38)" 1.5
rm -f "$file"
echo
echo "ratios to the read loop (${programs[*]:1})"
printf '%s\n' "${table[@]}"
echo
if [[ -n ${run[*]} ]]; then exit 0; fi

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
printf '  stamp of a 4 GiB sparse file  %6d KiB\n  ostra /?                      %6d KiB   ' \
  "$stamp_kib" "$help_kib"
verdict "$((stamp_kib - help_kib))" 1024
exit "$missed"
