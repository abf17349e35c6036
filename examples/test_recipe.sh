# The part the recipe tests share; each sources it. It makes the scratch folder `work`, shows data
# files, runs a table of serials through the recipe, and names in `wine_run` the project's runner
# of Wine programs and tools (cmake/wine-run), through which every Wine command of a test goes.
#
# A test defines `install SERIAL`, which runs its recipe with SERIAL (`-` runs it with no serial at
# all) and sets `status` (the recipe's exit status), `installed` (the data file it left, which may
# be absent) and `log` (a file with what the recipe printed or logged). Then it feeds `run_cases` a
# table, one case a line:  serial | exit status | data file as `shown` shows it | text the log holds
# and ends with `exit $failed`. A test whose serials hold "|" sets `case_separator` to another
# character.

wine_run=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/cmake/wine-run
work=$(mktemp -d /tmp/ostra-recipe-XXXXXX)
trap 'rm -rf "$work"' EXIT
failed=0

# FILE on one line, exactly: its bytes in double quotes, each byte that is not printable ASCII,
# and each of \ " | and #, written as \xHH, so that two files are shown alike only when they hold
# the same bytes, as cmp compares them; `absent` when there is no FILE.
shown() {
  if [ -f "$1" ]; then stamped "$1"; else echo absent; fi
}

# TEMPLATE as `shown` shows it after each MARKER in it is stamped with its VALUE: the value's bytes
# padded with zero bytes to the marker's length.
stamped() {
  python3 -c '
import os, sys
data = open(sys.argv[1], "rb").read()
for marker, value in zip(sys.argv[2::2], sys.argv[3::2]):
    data = data.replace(os.fsencode(marker), os.fsencode(value).ljust(len(marker), b"\0"), 1)
plain = lambda byte: 32 <= byte < 127 and byte not in b"\\\"|#"
print("\"" + "".join(chr(b) if plain(b) else "\\x%02x" % b for b in data) + "\"")' "$@"
}

run_cases() {
  local serial want_status want_data want_text data
  while IFS=${case_separator:-|} read -r serial want_status want_data want_text; do
    status=0 installed="$work/none" log="$work/none"
    install "$serial" </dev/null
    data=$(shown "$installed")
    if [ "$status" != "$want_status" ] || [ "$data" != "$want_data" ] ||
       { [ -n "$want_text" ] && ! grep -qF -- "$want_text" "$log"; }; then
      echo "serial '$serial': exit status $status, expected $want_status"
      echo "data file: $data"
      echo "expected:  $want_data"
      echo "log (expected to hold '$want_text'):"
      cat "$log" 2>/dev/null || true
      failed=1
    fi
  done
}
