# The serial's functions, which build.sh puts in place of the line #EXAMPLE-PRODUCT-SERIAL# of
# config and postinst (config runs before the package is unpacked, so neither can read a file of
# the package). Both scripts ask debconf for escapes (db_capb escape): without them a value that
# holds a line end cuts debconf's reply short.

# Sets `serial` to the answer, exactly as it was given. debconf's database reads a backslash
# followed by n back as a line end, which a serial cannot hold: each line end is put back as the
# two characters. The escaped reply is read as debconf sends it, since db_get's own unescaping
# drops line ends at the end of a value.
serial_answer() {
  printf '%s\n' "GET example-product/serial" >&3
  IFS= read -r reply
  case $reply in
    # In the escaped reply `\\` is a backslash and `\n` a line end: only the first is undone.
    '1 '*) serial=$(printf '%s' "${reply#??}" | sed 's/\\\\/\\/g') ;;
    '0 '*) serial=${reply#??} ;;
    *) serial= ;;
  esac
}

# Prints why SERIAL cannot be stamped, or nothing when it can: 1 to 22 bytes, no control
# character, no `"` (stamp.sh hands it to ostra in an argument file, which cannot carry one).
serial_problem() {
  bytes=$(printf '%s' "$1" | wc -c)
  if [ "$bytes" -eq 0 ] || [ "$bytes" -gt 22 ]; then
    echo "the serial must be 1 to 22 bytes long"
  elif [ "$(printf '%s' "$1" | LC_ALL=C tr -d '\001-\037\177' | wc -c)" -ne "$bytes" ]; then
    echo "the serial holds a control character"
  elif [ "$1" != "${1%\"*}" ]; then
    echo 'the serial holds a ", which ostra cannot be given'
  fi
}
