#!/usr/bin/env bash
# Makes the release packages, unpacks each into a fresh folder and stamps a file with the program
# it holds (the Windows ones under Wine); installs the .deb with dpkg, stamps with the installed
# `ostra`, reads `man ostra`, and removes the package. Expects build/release, build/win32 and
# build/win64 to be built. With OSTRA_NO_32BIT set the 32-bit zip is made and its contents checked,
# but its program is not run.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(ostra VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=build/packages
rm -rf "$out" && mkdir -p "$out"
for build in release win32 win64; do
  (cd build/$build && cpack -B "$PWD/../packages" >/dev/null)
done

stamp_with() {  # stamp_with LABEL COMMAND...: stamps a fresh file in the current folder
  local label=$1
  shift
  printf 'id=@@ID@@;' >target.dat
  local status=0
  WINEDEBUG=-all "$@" /burnfile target.dat /burnstring @@ID@@ /burnsn 42 >/dev/null 2>&1 || status=$?
  if [ "$status" -ne 1 ] || [ "$(od -An -c target.dat | tr -s ' ')" != " i d = 4 2 \0 \0 \0 \0 ;" ]; then
    echo "$label: the packaged program did not stamp (status $status)"; return 1
  fi
  echo "$label: stamped with the packaged program"
}

# install_deb PACKAGE UNPACKED: installs the package, stamps with the installed ostra, reads its
# manual page, removes the package. UNPACKED holds the package's files, for systems whose dpkg
# leaves manual pages out (Debian's slim images): there the page is read from it.
install_deb() {
  if dpkg-query -W ostra >/dev/null 2>&1; then
    echo "$1: not installed, since a package named ostra is installed already"; return 0
  fi
  local sudo="" status=0 dir page=ostra
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo dpkg -i "$1" >/dev/null || { echo "$1: dpkg -i failed"; return 1; }
  dir=$(mktemp -d)
  (cd "$dir" && stamp_with "$(basename "$1") installed" ostra) || status=1
  rm -rf "$dir"
  if [ ! -e /usr/share/man/man1/ostra.1.gz ] && grep -qs 'path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg.d/*; then
    echo "$1: dpkg here leaves manual pages out; reading the package's own"
    page="-l $2/usr/share/man/man1/ostra.1.gz"
  fi
  MANPAGER=cat man $page 2>/dev/null | grep -q 'stamp a value over a placeholder' ||
    { echo "$1: man ostra does not show the manual page"; status=1; }
  $sudo dpkg -r ostra >/dev/null || { echo "$1: dpkg -r failed"; status=1; }
  return $status
}

fail=0
for package in "ostra-$version-linux-x86_64.tar.gz" "ostra-$version-win32.zip" "ostra-$version-win64.zip" \
               "ostra_${version}_amd64.deb"; do
  [ -f "$out/$package" ] || { echo "missing package $package"; fail=1; continue; }
  (cd "$out" && sha256sum --quiet -c "$package.sha256") || { echo "$package: bad SHA-256 file"; fail=1; }
  echo "$package: $(stat -c %s "$out/$package") bytes"
  dir=$(mktemp -d)
  case "$package" in
    *.tar.gz) tar -xzf "$out/$package" -C "$dir"
              (cd "$dir" && stamp_with "$package" "$dir/ostra-$version-linux-x86_64/bin/ostra") || fail=1 ;;
    *.zip)    unzip -q "$out/$package" -d "$dir"
              top=$dir/${package%.zip}
              for f in ostra.exe README.md LICENSE; do
                [ -f "$top/$f" ] || { echo "$package lacks $f"; fail=1; }
              done
              case "$package" in
                *-win64.zip) (cd "$dir" && stamp_with "$package" /usr/lib/wine/wine64 "$top/ostra.exe") || fail=1 ;;
                *) if [ -n "${OSTRA_NO_32BIT:-}" ]; then
                     echo "$package: contents checked; its 32-bit program not run (OSTRA_NO_32BIT is set)"
                   else
                     (cd "$dir" && stamp_with "$package" wine "$top/ostra.exe") || fail=1
                   fi ;;
              esac ;;
    *.deb)    dpkg-deb -x "$out/$package" "$dir"
              # The README's user part alone: it names none of the repository's scripts.
              ! grep -n 'tools/' "$dir/usr/share/doc/ostra/README.md" ||
                { echo "$package: its README names scripts the package lacks"; fail=1; }
              # The glibc version the README gives is the newest one the program's symbols need.
              glibc=$(objdump -T "$dir/usr/bin/ostra" | grep -o 'GLIBC_[0-9.]*' | sort -Vu | tail -n 1)
              grep -q "glibc ${glibc#GLIBC_} or later" README.md ||
                { echo "$package: the program needs $glibc, which README.md does not say"; fail=1; }
              install_deb "$out/$package" "$dir" || fail=1 ;;
  esac
  rm -rf "$dir"
done
exit $fail
